// Draws the device-options page from the state the server sends and reports every user action
// back to it. What the controls show and whether they are enabled is decided by the page object
// on the server; this script only renders that state and posts events, one at a time.
'use strict';

let sheetTexts = {};
let built = false;
let rendering = false;
let queue = Promise.resolve();
const elements = new Map();  // control index -> { box, input }
// The server answers API calls only with the secret of this launch, which the address that
// `rphoto pages` printed carries after '#secret='.
const secret = new URLSearchParams(location.hash.slice(1)).get('secret') || '';

// A host whose forms carry a session token (the printer application) takes the action as a
// form field next to the token; paths are relative so that the page works under any folder.
const sessionHost = document.querySelector('[data-session]');

function post(path, body) {
  queue = queue.then(async () => {
    const json = body === undefined ? '{}' : JSON.stringify(body);
    const res = await fetch(path, sessionHost ? {
      method: 'POST',
      headers: { 'Content-Type': 'application/x-www-form-urlencoded' },
      body: new URLSearchParams({ session: sessionHost.dataset.session, body: json }).toString(),
    } : {
      method: 'POST',
      headers: { 'Content-Type': 'application/json', 'X-RPhoto-Secret': secret },
      body: json,
    });
    render(await res.json());
  }).catch((e) => console.error(e));
  return queue;
}

function act(id, action, extra) {
  return post('api/event', Object.assign({ id, action }, extra || {}));
}

function text(key, lang) {
  const t = sheetTexts[key];
  return t ? (t[lang] || t.en) : key;
}

function build(state) {
  const dialog = document.getElementById('dialog');
  dialog.style.width = state.width + 'px';
  dialog.style.height = state.height + 'px';
  document.documentElement.lang = state.language;
  for (const c of state.controls) {
    const box = document.createElement('div');
    box.className = 'ctl-' + c.kind;
    box.style.left = c.x + 'px';
    box.style.top = c.y + 'px';
    box.style.width = c.w + 'px';
    box.style.height = c.h + 'px';
    if (c.id) box.id = 'ctl-' + c.id;
    box.dataset.index = c.index;
    let input = null;
    if (c.kind === 'group') {
      input = document.createElement('span');
      input.className = 'legend';
      box.appendChild(input);
    } else if (c.kind === 'label') {
      input = box;
    } else if (c.kind === 'radio' || c.kind === 'check') {
      const label = document.createElement('label');
      label.style.display = 'contents';
      input = document.createElement('input');
      input.type = c.kind === 'radio' ? 'radio' : 'checkbox';
      const caption = document.createElement('span');
      caption.className = 'caption';
      label.append(input, caption);
      box.appendChild(label);
      input.addEventListener('click', (e) => { e.preventDefault(); act(c.id, 'click'); });
    } else if (c.kind === 'combo' || c.kind === 'list') {
      input = document.createElement('select');
      if (c.kind === 'list') input.multiple = true;
      box.appendChild(input);
      input.addEventListener('change', () => {
        if (c.kind === 'combo') act(c.id, 'select', { index: input.selectedIndex });
        else for (let i = 0; i < input.options.length; ++i) act(c.id, 'listselect', { index: i, selected: input.options[i].selected });
      });
    } else if (c.kind === 'edit') {
      input = document.createElement('input');
      input.type = 'text';
      box.appendChild(input);
      input.addEventListener('input', () => act(c.id, 'text', { text: input.value }));
      // An up-down control attached to this field takes the arrow keys, as on the platform.
      const spin = state.controls.find((o) => o.kind === 'updown' && o.buddy === c.id);
      if (spin) {
        input.addEventListener('keydown', (e) => {
          if (e.key !== 'ArrowUp' && e.key !== 'ArrowDown') return;
          e.preventDefault();
          act(spin.id, 'spin', { delta: e.key === 'ArrowUp' ? 1 : -1 });
        });
      }
    } else if (c.kind === 'updown') {
      const up = document.createElement('button');
      const down = document.createElement('button');
      up.type = down.type = 'button';
      up.tabIndex = down.tabIndex = -1;
      up.textContent = '\u25b2';
      down.textContent = '\u25bc';
      up.className = 'spin-up';
      down.className = 'spin-down';
      for (const [b, delta] of [[up, 1], [down, -1]]) {
        b.addEventListener('mousedown', (e) => e.preventDefault());  // the up-down control takes no focus
        b.addEventListener('click', () => act(c.id, 'spin', { delta }));
      }
      box.append(up, down);
      input = box;
    }
    if (input && c.id && input.tagName !== 'DIV' && input.tagName !== 'SPAN') {
      input.addEventListener('focus', () => { if (!rendering) act(c.id, 'focus'); });
    }
    elements.set(c.index, { box, input });
    dialog.appendChild(box);
  }
  document.getElementById('sheet-ok').addEventListener('click', () => post('api/ok'));
  document.getElementById('sheet-cancel').addEventListener('click', () => post('api/cancel'));
  document.getElementById('message-ok').addEventListener('click', () => {
    document.getElementById('message').hidden = true;
  });
  document.getElementById('sheet').hidden = false;
  built = true;
}

