// SPDX-License-Identifier: MIT
// The page's memory over a long game: the page from the browser build's
// folder in headless Chromium, played with a steady mix of keys (walking,
// turning, the map, shots) for MINUTES, its memory sampled every
// half-minute: the game's WebAssembly memory and the page's JavaScript heap.
// A one-off measurement, not a test: it prints the samples and the growth.
// Usage: node page_memory.mjs MODULES-FOLDER PAGE-FOLDER [MINUTES, default 10]
import { launch, serve } from '../tests/web/chromium.mjs';

const [modules, folder, minutes = '10'] = process.argv.slice(2);
const server = await serve(folder);
const browser = await launch(modules);
const page = await browser.newPage({ viewport: { width: 640, height: 400 } });
const errors = [];
page.on('pageerror', (error) => errors.push(String(error)));
const cdp = await page.context().newCDPSession(page);
await cdp.send('Performance.enable');

async function sample() {
  await cdp.send('HeapProfiler.collectGarbage');
  const { metrics } = await cdp.send('Performance.getMetrics');
  const metric = (name) => metrics.find((m) => m.name === name).value;
  const wasm = await page.evaluate(() => wasmMemory.buffer.byteLength);
  return { wasm, heap: metric('JSHeapUsedSize'), nodes: metric('Nodes') };
}

await page.goto(server.address);
await page.waitForFunction(() => document.body.dataset.state === 'playing');
for (let i = 0; i < 3; i++) await page.keyboard.press('Enter');
const keys = ['ArrowUp', 'ArrowUp', 'ArrowUp', 'ArrowLeft', 'ArrowUp', 'ArrowRight', 'ArrowDown', ' ', 'Enter'];
const kib = (bytes) => `${(bytes / 1024).toFixed(0)} KiB`;
const samples = [];
const start = Date.now();
for (let k = 0; Date.now() - start < Number(minutes) * 60000; k++) {
  if (k % 300 === 0) {
    const s = await sample();
    samples.push(s);
    console.log(`${((Date.now() - start) / 60000).toFixed(1)} min: WebAssembly memory ${kib(s.wasm)}, JavaScript heap ${kib(s.heap)}, ${s.nodes} DOM nodes`);
  }
  await page.keyboard.press(keys[k % keys.length]);
  await page.waitForTimeout(100);
}
const last = await sample();
const first = samples[0];
console.log(`after ${minutes} minutes: WebAssembly memory ${kib(first.wasm)} -> ${kib(last.wasm)}, ` +
  `JavaScript heap ${kib(first.heap)} -> ${kib(last.heap)}; errors: ${errors.length}`);
await browser.close();
server.close();
