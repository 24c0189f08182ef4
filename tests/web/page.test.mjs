// The page against its own virtual module, in Debian's Chromium: the window's
// controls by role and name, its texts in order and the bytes the module got.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtemp, readFile, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import * as h from './harness.mjs';

let env;
before(async () => { env = await h.start(); });
after(() => env.stop());

const NO_SERIAL = 'This browser cannot reach serial ports (no Web Serial): only the virtual module can be used.';
const le = (value, bytes) => Array.from({ length: bytes }, (_, i) => (value >>> (8 * i)) & 0xFF);

test('the window\'s groups, controls, tabs, columns, menu and About box, by role and name', async () => {
  const page = await h.openPage(env);
  const groups = await page.getByRole('group').evaluateAll((all) => all.map((g) => g.querySelector('legend').textContent));
  assert.deepEqual(groups, h.GROUPS);
  const controls = [
    ['combobox', 'Port:'], ['button', 'Refresh'], ['button', 'Add port...'], ['button', 'Connect'],
    ['button', 'Save to device'], ['button', 'Load from device'], ['button', 'Reset'], ['textbox', 'Media:'],
    ['textbox', 'Gears:'], ['textbox', 'Horn:'], ['textbox', 'ACC:'], ['textbox', 'Current:'],
    ['textbox', 'Max brightness (0-100):'], ['textbox', 'Send code:'], ['button', 'Send'],
    ['textbox', 'IR Period (ms):'], ['checkbox', 'Full Repeat'], ['combobox', 'RA default:'],
    ['combobox', 'RB default:'],
  ];
  for (const [role, name] of controls) assert.equal(await page.getByRole(role, { name, exact: true }).count(), 1, name);
  assert.equal(await page.getByRole('button', { name: 'Set', exact: true }).count(), 2);
  assert.deepEqual(await page.getByRole('tab').allTextContents(), ['Media', 'Gears', 'Horn', 'ACC']);
  assert.deepEqual(await page.getByRole('grid').getByRole('columnheader').allTextContents(), h.COLUMNS);
  assert.deepEqual(await h.statusLog(page), ['Disconnected.', 'Korvel GUI ready.', 'Found 1 COM port(s).']);
  assert.deepEqual(await page.getByRole('combobox', { name: 'Port:' }).locator('option').allTextContents(),
    ['Virtual module']);
  for (const name of ['Save to device', 'Send', 'Media']) {
    assert.equal(await page.getByRole(name === 'Media' ? 'tab' : 'button', { name, exact: true }).isDisabled(), true);
  }
  assert.equal(await page.getByText(NO_SERIAL).count(), 0);

  // The menu, by keyboard: File opens on Enter, the arrows move between menus.
  await page.getByRole('menuitem', { name: 'File' }).focus();
  await page.keyboard.press('Enter');
  assert.deepEqual(await page.getByRole('menu').getByRole('menuitem').allTextContents(), ['Open...', 'Save...']);
  await page.keyboard.press('Escape');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('Enter');
  assert.deepEqual(await page.getByRole('menu').getByRole('menuitem').allTextContents(), ['About ...']);
  await page.keyboard.press('Enter');
  const about = page.getByRole('dialog', { name: 'About Korvel Configurator' });
  assert.match(await about.textContent(), /Korvel Configurator, Version 1\.0\s*www\.korvel\.example\s*\(C\) 2026 Korvel\s*OK/);
  await page.keyboard.press('Enter');
  assert.equal(await about.isVisible(), false);
  await page.keyboard.press('Alt+/');
  assert.equal(await about.isVisible(), true);
  await page.keyboard.press('Escape');
  assert.deepEqual(page.errors, []);
});

test('a browser without Web Serial says so by the port list, and the virtual module still works', async () => {
  const hide = () => Object.defineProperty(Navigator.prototype, 'serial', { get: () => undefined });
  const page = await h.openPage(env, { init: [[hide]] });
  assert.equal(await page.getByText(NO_SERIAL).isVisible(), true);
  assert.equal(await page.getByRole('button', { name: 'Add port...' }).isDisabled(), true);
  assert.deepEqual((await h.connect(page)).texts, h.CONNECTED);
});