function fillOptions(select, items) {
  const same = select.options.length === items.length &&
    items.every((t, i) => select.options[i].text === t);
  if (same) return;
  select.replaceChildren(...items.map((t) => new Option(t, t)));
}

function render(state) {
  if (!state || !state.controls) return;
  if (!built) build(state);
  rendering = true;
  document.getElementById('caption').textContent = state.caption;
  document.getElementById('tab-caption').textContent = state.caption;
  document.getElementById('sheet-ok').textContent = text('ok', state.language);
  document.getElementById('sheet-cancel').textContent = text('cancel', state.language);
  document.body.dataset.status = state.status;
  for (const c of state.controls) {
    const { box, input } = elements.get(c.index);
    box.hidden = !c.visible;
    box.style.display = c.visible ? '' : 'none';
    box.classList.toggle('disabled', !c.enabled);
    box.classList.toggle('focused', c.focused);
    box.dataset.enabled = c.enabled;
    if (c.kind === 'group') input.textContent = c.text;
    else if (c.kind === 'label') input.textContent = c.text;
    else if (c.kind === 'radio' || c.kind === 'check') {
      box.querySelector('.caption').textContent = c.text;
      input.checked = c.checked;
      input.disabled = !c.enabled;
    } else if (c.kind === 'combo') {
      fillOptions(input, c.items);
      input.selectedIndex = c.selected;
      input.disabled = !c.enabled;
    } else if (c.kind === 'list') {
      fillOptions(input, c.items);
      for (let i = 0; i < input.options.length; ++i) input.options[i].selected = c.selectedItems.includes(i);
      input.disabled = !c.enabled;
    } else if (c.kind === 'edit') {
      if (input.value !== c.text) input.value = c.text;
      input.disabled = !c.enabled;
    } else if (c.kind === 'updown') {
      for (const b of box.querySelectorAll('button')) b.disabled = !c.enabled;
    }
    if (c.focused && input && input !== box && document.activeElement !== input && c.visible && c.enabled) {
      input.focus();
    }
  }
  rendering = false;
  if (state.messages && state.messages.length) {
    document.getElementById('message-text').textContent = state.messages[state.messages.length - 1];
    document.getElementById('message').hidden = false;
  }
  const status = document.getElementById('status');
  if (state.status === 'saved') status.textContent = text('saved', state.language) + ' ' + state.settingsFile;
  else if (state.status === 'cancelled') status.textContent = text('cancelled', state.language);
  else status.textContent = state.error || '';
  const closed = state.status !== 'open';
  document.getElementById('sheet-ok').disabled = closed;
  document.getElementById('sheet-cancel').disabled = closed;
}

(async () => {
  sheetTexts = await (await fetch('sheet.json')).json();
  render(await (await fetch('api/state', { headers: { 'X-RPhoto-Secret': secret } })).json());
})();
