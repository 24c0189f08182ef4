// The page: the window's controller (korvel.wasm) over the page's view, with
// the virtual module offered as a port beside the browser's serial ports.
import { compiled, granted, loader } from './early.js';
import { createQueue } from './event_queue.js';
import { createView } from './view.js';
import { virtualPort } from './virtual_port.js';

const REFRESH = 1002; // the window's "Refresh" button

const queue = createQueue();
let korvel = null;
const call = (name, ...args) => () => korvel.ccall(name, null, args.map(() => 'number'), args, { async: true });

const view = createView(document.getElementById('controls'), {
  command: (id) => queue.post(call('korvel_command', id)),
  timer: () => queue.tick(call('korvel_timer')),
  tabChange: () => queue.post(call('korvel_tab_change')),
  doubleClick: (row, column) => queue.post(call('korvel_double_click', row, column)),
  endIrEdit: (commit, stillOpen) => queue.post(() => stillOpen() && call('korvel_end_ir_edit', commit ? 1 : 0)()),
  endComboEdit: (commit, stillOpen) =>
    queue.post(() => stillOpen() && call('korvel_end_combo_edit', commit ? 1 : 0)()),
});

// A press of a mouse button on the page's background or on the list commits
// the open cell editors, as in the window; a press on another control does not.
document.addEventListener('pointerdown', (event) => {
  const target = event.target;
  if (view.onIrEditor(target)) return;
  const onCombo = view.onComboEditor(target);
  if (!onCombo && !target.closest('table') && target.closest('button, input, select, a, [role=menubar], dialog')) return;
  queue.post(call('korvel_background_press', onCombo ? 1 : 0));
}, true);

function offerPortChooser() {
  const refresh = document.getElementById(`c${REFRESH}`);
  const add = Object.assign(document.createElement('button'), { type: 'button', textContent: 'Add port...' });
  refresh.after(add);
  if (!navigator.serial) {
    add.disabled = true;
    const note = Object.assign(document.createElement('p'), {
      id: 'no-serial',
      className: 'note',
      textContent: 'This browser cannot reach serial ports (no Web Serial): only the virtual module can be used.',
    });
    refresh.closest('fieldset').append(note);
    return;
  }
  add.addEventListener('click', async () => {
    try {
      await navigator.serial.requestPort();
    } catch (error) {
      return; // nothing chosen
    }
    queue.post(call('korvel_command', REFRESH));
  });
}

function setUpMenus() {
  const bar = document.querySelector('[role=menubar]');
  const heads = Array.from(bar.querySelectorAll(':scope > li > [role=menuitem]'));
  const close = () => heads.forEach((head) => {
    head.setAttribute('aria-expanded', 'false');
    head.nextElementSibling.hidden = true;
  });
  const open = (head, focusItem) => {
    close();
    head.setAttribute('aria-expanded', 'true');
    head.nextElementSibling.hidden = false;
    if (focusItem) head.nextElementSibling.querySelector('[role=menuitem]').focus();
  };
  heads.forEach((head, i) => {
    head.addEventListener('click', () => (head.getAttribute('aria-expanded') === 'true' ? close() : open(head, false)));
    head.addEventListener('keydown', (event) => {
      const step = { ArrowRight: 1, ArrowLeft: -1 }[event.key];
      if (step) heads[(i + step + heads.length) % heads.length].focus();
      if (['ArrowDown', 'Enter', ' '].includes(event.key)) {
        event.preventDefault();
        open(head, true);
      }
    });
    const items = Array.from(head.nextElementSibling.querySelectorAll('[role=menuitem]'));
    items.forEach((item, k) => item.addEventListener('keydown', (event) => {
      const step = { ArrowDown: 1, ArrowUp: -1 }[event.key];
      if (step) {
        event.preventDefault();
        items[(k + step + items.length) % items.length].focus();
      } else if (event.key === 'Escape') {
        close();
        head.focus();
      }
    }));
  });
  bar.addEventListener('click', (event) => {
    const item = event.target.closest('[data-command]');
    if (!item) return;
    close();
    if (item.dataset.command === 'about') showAbout();
    else queue.post(call('korvel_command', Number(item.dataset.command)));
  });
  document.addEventListener('pointerdown', (event) => { if (!bar.contains(event.target)) close(); });
  bar.addEventListener('focusout', (event) => { if (!bar.contains(event.relatedTarget)) close(); });
}

function showAbout() {
  const about = document.getElementById('about');
  about.showModal();
  about.querySelector('button').focus();
}

document.getElementById('about').querySelector('button').addEventListener('click', () => {
  document.getElementById('about').close();
});
// The window's accelerators for the About box: Alt+? and Alt+/.
document.addEventListener('keydown', (event) => {
  if (event.altKey && (event.key === '?' || event.key === '/')) {
    event.preventDefault();
    showAbout();
  }
});

setUpMenus();
korvel = await (await loader).default({
  view,
  extraPorts: [{ port: virtualPort, name: 'Virtual module' }],
  grantedPorts: granted,
  instantiateWasm(imports, done) {
    compiled.then((module) => WebAssembly.instantiate(module, imports)).then((instance) => done(instance));
    return {};
  },
});
queue.post(call('korvel_start'));
await queue.idle();
offerPortChooser();
document.body.dataset.ready = 'true';
performance.mark('korvel-ready');

if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js');
