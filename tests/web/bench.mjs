// The page's benchmarks, in headless Chromium against a local server:
//   save     File > Save... of four 255-row tables through the Web Serial link and
//            the stand-in port, from korvel-sim pacing at 115200 baud, against
//            korvelctl backup of the same module (its settle left out: the page's
//            Save... does not open the port); at most 1.1
//   weight   everything the page loads, gzip-compressed: at most 300 KiB
//   ready    navigation to ready to connect, empty cache: within 1 s (the median of 5 loads)
//   rest     connected to the virtual module, polling at 5 Hz: its renderer process under 2 % of
//            a core, beside a page of one text changing at 5 Hz for scale
import { execFileSync } from 'node:child_process';
import { mkdtemp, readFile, readdir } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { performance } from 'node:perf_hooks';
import { gzipSync } from 'node:zlib';
import * as h from './harness.mjs';
import { standInSerial, startSim } from './stand_in.mjs';

const KORVELCTL = join(h.ROOT, 'build', 'cli', 'korvelctl');
const results = [];
const report = (name, text, ok) => {
  results.push(ok);
  console.log(`${name.padEnd(7)} ${text}  ${ok ? 'ok' : 'TOO SLOW'}`);
};

async function save(env) {
  const sim = await startSim(['--pace', '--rows', '255']);
  const dir = await mkdtemp(join(tmpdir(), 'korvel-bench-'));
  try {
    const page = await h.openPage(env, { bypassCSP: true, init: [[standInSerial, { url: sim.url }]] });
    await h.connect(page, 'USB 0403:6001 (1)');
    await page.getByRole('menuitem', { name: 'File' }).click();
    // Timed in the page: from the click to the status line's text.
    await page.evaluate(() => document.addEventListener('click', () => { window.clickedAt = performance.now(); },
      { capture: true, once: true }));
    const saving = page.waitForEvent('download');
    await h.act(page, () => page.getByRole('menuitem', { name: 'Save...' }).click(), 'Config saved successfully', 60000);
    const pageSeconds = await page.evaluate(() => (window.statusTimes.at(-1) - window.clickedAt) / 1000);
    await (await saving).saveAs(join(dir, 'page.cfg'));
    await page.context().close();

    // korvelctl on the same module, after the page has let go of it.
    const before = performance.now();
    execFileSync(KORVELCTL, ['--port', sim.tty, '--settle', '0', 'backup', join(dir, 'korvelctl.cfg')]);
    const cliSeconds = (performance.now() - before) / 1000;
    const same = Buffer.compare(await readFile(join(dir, 'page.cfg')), await readFile(join(dir, 'korvelctl.cfg'))) === 0;
    const ratio = pageSeconds / cliSeconds;
    report('save', `page ${pageSeconds.toFixed(3)} s, korvelctl backup ${cliSeconds.toFixed(3)} s: ${ratio.toFixed(3)}`
      + `${same ? '' : ' (the files differ)'}`, ratio <= 1.1 && same);
  } finally {
    await sim.stop();
  }
}

async function weight() {
  const sizes = await Promise.all((await readdir(h.SITE)).map(async (name) => [name,
    gzipSync(await readFile(join(h.SITE, name)), { level: 9 }).length]));
  sizes.sort((a, b) => b[1] - a[1]);
  const total = sizes.reduce((sum, [, size]) => sum + size, 0);
  report('weight', `${(total / 1024).toFixed(1)} KiB gzip in ${sizes.length} files; largest ${sizes[0][0]}`
    + ` ${(sizes[0][1] / 1024).toFixed(1)} KiB`, total <= 300 * 1024);
}

async function ready(env) {
  const times = [];
  for (let run = 0; run < 5; ++run) {
    const page = await h.openPage(env);
    times.push(await page.evaluate(() => performance.getEntriesByName('korvel-ready')[0].startTime));
    await page.context().close();
  }
  times.sort((a, b) => a - b);
  report('ready', `median ${times[2].toFixed(0)} ms after navigation (5 loads: ${times.map((t) => t.toFixed(0)).join(', ')})`,
    times[2] <= 1000);
}

// The share of a core that the renderer process of `page` uses over 20 s,
// once the page has settled for `settleMs`: its CPU time, as the browser
// reports it.
async function restShare(page, settleMs) {
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Performance.enable');
  const cpuSeconds = async () => (await cdp.send('Performance.getMetrics')).metrics
    .find((metric) => metric.name === 'ProcessTime').value;
  await page.waitForTimeout(settleMs);
  const [cpu0, t0] = [await cpuSeconds(), performance.now()];
  await page.waitForTimeout(20000);
  const [cpu1, t1] = [await cpuSeconds(), performance.now()];
  await cdp.detach();
  return (cpu1 - cpu0) / ((t1 - t0) / 1000);
}

// Beside the page, for scale: a page of one text that changes five times a
// second, what any page whose displays change at 5 Hz costs this browser.
async function rest(env) {
  const page = await h.openPage(env);
  await h.connect(page);
  // At rest: after the connection's reads, and after the browser has compiled
  // the code they and the poll made hot (which it does for several seconds).
  const share = await restShare(page, 10000);
  await page.context().close();
  const context = await env.browser.newContext();
  const blank = await context.newPage();
  await blank.setContent('<output>0</output><script>let n = 0;'
    + 'setInterval(() => { document.querySelector("output").textContent = ++n % 100; }, 200);</script>');
  const floor = await restShare(blank, 1000);
  await context.close();
  report('rest', `the page's renderer ${(share * 100).toFixed(2)} % of a core, connected and polling at 5 Hz`
    + ` (a page of one text changing at 5 Hz: ${(floor * 100).toFixed(2)} %)`, share < 0.02);
}

const env = await h.start();
try {
  await weight();
  await ready(env);
  await rest(env);
  await save(env);
} finally {
  await env.stop();
}
console.log(`web benchmarks: ${results.filter(Boolean).length} of ${results.length} within their targets`);

