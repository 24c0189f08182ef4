// The page's Web Serial link over a real pseudo-terminal: korvel-sim, paced
// at 115200 baud and with its faults, behind the tests' stand-in serial port.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import * as h from './harness.mjs';
import { standInSerial, startSim } from './stand_in.mjs';

const PORT = 'USB 0403:6001 (1)';
let env;
before(async () => { env = await h.start(); });
after(() => env.stop());

async function withSim(options, body) {
  const sim = await startSim(['--pace', ...options]);
  const page = await h.openPage(env, { bypassCSP: true, init: [[standInSerial, { url: sim.url }]] });
  try {
    await body(page, sim);
  } finally {
    await page.context().close();
    await sim.stop();
  }
}

// Waits until korvel-sim has logged the requests it answered.
async function answered(sim, count) {
  for (let tries = 0; tries < 100; ++tries) {
    const requests = h.requests(await sim.requests());
    if (requests.length >= count) return requests;
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
  return h.requests(await sim.requests());
}

test('the stand-in ports are listed by their USB ids, and the connection is the window\'s', async () => {
  await withSim([], async (page, sim) => {
    assert.deepEqual(await page.getByRole('combobox', { name: 'Port:' }).locator('option').allTextContents(),
      [PORT, 'USB 0403:6001 (2)', 'Virtual module']);
    assert.equal(await h.status(page), 'Found 3 COM port(s).');
    // "Add port..." lets the user choose a port in the browser's chooser, then lists the ports again.
    const added = await h.act(page, () => page.getByRole('button', { name: 'Add port...' }).click(), 'Found 4 COM port(s).');
    assert.deepEqual(added.texts, ['Found 4 COM port(s).']);
    assert.deepEqual(await page.getByRole('combobox', { name: 'Port:' }).locator('option').allTextContents(),
      [PORT, 'USB 0403:6001 (2)', 'USB 0403:6001 (3)', 'Virtual module']);
    const refused = await h.act(page, async () => {
      await page.getByRole('combobox', { name: 'Port:' }).selectOption({ label: 'USB 0403:6001 (2)' });
      await page.getByRole('button', { name: 'Connect', exact: true }).click();
    }, 'Connection failed.');
    assert.deepEqual(refused.texts, ['Connecting...', 'Disconnected.', 'Connection failed.']);
    assert.deepEqual((await h.connect(page, PORT)).texts, h.CONNECTED);
    await h.act(page, () => page.getByRole('tab', { name: 'ACC' }).click(), 'ACC actions loaded.');
    assert.deepEqual(await answered(sim, 6), [...h.CONNECT_REQUESTS, [9]]);
    assert.equal(await page.getByRole('grid').locator('tbody tr').count(), 7);
  });
});

const FAULTS = [
  // name, korvel-sim's fault, what the user does, the texts it ends with, the last requests answered,
  // and where a deadline is what is tested: between which two of those texts, at least and at most how many ms
  ['a silent module: the read\'s time-out', ['--silent-on', 'getMaxBrightness'], (p) => h.connect(p, PORT),
    ['Connecting...', 'getMaxBrightness failed (exception).', ...h.CONNECTED.slice(2)], h.CONNECT_REQUESTS,
    // The settle wait, then the whole read's deadline of 5000 + 50 ms.
    [0, 1, 7050, Infinity]],
  ['a short reply: the gap after the last byte', ['--short-reply', 'getIRRepeatPeriod:1'], (p) => h.connect(p, PORT),
    [...h.CONNECTED.slice(0, 4), 'SyncIrRepeatPeriodField failed (exception).', ...h.CONNECTED.slice(5)],
    h.CONNECT_REQUESTS,
    // 50 ms after the byte that came, far sooner than the whole read's deadline.
    [3, 4, 50, 2000]],
  ['a refusal', ['--refuse', 'setMaxBrightness:3'], async (p) => {
    await h.connect(p, PORT);
    await p.getByRole('textbox', { name: 'Max brightness (0-100):' }).fill('55');
    await p.getByRole('button', { name: 'Set', exact: true }).first().click();
  }, [h.CONNECTED.at(-1), 'Max brightness set failed, response: 3'], [[0], [7, 55]]],
  ['unplugged in the middle of a table read', ['--hang-up-on', 'getGearActions:20'], async (p) => {
    await h.connect(p, PORT);
    await p.getByRole('tab', { name: 'Gears' }).click();
  }, ['Get actions failed (exception).', 'Disconnected.', 'Serial error occured: Write failed.'], [[0], [11]]],
  ['unplugged during the poll', ['--hang-up-on', 'getCurrentBrightness'], (p) => h.connect(p, PORT),
    [...h.CONNECTED, 'Disconnected.', 'Serial error occured: Read failed.'], h.CONNECT_REQUESTS],
  ['a click during a slow exchange waits its turn', ['--late', 'saveConfig:300'], async (p) => {
    await h.connect(p, PORT);
    await p.getByRole('button', { name: 'Save to device' }).click();
    await p.getByRole('button', { name: 'Load from device' }).click();
  }, ['Config saved to module.', 'Config loaded from module.', ...h.CONNECTED.slice(1, 6)],
  [[4], [5], ...h.CONNECT_REQUESTS]],
];

for (const [name, fault, steps, texts, requests, deadline] of FAULTS) {
  test(`${name}: the window's texts`, async () => {
    await withSim(fault, async (page, sim) => {
      const mark = (await h.statusLog(page)).length;
      await h.act(page, () => steps(page), texts.at(-1));
      assert.deepEqual((await h.statusLog(page)).slice(mark).slice(-texts.length), texts);
      if (deadline) {
        const [from, to, least, most] = deadline;
        const times = (await page.evaluate(() => window.statusTimes)).slice(mark).slice(-texts.length);
        const took = times[to] - times[from];
        assert.ok(took >= least && took <= most, `${took} ms`);
      }
      // Each request went out whole, once, in order: korvel-sim read them so.
      const all = await answered(sim, h.CONNECT_REQUESTS.length + requests.length - 1);
      assert.deepEqual(all.slice(-requests.length), requests);
      if (name.startsWith('unplugged')) {
        assert.equal(await page.getByRole('button', { name: 'Connect', exact: true }).isVisible(), true);
        assert.equal(await page.getByRole('button', { name: 'Save to device' }).isDisabled(), true);
      }
    });
  });
}