test('it fits a laptop and a tablet without sideways scrolling; the list scrolls inside itself', async () => {
  for (const [width, height] of [[1280, 800], [800, 1100]]) {
    const page = await h.openPage(env, { viewport: { width, height } });
    await h.connect(page);
    const sizes = await page.evaluate(() => {
      const root = document.documentElement;
      const scroller = document.querySelector('[role=grid]').parentElement;
      return { page: [root.scrollWidth, root.clientWidth, root.scrollHeight, root.clientHeight],
        list: [scroller.scrollWidth, scroller.clientWidth] };
    });
    assert.ok(sizes.page[0] <= sizes.page[1], `${width}: page ${sizes.page}`);
    if (width === 1280) assert.ok(sizes.page[2] <= sizes.page[3], `${width}: page ${sizes.page}`);
    if (width === 800) assert.ok(sizes.list[0] > sizes.list[1], `${width}: list ${sizes.list}`);
    await page.context().close();
  }
});

test('connect, the live displays at 5 Hz, disconnect', async () => {
  const page = await h.openPage(env);
  const connected = await h.connect(page);
  assert.deepEqual(connected.texts, h.CONNECTED);
  assert.deepEqual(connected.sent, h.CONNECT_REQUESTS);
  assert.equal(await page.getByRole('button', { name: 'Save to device' }).isEnabled(), true);

  // Count the polls over 3 s from one poll on; the pressed buttons change every 1.5 s.
  const polls = async () => h.pollRequests(await h.written(page)).length / 2;
  const first = await polls();
  const media = page.getByRole('textbox', { name: 'Media:' });
  while (await media.textContent() === '-') await page.waitForTimeout(50);
  const shown = new Set();
  const started = Date.now();
  while (Date.now() - started < 3000) {
    shown.add(await media.textContent());
    await page.waitForTimeout(100);
  }
  const rate = (await polls() - first) / ((Date.now() - started) / 1000);
  assert.ok(rate > 4 && rate < 6, `${rate} polls a second`);
  assert.ok(shown.size >= 2 && [...shown].every((text) => /^0x[0-9A-F]{2}$/.test(text)), [...shown].join());
  assert.match(await page.getByRole('textbox', { name: 'ACC:' }).textContent(), /^0x[0-9A-F]{4}$/);
  assert.match(await page.getByRole('textbox', { name: 'Current:' }).textContent(), /^\d+$/);

  const gone = await h.act(page, () => page.getByRole('button', { name: 'Disconnect' }).click(), 'Disconnected.');
  assert.deepEqual(gone.texts, ['Disconnected.', 'Disconnected.']);
  assert.equal(await page.getByRole('button', { name: 'Connect', exact: true }).isVisible(), true);
  for (const name of ['Media:', 'Gears:', 'Horn:', 'ACC:', 'Current:'])
    assert.equal(await page.getByRole('textbox', { name }).textContent(), '-');
  const after = await polls();
  await page.waitForTimeout(500);
  assert.equal(await polls(), after, 'no poll after the disconnect');
});

test('each tab reads its own table', async () => {
  const page = await h.openPage(env);
  await h.connect(page);
  const tabs = [
    ['Gears', [11], 'Gear actions loaded.', 4, ['0', '0x01', '0x0', '', '\u2714']],
    ['Horn', [10], 'Horn actions loaded.', 1, ['0', ' Horn  (0x01)', '0x0', '', '', '', '', '', '\u2714']],
    ['ACC', [9], 'ACC actions loaded.', 7, ['0', 'On/Off (0x0010)', '0x0', '', '', '', '', '', '', '', '', '', '', '',
      '', '15 k\u2126', '']],
    ['Media', [0], 'Media actions loaded.', 13, ['0', 'Previous (0x16)', '0xBE4100FF']],
  ];
  for (const [tab, request, text, rows, start] of tabs) {
    const read = await h.act(page, () => page.getByRole('tab', { name: tab }).click(), text);
    assert.deepEqual(read, { texts: [text], sent: [request] }, tab);
    assert.equal(await page.getByRole('tab', { name: tab }).getAttribute('aria-selected'), 'true');
    assert.equal(await page.getByRole('grid').locator('tbody tr').count(), rows, tab);
    assert.deepEqual((await h.rowTexts(page, 0)).slice(0, start.length), start, tab);
  }
  // The arrow keys move between the tabs as the window's tab control does.
  const read = await h.act(page, () => page.keyboard.press('ArrowRight'), 'Gear actions loaded.');
  assert.deepEqual(read.sent, [[11]]);
});

// Row 1 of the factory's Media table: Next (0x15), IR 0xBD4200FF, RA 2.2 kΩ.
const ROW = 1;
const NEXT = { button: 0x15, ir: 0xBD4200FF, lines: 0, flags: 0, resistors: 0x0002 };
const setRow = (fields) => {
  const f = { ...NEXT, ...fields };
  return [1, ROW, f.button, ...le(f.ir, 4), f.lines, f.flags, ...le(f.resistors, 2)];
};

