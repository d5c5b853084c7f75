// SPDX-License-Identifier: MIT
// The browser's frame times: bench/frame_times.html, with the bench built on
// the web GL layer, in headless Chromium; prints the program's own report.
// Usage: node frame_times.mjs MODULES-FOLDER BUILD-FOLDER
import { launch, serve } from '../tests/web/chromium.mjs';

const [modules, folder] = process.argv.slice(2);
const server = await serve(folder);
const browser = await launch(modules);
const page = await browser.newPage({ viewport: { width: 400, height: 400 } });
const done = new Promise((resolve, reject) => {
  page.on('console', (message) => {
    console.log(message.text());
    if (message.text().startsWith('frames per screen')) resolve();
  });
  page.on('pageerror', reject);
});
await page.goto(`${server.address}frame_times.html`);
await Promise.race([done, page.waitForTimeout(300000).then(() => Promise.reject(new Error('no report within 5 minutes')))]);
console.log(`renderer: ${await page.evaluate(() => {
  const gl = document.createElement('canvas').getContext('webgl');
  const info = gl.getExtension('WEBGL_debug_renderer_info');
  return gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER);
})}`);
await browser.close();
server.close();
