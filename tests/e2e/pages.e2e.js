// Browser test of the device-options pages: drives the page that `rphoto pages` serves in headless
// Chromium, checks that the controls react as the page object decides, confirms, and reads the
// settings file it saved.
// Usage: node pages.e2e.js --model r2000|r3000 --url URL --settings FILE [--shot PNG] [--lang CODE]
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

function readSettings(file) {
  const out = {};
  for (const line of fs.readFileSync(file, 'utf8').split('\n')) {
    const m = line.match(/^\s*([^#;=\s][^=]*?)\s*=\s*(.*?)\s*$/);
    if (m) out[m[1]] = m[2];
  }
  return out;
}

// Helpers reading what the browser shows.
const sel = (id) => `#ctl-${id} select`;
async function options(page, id) { return page.$$eval(`${sel(id)} option`, (os) => os.map((o) => o.textContent)); }
async function waitFor(page, fn, arg, what) {
  await page.waitForFunction(fn, arg, { timeout: 5000 });
  console.log('  ok: ' + what);
}
const selectedText = ([id, text]) => {
  const s = document.querySelector(`#ctl-${id} select`);
  return s && s.selectedIndex >= 0 && s.options[s.selectedIndex].textContent === text;
};
const enabledIs = ([id, on]) => {
  const box = document.querySelector(`#ctl-${id}`);
  return box && box.dataset.enabled === String(on);
};
const messageShows = (text) => {
  const m = document.getElementById('message');
  return !m.hidden && document.getElementById('message-text').textContent === text;
};
const statusIs = (s) => document.body.dataset.status === s;

const fileText = (file) => (fs.existsSync(file) ? fs.readFileSync(file, 'utf8') : null);

async function confirmRejected(page, settings, message) {
  const before = fileText(settings);
  await page.click('#sheet-ok');
  await waitFor(page, messageShows, message, `OK refused with "${message}"`);
  check(fileText(settings) === before, 'settings file untouched after the refused OK');
  await page.click('#message-ok');
}

async function r2000(page, settings) {
  await waitFor(page, selectedText, [1096, 'Premium Glossy Photo Paper'], 'first photo-black media selected');
  check(JSON.stringify(await options(page, 1096)) === JSON.stringify([
    'Premium Glossy Photo Paper', 'Premium Luster Photo Paper', 'Premium Semigloss Photo Paper', 'Photo Paper Glossy']),
  'photo-black media of 5760x1440 listed');
  check(JSON.stringify(await options(page, 1000)) === '["Super Photo"]', 'quality Super Photo');
  check(await page.isHidden('#ctl-1004'), 'broken-nozzle controls hidden');

  await page.click('#ctl-1108 input');
  await waitFor(page, selectedText, [1096, 'Enhanced Matte Paper'], 'Matte lists the matte media and selects the first');
  check((await options(page, 1096)).length === 8, 'eight matte-black media');
  await page.selectOption(sel(1096), { label: 'Velvet Fine Art Paper' });
  await waitFor(page, selectedText, [1000, 'Super Photo'], 'its quality follows');

  check(await page.isDisabled('#ctl-1106 input'), 'platen-gap direction disabled at gap 0');
  for (let i = 0; i < 3; ++i) await page.click('#ctl-1110 .spin-up');
  await page.waitForFunction(() => document.querySelector('#ctl-1109 input').value === '3', null, { timeout: 5000 });
  check(await page.isDisabled('#ctl-1106 input'), 'arrows alone leave the direction check box');
  await page.focus('#ctl-1109 input');
  await page.click('#ctl-1100 input');  // printing direction: stored 1, now 0
  await waitFor(page, enabledIs, [1106, true], 'leaving the gap field enables its direction check box');

  await page.press('#ctl-1109 input', 'ArrowUp');
  await page.waitForFunction(() => document.querySelector('#ctl-1109 input').value === '4', null, { timeout: 5000 });
  console.log('  ok: the arrow keys in the gap field work its up-down control');
  await page.fill('#ctl-1109 input', '200');
  await confirmRejected(page, settings, 'Please enter an integer between 0 and 127.');
  await page.fill('#ctl-1109 input', '12');
  await page.click('#ctl-1106 input');
  await page.waitForFunction(() => document.querySelector('#ctl-1106 input').checked, null, { timeout: 5000 });
  return {
    DP1_inkMode: '1', DP1_strPaperTyp: 'Velvet Fine Art Paper', DP1_nPaperTyp: '5', DP1_nPlateGap: '12',
    DP1_bPlatenGapBiDirectional: '1', DP1_bBidirectional: '0',
  };
}

async function r3000(page, settings) {
  await waitFor(page, selectedText, [1096, 'Photo Paper Glossy'], 'the saved material is selected by name');
  check((await options(page, 1096)).length === 15, 'User and the 14 media listed');
  await waitFor(page, enabledIs, [1094, false], 'user-medium controls disabled for a named medium');

  await page.selectOption(sel(1105), { index: 1 });
  await waitFor(page, selectedText, [1105, 'Matte'], 'Photo ink refused by Photo Paper Glossy: back to Matte');

  await page.selectOption(sel(1096), { index: 0 });
  for (const id of [1045, 1055, 1047, 1094, 1095, 1104, 1067]) await waitFor(page, enabledIs, [id, true], `User enables ${id}`);

  await page.selectOption(sel(1096), { label: 'Premium Glossy Photo Paper' });
  await waitFor(page, selectedText, [1105, 'Photo'], 'Premium Glossy turns the Matte ink to Photo');
  await waitFor(page, enabledIs, [1095, false], 'named medium disables the thickness list again');

  await page.click('#ctl-1102 input');
  await waitFor(page, enabledIs, [1332, true], 'Roll enables Cut flag');
  await waitFor(page, enabledIs, [1103, false], 'Roll disables Duplex Print');
  await page.click('#ctl-1332 input');

  await page.selectOption(sel(1096), { index: 0 });
  await page.selectOption(sel(1095), { label: '0.3 mm' });
  await page.fill('#ctl-1104 input', '20000');
  await confirmRejected(page, settings, 'Please enter an integer between 0 and 10000.');
  await page.fill('#ctl-1104 input', '500');
  return {
    DP2_nPaperTyp: '0', DP2_strPaperTyp: 'User', DP2_inkMode: '1', DP2_nMediaSource: '3', DP2_bCutFlag: '1',
    DP2_nPaperThickness: '4', DP2_nDryTimeScan: '500',
  };
}

// Another language: the same dialog, translated, still driven by the page object.
async function translated(page) {
  const caption = await page.textContent('#caption');
  check(caption.length > 0 && caption !== 'Device Options', `caption translated: ${caption}`);
  await page.selectOption(sel(1096), { index: 0 });
  await waitFor(page, enabledIs, [1094, true], 'User enables the user-medium controls');
  await page.click('#sheet-cancel');
  await waitFor(page, statusIs, 'cancelled', 'Cancel closes without saving');
}

(async () => {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'rphoto-e2e-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run'],
    viewport: { width: 640, height: 480 },
  });
  let failed = false;
  try {
    const page = context.pages()[0] || await context.newPage();
    page.on('pageerror', (e) => { console.error('page error: ' + e.message); failed = true; });
    await page.goto(args.url);
    await page.waitForSelector('#sheet:not([hidden])');
    console.log(`${args.model} (${args.lang || 'en'}) at ${args.url}`);
    if (args.lang && args.lang !== 'en') {
      const before = fileText(args.settings);
      await translated(page);
      check(fileText(args.settings) === before, 'settings file untouched after Cancel');
    } else {
      const expected = args.model === 'r2000' ? await r2000(page, args.settings) : await r3000(page, args.settings);
      if (args.shot) {
        fs.mkdirSync(path.dirname(args.shot), { recursive: true });
        await page.locator('#sheet').screenshot({ path: args.shot });
        console.log('  screenshot ' + args.shot);
      }
      await page.click('#sheet-ok');
      await waitFor(page, statusIs, 'saved', 'OK saves');
      const stored = readSettings(args.settings);
      for (const [key, value] of Object.entries(expected)) check(stored[key] === value, `${key} = ${value} (file has ${stored[key]})`);
    }
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