// How each editor is opened, given something and closed.
const open = (page, column) => h.cell(page, ROW, column).dblclick();
const key = (name) => async (page, column) => {
  await h.cell(page, ROW, column).click();
  await page.keyboard.press(name);
};
const type = (text) => (page) => page.locator('.cell-editor input, input.cell-editor').first().fill(text);
const press = (key) => (page) => page.keyboard.press(key);
const clickElsewhere = (page) => h.cell(page, 5, 0).click();
const choose = (name) => async (page) => {
  if (await page.getByRole('listbox').isHidden()) await page.getByRole('button', { name: 'Open the list' }).click();
  await page.getByRole('listbox').getByRole('option', { name, exact: true }).click();
};

const EDITS = [
  // name, column, open, steps, status, cell text after, request (nothing when none is sent)
  ['IR by Enter', 2, open, [type('0x1234'), press('Enter')], 'Action updated', '0x1234', setRow({ ir: 0x1234 })],
  ['IR by a click elsewhere', 2, open, [type('99'), clickElsewhere], 'Action updated', '0x63', setRow({ ir: 99 })],
  ['IR opened by F2, trailing text ignored', 2, key('F2'), [type('12abc'), press('Enter')],
    'Action updated', '0xC', setRow({ ir: 12 })],
  ['IR cancelled by Escape', 2, open, [type('0x5'), press('Escape')], null, '0xBD4200FF', null],
  ['IR refused', 2, open, [type('abc'), press('Enter')], 'Invalid IR.', '0xBD4200FF', null],
  ['Button typed, by Enter', 1, open, [type('0x0C'), press('Enter')], 'Action updated', 'Mode (0x0C)',
    setRow({ button: 0x0C })],
  ['Button from the drop-down', 1, open, [choose('Up (0x04)')], 'Action updated', 'Up (0x04)', setRow({ button: 4 })],
  ['Button by a click elsewhere', 1, open, [type('OK (0x07)'), clickElsewhere], 'Action updated', 'OK (0x07)',
    setRow({ button: 7 })],
  ['Button refused', 1, open, [type('300'), press('Enter')], 'Invalid Button.', 'Next (0x15)', null],
  ['Button cancelled by Escape', 1, open, [type('0x02'), press('Escape')], null, 'Next (0x15)', null],
  ['RA from the drop-down', 15, open, [choose('3.9 k\u2126')], 'Action updated', '3.9 k\u2126',
    setRow({ resistors: 0x0004 })],
  ['RA by the keyboard', 15, key('Enter'), [press('ArrowDown'), press('Enter')],
    'Action updated', '3.9 k\u2126', setRow({ resistors: 0x0004 })],
  ['RA cancelled by Escape', 15, open, [press('ArrowDown'), press('Escape')], null, '2.2 k\u2126', null],
  ['RB from the drop-down', 16, open, [choose('22 \u2126')], 'Action updated', '22 \u2126',
    setRow({ resistors: 0x8002 })],
  ['Repeat flipped', 3, open, [], 'Action updated', '\u2714', setRow({ flags: 0x08 })],
  ['H1 flipped by Enter', 8, key('Enter'), [], 'Action updated', '\u2714',
    setRow({ lines: 0x10 })],
];

test('each cell editor commits by Enter, a click elsewhere or the drop-down, and Escape cancels', async () => {
  const page = await h.openPage(env);
  await h.connect(page);
  for (const [name, column, openIt, steps, text, shown, request] of EDITS) {
    const before = (await h.statusLog(page)).length;
    const edit = async () => {
      await openIt(page, column);
      for (const step of steps) await step(page);
    };
    if (text) {
      const done = await h.act(page, edit, text);
      assert.deepEqual(done.texts, [text], name);
      assert.deepEqual(done.sent, request ? [request] : [], name);
    } else {
      const sentBefore = (await h.written(page)).length;
      await edit();
      await page.waitForFunction(() => !document.querySelector('.cell-editor'));
      await page.waitForTimeout(100);
      assert.equal((await h.statusLog(page)).length, before, name);
      assert.deepEqual(h.requests((await h.written(page)).slice(sentBefore)), [], name);
    }
    assert.equal(await h.cell(page, ROW, column).textContent(), shown, name);
    assert.equal(await page.locator('.cell-editor').count(), 0, name);
    // Back to the factory's table for the next case.
    await h.act(page, () => page.getByRole('button', { name: 'Reset', exact: true }).click(), 'Media actions loaded.');
  }
});

