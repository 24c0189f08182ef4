// The README's picture of the page: connected to its virtual module, the
// live displays running, on a laptop's screen.
//   node tests/web/screenshot.mjs FILE
import * as h from './harness.mjs';

const env = await h.start();
try {
  const page = await h.openPage(env);
  await h.connect(page);
  await page.waitForTimeout(1500);
  await page.screenshot({ path: process.argv[2] });
} finally {
  await env.stop();
}
