// What the page's tests and benchmarks share: Debian's Chromium, headless, a
// local server of the built page, and ways to read what the page shows and
// what its virtual module received.
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import { serve } from '../../scripts/serve-web.mjs';

export const ROOT = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
export const SITE = process.env.KORVEL_SITE || join(ROOT, 'build-web', 'site');

const CHROMIUM_FLAGS = [
  '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

// The window's controls, by the names a screen reader reads.
export const GROUPS = ['Connection', 'Device', 'Pressed Buttons', 'Dimmer', 'IR Remote', 'Resistance Remote',
  'Actions', 'Status'];
export const COLUMNS = ['Index', 'Button', 'IR', 'Repeat', 'L1', 'L2', 'L3', 'L4', 'H1', 'H2', 'H3', 'H4', 'Toggle',
  'Invert', 'Store', 'RA', 'RB'];
export const CONNECTED = ['Connecting...', 'Max brightness loaded.', 'Full repeat loaded.',
  'Default resistance loaded.', 'IR repeat period loaded.', 'Media actions loaded.',
  'Connected. Live polling at 5 Hz.'];
// The requests a connection sends, in order: the four settings, then the Media table.
export const CONNECT_REQUESTS = [[8], [17], [20], [18], [0]];
const POLL_REQUESTS = new Set([2, 3]);

// A browser and a server of the page, for one test file.
export async function start() {
  // Playwright gives the browser a fresh profile (--user-data-dir) of its own.
  const browser = await chromium.launch({
    executablePath: process.env.KORVEL_CHROMIUM || '/usr/bin/chromium',
    args: CHROMIUM_FLAGS,
  });
  const server = await serve(SITE);
  const url = `http://localhost:${server.address().port}/`;
  return {
    browser,
    url,
    async stop() {
      await browser.close();
      await new Promise((resolve) => server.close(resolve));
    },
  };
}

// Every text the status line shows, in order, from the first load on, and when.
function recordStatus() {
  window.statusLog = [];
  window.statusTimes = [];
  new MutationObserver((records) => {
    for (const record of records) {
      const status = record.target.closest && record.target.closest('[role=status]');
      if (!status || record.type !== 'childList') continue;
      window.statusLog.push(record.addedNodes.length ? record.addedNodes[0].textContent : '');
      window.statusTimes.push(performance.now());
    }
  }).observe(document, { subtree: true, childList: true });
}

// A fresh page (its own profile, so a fresh virtual module), ready to connect.
// File > Save... takes the download path a browser without a save dialog takes.
export async function openPage(env, { viewport = { width: 1280, height: 800 }, init = [], bypassCSP = false } = {}) {
  const context = await env.browser.newContext({ viewport, bypassCSP, acceptDownloads: true });
  await context.addInitScript(recordStatus);
  await context.addInitScript(() => { window.showSaveFilePicker = undefined; });
  for (const [script, arg] of init) await context.addInitScript(script, arg);
  const page = await context.newPage();
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  await page.goto(env.url);
  await page.waitForSelector('body[data-ready=true]');
  return page;
}

export const statusLog = (page) => page.evaluate(() => window.statusLog.slice());
export const status = (page) => page.getByRole('status').textContent();

// The requests the virtual module received, each write as a list of bytes,
// without the live poll's.
export const written = (page) => page.evaluate(async () => (await import('./virtual_port.js')).virtualPort.written.slice());
export const requests = (writes) => writes.filter((w) => !(w.length === 1 && POLL_REQUESTS.has(w[0])));
export const pollRequests = (writes) => writes.filter((w) => w.length === 1 && POLL_REQUESTS.has(w[0]));

// Does `step`, then waits until the status line has shown `last` after it;
// returns the texts shown meanwhile and the requests sent meanwhile.
export async function act(page, step, last, timeout = 30000) {
  const marks = await page.evaluate(async () => [window.statusLog.length,
    (await import('./virtual_port.js')).virtualPort.written.length]);
  await step();
  await page.waitForFunction(([mark, text]) => window.statusLog.length > mark && window.statusLog.at(-1) === text,
    [marks[0], last], { timeout });
  const log = await statusLog(page);
  return { texts: log.slice(marks[0]), sent: requests((await written(page)).slice(marks[1])) };
}

export async function connect(page, port = 'Virtual module') {
  await page.getByRole('combobox', { name: 'Port:' }).selectOption({ label: port });
  return act(page, () => page.getByRole('button', { name: 'Connect', exact: true }).click(), CONNECTED.at(-1));
}

export const cell = (page, row, column) => page.getByRole('grid').locator('tbody tr').nth(row).locator('td').nth(column);
export const rowTexts = (page, row) => page.getByRole('grid').locator('tbody tr').nth(row).locator('td').allTextContents();