const SETTINGS = [
  // name, what the user does, status, requests
  ['max brightness', async (p) => { await p.getByRole('textbox', { name: 'Max brightness (0-100):' }).fill('55');
    await p.getByRole('button', { name: 'Set', exact: true }).first().click(); }, 'Max brightness set.', [[7, 55]]],
  ['max brightness refused', async (p) => { await p.getByRole('textbox', { name: 'Max brightness (0-100):' }).fill('101');
    await p.getByRole('button', { name: 'Set', exact: true }).first().click(); }, 'Invalid max brightness (0-100).', []],
  ['IR period', async (p) => { await p.getByRole('textbox', { name: 'IR Period (ms):' }).fill('0x1F4');
    await p.getByRole('button', { name: 'Set', exact: true }).last().click(); }, 'IR period set.', [[16, 0xF4, 0x01]]],
  ['IR period refused', async (p) => { await p.getByRole('textbox', { name: 'IR Period (ms):' }).fill('soon');
    await p.getByRole('button', { name: 'Set', exact: true }).last().click(); }, 'Invalid IR period.', []],
  ['IR code', async (p) => { await p.getByRole('textbox', { name: 'Send code:' }).fill('0x11223344');
    await p.getByRole('button', { name: 'Send' }).click(); }, 'IR code sent', [[6, 0x44, 0x33, 0x22, 0x11]]],
  ['full repeat', (p) => p.getByRole('checkbox', { name: 'Full Repeat' }).click(), 'IR full repeat toggled.', [[15, 1]]],
  ['RA default', (p) => p.getByRole('combobox', { name: 'RA default:' }).selectOption({ label: '4.7 k\u2126' }),
    'Default resistance updated.', [[21, 0x08, 0x00]]],
  ['RB default', (p) => p.getByRole('combobox', { name: 'RB default:' }).selectOption({ label: '22 \u2126' }),
    'Default resistance updated.', [[21, 0x08, 0x80]]],
  ['Save to device', (p) => p.getByRole('button', { name: 'Save to device' }).click(), 'Config saved to module.', [[4]]],
  ['Reset', (p) => p.getByRole('button', { name: 'Reset', exact: true }).click(), 'Media actions loaded.',
    [[19], ...h.CONNECT_REQUESTS]],
  ['Load from device', (p) => p.getByRole('button', { name: 'Load from device' }).click(), 'Media actions loaded.',
    [[5], ...h.CONNECT_REQUESTS]],
];

test('each setting, Save to device, Load from device and Reset', async () => {
  const page = await h.openPage(env);
  await h.connect(page);
  for (const [name, step, text, sent] of SETTINGS) {
    const done = await h.act(page, () => step(page), text);
    assert.equal(done.texts[0], sent[0] && sent[0][0] === 19 ? 'Default config restored.'
      : sent[0] && sent[0][0] === 5 ? 'Config loaded from module.' : text, name);
    assert.deepEqual(done.sent, sent, name);
  }
  // Reset gave the factory's settings; Load from device brought back the ones stored after the changes.
  assert.equal(await page.getByRole('checkbox', { name: 'Full Repeat' }).isChecked(), true);
  assert.equal(await page.getByRole('textbox', { name: 'Max brightness (0-100):' }).inputValue(), '55');
  assert.equal(await page.getByRole('textbox', { name: 'IR Period (ms):' }).inputValue(), '500');
  assert.equal(await page.getByRole('combobox', { name: 'RA default:' }).inputValue(), '4.7 k\u2126');
  assert.equal(await page.getByRole('combobox', { name: 'RB default:' }).inputValue(), '22 \u2126');
});

async function fileMenu(page, item) {
  await page.getByRole('menuitem', { name: 'File' }).click();
  await page.getByRole('menuitem', { name: item }).click();
}

async function openFile(page, path, last) {
  return h.act(page, async () => {
    const chooser = page.waitForEvent('filechooser');
    await fileMenu(page, 'Open...');
    await (await chooser).setFiles(path);
  }, last);
}

