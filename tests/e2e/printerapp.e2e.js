// Browser test of the printer application's device-options page: from the printer's page in
// the web interface through the "Device Options" link, a new medium is chosen and saved; the
// printer's settings file must hold it and the printer's default media type must follow. A
// form post without the session's token (as another site would send it) must be refused.
// Usage: node printerapp.e2e.js --url http://localhost:PORT/ --printer NAME --settings FILE [--shot PNG]
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { chromium } = require('playwright-core');

const args = {};
for (let i = 2; i < process.argv.length; i += 2) args[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];

function check(cond, what) {
  if (!cond) throw new Error('check failed: ' + what);
  console.log('  ok: ' + what);
}

const selectedText = ([id, text]) => {
  const s = document.querySelector(`#ctl-${id} select`);
  return s && s.selectedIndex >= 0 && s.options[s.selectedIndex].textContent === text;
};

(async () => {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'rphoto-e2e-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'],
    viewport: { width: 1000, height: 900 },
  });
  let failed = false;
  try {
    const page = context.pages()[0] || await context.newPage();
    page.on('pageerror', (e) => { console.error('page error: ' + e.message); failed = true; });
    await page.goto(args.url);
    await page.click(`text=${args.printer}`);
    await page.click('text=Device Options');
    await page.waitForSelector('#sheet:not([hidden])');
    check(true, 'Device Options link opens the page');
    // The R3000's medium list (control 1096); the new medium is saved under DP2_strPaperTyp.
    await page.selectOption('#ctl-1096 select', { label: 'Ultra Premium Luster Photo Paper' });
    await page.waitForFunction(selectedText, [1096, 'Ultra Premium Luster Photo Paper'], { timeout: 5000 });
    if (args.shot) {
      fs.mkdirSync(path.dirname(args.shot), { recursive: true });
      await page.screenshot({ path: args.shot, fullPage: true });
      console.log('  screenshot ' + args.shot);
    }
    await page.click('#sheet-ok');
    await page.waitForFunction(() => document.body.dataset.status === 'saved', null, { timeout: 5000 });
    const settings = fs.readFileSync(args.settings, 'utf8');
    check(/^DP2_strPaperTyp\s*=\s*Ultra Premium Luster Photo Paper$/m.test(settings), 'the printer settings hold the medium');
    check(/^DP2_nPaperTyp\s*=\s*5$/m.test(settings), 'and its position in the media table');

    // The same save as another site would post it: no session token.
    const optionsUrl = page.url();
    const forged = await page.request.post(new URL('api/ok', optionsUrl).toString(), {
      form: { body: '{}' }, headers: { Origin: 'http://attacker.invalid' }, failOnStatusCode: false,
    });
    check(forged.status() === 403, `a post without the session token is refused (${forged.status()})`);
    const event = await page.request.post(new URL('api/event', optionsUrl).toString(), {
      form: { session: 'forged', body: '{"id":1096,"action":"select","index":1}' }, failOnStatusCode: false,
    });
    check(event.status() === 403, `a post with a wrong token is refused (${event.status()})`);
    check(!failed, 'no script error in the page');
  } catch (e) {
    console.error(String(e && e.stack || e));
    failed = true;
  } finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  process.exit(failed ? 1 : 0);
})();
