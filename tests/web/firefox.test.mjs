// The page in Debian's Firefox ESR, driven over WebDriver BiDi by the few
// commands it needs (Playwright's BiDi driver asks this Firefox for commands
// it does not have): loaded, connected to its virtual module, polling, and a
// tab read, with the window's texts.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { mkdtemp, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { test } from 'node:test';
import WebSocket from 'ws';
import { CONNECTED, SITE } from './harness.mjs';
import { serve } from '../../scripts/serve-web.mjs';

async function firefox() {
  const profile = await mkdtemp(join(tmpdir(), 'korvel-firefox-'));
  const browser = spawn(process.env.KORVEL_FIREFOX || '/usr/bin/firefox-esr',
    ['--headless', '--no-remote', '--remote-debugging-port=0', '-profile', profile], { stdio: ['ignore', 'ignore', 'pipe'] });
  const address = await new Promise((resolve, reject) => {
    browser.once('error', reject);
    browser.stderr.on('data', (text) => {
      const found = /WebDriver BiDi listening on (ws:\S+)/.exec(String(text));
      if (found) resolve(found[1]);
    });
  });
  const socket = new WebSocket(`${address}/session`);
  await new Promise((resolve) => socket.once('open', resolve));
  let last = 0;
  const waiting = new Map();
  socket.on('message', (text) => {
    const message = JSON.parse(text);
    if (waiting.has(message.id)) waiting.get(message.id)(message);
  });
  const send = (method, params) => new Promise((resolve, reject) => {
    waiting.set(++last, (message) => (message.error ? reject(new Error(message.message)) : resolve(message.result)));
    socket.send(JSON.stringify({ id: last, method, params }));
  });
  await send('session.new', { capabilities: {} });
  const context = (await send('browsingContext.getTree', {})).contexts[0].context;
  return {
    goto: (url) => send('browsingContext.navigate', { context, url, wait: 'complete' }),
    // The value, or nothing when the expression threw (the page not built yet).
    evaluate: async (expression) => (await send('script.evaluate',
      { expression, target: { context }, awaitPromise: true })).result?.value,
    async close() {
      socket.close();
      browser.kill();
      await new Promise((resolve) => browser.once('exit', resolve));
      await rm(profile, { recursive: true, force: true });
    },
  };
}

// Until `expression` gives `wanted`, for 20 s at most; what it gave last.
async function until(page, expression, wanted) {
  let value;
  for (let tries = 0; tries < 200 && value !== wanted; ++tries) {
    value = await page.evaluate(expression);
    if (value !== wanted) await new Promise((resolve) => setTimeout(resolve, 100));
  }
  return value;
}

test('Firefox: the page connects to its virtual module, polls and reads a tab', async () => {
  const server = await serve(SITE);
  const page = await firefox();
  try {
    await page.goto(`http://localhost:${server.address().port}/`);
    const status = "document.querySelector('[role=status]').textContent";
    assert.equal(await until(page, status, 'Found 1 COM port(s).'), 'Found 1 COM port(s).');
    await page.evaluate(`(() => {
      window.shown = [];
      new MutationObserver((records) => records.forEach((r) => window.shown.push(r.addedNodes[0]?.textContent ?? '')))
        .observe(document.querySelector('[role=status]'), { childList: true });
      [...document.querySelectorAll('button')].find((b) => b.textContent === 'Connect').click();
    })()`);
    assert.equal(await until(page, status, CONNECTED.at(-1)), CONNECTED.at(-1));
    assert.deepEqual(JSON.parse(await page.evaluate('JSON.stringify(window.shown)')), CONNECTED);
    const media = "document.querySelector('[role=textbox][aria-readonly]').textContent";
    assert.match(await until(page, `/^0x/.test(${media}) ? 'shown' : ${media}`, 'shown'), /shown/);
    await page.evaluate("[...document.querySelectorAll('[role=tab]')].find((t) => t.textContent === 'ACC').click()");
    assert.equal(await until(page, status, 'ACC actions loaded.'), 'ACC actions loaded.');
    assert.equal(await page.evaluate("String(document.querySelectorAll('[role=grid] tbody tr').length)"), '7');
  } finally {
    await page.close();
    await new Promise((resolve) => server.close(resolve));
  }
});