test('Save... then Open... puts back a changed module, from the .cfg and from its JSON form', async () => {
  const page = await h.openPage(env);
  await h.connect(page);
  const dir = await mkdtemp(join(tmpdir(), 'korvel-page-'));
  await h.act(page, async () => { await open(page, 2); await type('0x1234')(page); await page.keyboard.press('Enter'); },
    'Action updated');
  const saving = page.waitForEvent('download');
  const saved = await h.act(page, () => fileMenu(page, 'Save...'), 'Config saved successfully');
  assert.deepEqual(saved.sent, [[0], [11], [10], [9]]);
  const download = await saving;
  assert.equal(download.suggestedFilename(), 'korvel.cfg');
  const cfg = join(dir, 'korvel.cfg');
  await download.saveAs(cfg);
  // Where the browser has a save dialog, the same bytes go to the file chosen there.
  await page.evaluate(() => {
    window.showSaveFilePicker = async () => ({
      createWritable: async () => ({ write: async (bytes) => { window.savedBytes = Array.from(bytes); }, close: async () => {} }),
    });
  });
  await h.act(page, () => fileMenu(page, 'Save...'), 'Config saved successfully');
  assert.deepEqual(await page.evaluate(() => window.savedBytes), Array.from(await readFile(cfg)));
  const json = join(dir, 'korvel.json');
  execFileSync(join(h.ROOT, 'build', 'cli', 'korvelctl'), ['convert', cfg, json]);

  for (const path of [cfg, json]) {
    await h.act(page, () => page.getByRole('button', { name: 'Reset', exact: true }).click(), 'Media actions loaded.');
    assert.equal(await h.cell(page, ROW, 2).textContent(), '0xBD4200FF');
    const opened = await openFile(page, path, 'Media actions loaded.');
    assert.deepEqual(opened.texts.slice(-2), ['All actions written to device.', 'Media actions loaded.'], path);
    assert.ok(opened.sent.some((r) => r.join() === setRow({ ir: 0x1234 }).join()), path);
    assert.equal(await h.cell(page, ROW, 2).textContent(), '0x1234', path);
  }
});

test('a damaged file is refused with the window\'s words and none of it reaches the module', async () => {
  const page = await h.openPage(env);
  await h.connect(page);
  const dir = await mkdtemp(join(tmpdir(), 'korvel-page-'));
  const files = [
    ['short.cfg', Buffer.from([0x7E, 0x41]), 'Failed to read config header'],
    ['damaged.cfg', Buffer.from('not a configuration file'), 'Invalid config file'],
    ['damaged.json', Buffer.from('{"settings": 3}'), 'Invalid config file: media: missing'],
  ];
  // A cancelled dialog sends the held configuration back as it stands: so must each damaged file.
  const table = await page.getByRole('grid').locator('tbody').textContent();
  const cancelled = await h.act(page, async () => {
    const chooser = page.waitForEvent('filechooser');
    await fileMenu(page, 'Open...');
    await (await chooser).setFiles([]);
  }, 'Media actions loaded.');
  for (const [name, bytes, text] of files) {
    await writeFile(join(dir, name), bytes);
    const opened = await openFile(page, join(dir, name), 'Media actions loaded.');
    assert.equal(opened.texts[0], text, name);
    assert.deepEqual(opened.sent, cancelled.sent, name);
    assert.deepEqual(await page.getByRole('grid').locator('tbody').textContent(), table, name);
  }
});

test('once loaded it works offline, installs as an app, and asks nothing of any other origin', async () => {
  const page = await h.openPage(env);
  const asked = [];
  page.context().on('request', (request) => asked.push(request.url()));
  // The worker has kept the page's files once it controls the page.
  await page.evaluate(() => navigator.serviceWorker.controller
    || new Promise((resolve) => navigator.serviceWorker.addEventListener('controllerchange', resolve)));
  const cdp = await page.context().newCDPSession(page);
  // The tests' browser contexts are private windows, where nothing installs; the page itself lacks nothing.
  const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
  assert.deepEqual(installabilityErrors.filter((e) => e.errorId !== 'in-incognito'), []);
  const policy = await page.locator('meta[http-equiv=Content-Security-Policy]').getAttribute('content');
  assert.match(policy, /script-src 'self' 'wasm-unsafe-eval';/);
  assert.doesNotMatch(policy, /'unsafe-eval'|'unsafe-inline'/);
  assert.equal(await page.locator('script:not([src])').count(), 0);

  await page.context().setOffline(true);
  await page.reload();
  await page.waitForSelector('body[data-ready=true]');
  assert.deepEqual((await h.connect(page)).texts, h.CONNECTED);
  assert.ok(asked.length > 0 && asked.every((url) => url.startsWith(env.url)), asked.join('\n'));
  assert.deepEqual(page.errors, []);
});
