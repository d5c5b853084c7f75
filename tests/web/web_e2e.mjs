// SPDX-License-Identifier: MIT
// The browser build's session, as a player meets it, in Debian's Chromium,
// headless (run by web_e2e.sh, which gives the Linux build's frames).
// The page's clock is pinned before it loads: Date.now() stands at the
// seed's second, so time() seeds the Linux build's maze, and, as in the Linux
// build's frames, no tick runs until the test lets the clock go.
//
// Usage: node web_e2e.mjs MODULES-FOLDER PAGE-FOLDER SEED LINUX-TITLE.ppm LINUX-PLAY.ppm
import { execFileSync } from 'node:child_process';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';

import { launch, serve } from './chromium.mjs';

const [modules, folder, seed, linuxTitleFile, linuxPlayFile] = process.argv.slice(2);
const pageFiles = ['index.html', 'page.js', 'dewgatherer.js', 'dewgatherer.wasm', 'dewgatherer.data'];
const guardMs = 60000;

let passed = 0;
let failed = 0;
function check(ok, what) {
  if (ok) passed++;
  else failed++;
  console.log(`${ok ? 'PASS' : 'FAIL'}: ${what}`);
  return ok;
}

// --- pictures: { w, h, px } with px the RGB bytes row by row from the top left

function readPpm(bytes) {
  const text = bytes.toString('latin1');
  const fields = [];
  let at = 0;
  while (fields.length < 4) {
    const match = /^(\s+|#[^\n]*\n)*(\S+)/.exec(text.slice(at));
    fields.push(match[2]);
    at += match[0].length;
  }
  const [magic, w, h] = [fields[0], Number(fields[1]), Number(fields[2])];
  if (magic === 'P6') return { w, h, px: bytes.subarray(at + 1, at + 1 + w * h * 3) };
  const values = text.slice(at).trim().split(/\s+/).map(Number);
  return { w, h, px: Uint8Array.from(values.slice(0, w * h * 3)) };
}

function fromPng(png) {
  return readPpm(execFileSync('/usr/bin/convert', ['png:-', '-depth', '8', 'ppm:-'], { input: png }));
}

function pixel(img, x, y) {
  const i = (y * img.w + x) * 3;
  return [img.px[i], img.px[i + 1], img.px[i + 2]];
}

function count(img, x0, y0, x1, y1, condition) {
  let n = 0;
  for (let y = y0; y <= y1; y++) for (let x = x0; x <= x1; x++) if (condition(...pixel(img, x, y))) n++;
  return n;
}

const isSky = (r, g, b) => r >= 127 && r <= 131 && g >= 189 && g <= 193 && b >= 252;
const same = (a, b) => a && b && Buffer.compare(Buffer.from(a.px), Buffer.from(b.px)) === 0;
// The message panel's white left border, x = 30 from y = 60 to 240.
const panelShown = (img) => count(img, 30, 60, 30, 240, (r, g, b) => r < 250 || g < 250 || b < 250) === 0;
const noSky = (img) => count(img, 0, 0, 299, 299, (r, g, b) => isSky(r, g, b) || (r === 0 && g === 255 && b === 0)) === 0;

// The wall ahead stands near to far units away: its top, 0.5 above the eye
// and the first sky up the middle column from the horizon, shows
// 150 / distance pixels above it.
function wallBetween(near, far) {
  const test = (img) => {
    let y = 149;
    while (y >= 0 && !isSky(...pixel(img, 150, y))) y--;
    test.seen = `wall top at ${299 - y}`;
    return 299 - y >= 150 + 150 / far - 1.5 && 299 - y <= 150 + 150 / near + 1.5;
  };
  test.what = `a wall ${near} to ${far} ahead`;
  return test;
}

// Inside the panel, the text and its rules are the only dark pixels (the
// panel is half white over the scene); they must be the Linux build's, pixel
// for pixel. Elsewhere the two GL drivers may pick other texels.
function compare(name, linux, web, withText) {
  const isText = (p) => p[0] <= 60 && p[1] <= 60 && p[2] <= 60;
  let textPixels = 0;
  let textDiffering = 0;
  let within = 0;
  let largest = 0;
  for (let y = 0; y < 300; y++) {
    for (let x = 0; x < 300; x++) {
      const a = pixel(linux, x, y);
      const b = pixel(web, x, y);
      const differences = a.map((v, k) => Math.abs(v - b[k]));
      largest = Math.max(largest, ...differences);
      if (Math.max(...differences) <= 3) within++;
      if (withText && x > 33 && x < 267 && y > 53 && y < 247 && (isText(a) || isText(b))) {
        textPixels++;
        if (differences.some((d) => d !== 0)) textDiffering++;
      }
    }
  }
  const share = (100 * within) / (300 * 300);
  console.log(`${name} against the Linux build: ${withText ? `${textPixels} text pixels, ${textDiffering} of them differ; ` : ''}` +
    `${share.toFixed(2)} % of all pixels within 3 levels per channel, the largest difference ${largest}`);
  if (withText) check(textPixels > 1000 && textDiffering === 0, `${name}: the text is the Linux build's, pixel for pixel`);
  check(share >= 97, `${name}: ${share.toFixed(2)} % of the pixels within 3 levels of the Linux build's (at least 97 %)`);
}

// --- the page, served on 127.0.0.1 from the unpacked zip

const server = await serve(folder);
const { address, requested } = server;

const browser = await launch(modules);
const context = await browser.newContext({ viewport: { width: 640, height: 360 }, deviceScaleFactor: 1 });
await context.addInitScript((seconds) => {
  const realNow = performance.now.bind(performance);
  const stillAt = realNow();
  let goneAt = null;
  const since = () => (goneAt === null ? 0 : realNow() - goneAt);
  Date.now = () => seconds * 1000 + since();
  performance.now = () => stillAt + since();
  window.dewLetClockGo = () => {
    goneAt = realNow();
  };
}, Number(seed));
const errors = [];
const watch = (page) => {
  page.on('pageerror', (error) => errors.push(String(error)));
  page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
  page.on('request', (request) => request.url().startsWith(address) || errors.push(`requested ${request.url()}`));
};

const page = await context.newPage();
watch(page);
const canvas = page.locator('#canvas');
let lastPng = null;
const shot = async () => fromPng((lastPng = await canvas.screenshot()));
// With DEW_WEB_SHOTS naming a folder, the compared frames are kept there,
// and the whole page in play as page.png.
const keep = (name) => process.env.DEW_WEB_SHOTS && writeFileSync(join(process.env.DEW_WEB_SHOTS, `${name}.png`), lastPng);
const status = () => page.locator('#message').innerText();

// waitFor(test): screenshots of the canvas until test holds on one (its last
// picture returned), or null after the guard.
async function waitFor(test) {
  const until = Date.now() + guardMs;
  do {
    const img = await shot();
    if (await test(img)) return img;
    await page.waitForTimeout(100);
  } while (Date.now() < until);
  return null;
}
async function settled() {
  let last = null;
  return waitFor((img) => {
    const still = same(img, last);
    last = img;
    return still;
  });
}
async function statusReads(text) {
  await page.waitForFunction((t) => document.getElementById('message').innerText === t, text, { timeout: guardMs })
    .catch(() => {});
  return (await status()) === text;
}
// The page's errors so far, counted by frames drawn after something ended.
async function framesPass(n) {
  await page.evaluate((frames) => new Promise((resolve) => {
    const next = () => (--frames > 0 ? requestAnimationFrame(next) : resolve());
    requestAnimationFrame(next);
  }), n);
}

// The session, step by step; none follows a failed one.
async function session() {
  await page.goto(address);
  check((await page.title()) === 'Dewgatherer', `the page is titled "${await page.title()}"`);
  const size = await canvas.evaluate((c) => [c.width, c.height, c.clientWidth, c.clientHeight].join(' '));
  check(size === '300 300 300 300', `a 300 by 300 canvas (${size})`);
  const keys = await page.locator('table').innerText();
  check(['Up / Down arrow', 'Left / Right arrow', 'Enter', 'Space', 'Escape'].every((k) => keys.includes(k)),
    'the keys are listed beside the canvas');
  check(await canvas.evaluate((c) => document.activeElement === c), 'the canvas has the keyboard once the page has loaded');

  let lastPage = null;
  for (const n of [1, 2, 3]) {
    const shown = await waitFor((img) => panelShown(img) && !same(img, lastPage));
    if (!check(shown !== null, `title page ${n}`)) return;
    lastPage = n === 1 ? await settled() : shown;
    if (n === 1) {
      compare('the first title page', readPpm(readFileSync(linuxTitleFile)), lastPage, true);
      keep('title');
    }
    await page.keyboard.press('Enter');
  }
  if (!check((await waitFor((img) => !panelShown(img))) !== null, 'Enter on the third page starts play')) return;
  compare('the first play frame', readPpm(readFileSync(linuxPlayFile)), await settled(), false);
  keep('play');

  await page.evaluate(() => window.dewLetClockGo());
  await page.locator('table').click();
  await canvas.click();
  check(await canvas.evaluate((c) => document.activeElement === c), 'a click on the canvas gives it the keyboard');
  const scrolled = () => page.evaluate(() => `${window.scrollX} ${window.scrollY}`);
  const before = await scrolled();
  // One key event turns about 20 degrees or walks 0.457 to 0.5 units.
  const steps = [
    ['ArrowLeft', 5, Object.assign(noSky, { what: 'neither sky nor a catch anywhere' })],
    ['ArrowRight', 5, wallBetween(4.45, 4.55)],
    ['ArrowUp', 4, wallBetween(2.5, 2.672)],
    ['ArrowDown', 2, wallBetween(3.414, 3.672)],
  ];
  for (const [key, times, test] of steps) {
    for (let i = 0; i < times; i++) await page.keyboard.press(key);
    const seen = await waitFor(test);
    if (!check(seen !== null, `${key} x${times}: ${test.what}${seen === null && test.seen ? ` (${test.seen})` : ''}`)) return;
  }
  await page.keyboard.press('Space');
  check((await scrolled()) === before, 'arrows and Space leave the page where it is');
  if (process.env.DEW_WEB_SHOTS) {
    await page.setViewportSize({ width: 840, height: 440 });
    await page.screenshot({ path: join(process.env.DEW_WEB_SHOTS, 'page.png') });
    await page.setViewportSize({ width: 640, height: 360 });
  }
  if (!check(errors.length === 0, `no errors while playing${errors.length ? `: ${errors.slice(0, 3).join(' | ')}` : ''}`)) return;

  await page.keyboard.press('Escape');
  if (!check(await statusReads('The game has ended.'), `Escape: the page says "${await status()}"`)) return;
  await framesPass(60);
  await page.keyboard.press('ArrowUp');
  await framesPass(60);
  check(errors.length === 0, `no errors once the game has ended${errors.length ? `: ${errors.slice(0, 3).join(' | ')} (${errors.length})` : ''}`);
  await page.getByRole('button', { name: 'Play again' }).click();
  check((await waitFor(panelShown)) !== null, 'Play again shows the first title page again');
}
await session();
check(requested.every((path) => pageFiles.includes(path.slice(1))), `the page requests only its own files (${[...new Set(requested)].join(' ')})`);
await page.close();

// A texture the game cannot read ends the start with the game's one line.
const broken = await context.newPage();
await broken.route('**/dewgatherer.data', async (route) => {
  const script = readFileSync(join(folder, 'dewgatherer.js'), 'latin1');
  // The package's table of files, as emcc writes it (keys quoted or not).
  const start = Number(/"?filename"?:\s*"\/bricks\.ppm",\s*"?start"?:\s*(\d+)/.exec(script)[1]);
  const data = readFileSync(join(folder, 'dewgatherer.data'));
  data.write('P3', start, 'latin1');
  await route.fulfill({ body: data, contentType: 'application/octet-stream' });
});
await broken.goto(address);
const brokenStatus = broken.locator('#message');
await broken.waitForFunction(() => document.body.dataset.state === 'failed', null, { timeout: guardMs }).catch(() => {});
check((await brokenStatus.innerText()) === 'Dewgatherer could not start: bricks.ppm: Not a raw PPM file',
  `an unreadable bricks.ppm: "${await brokenStatus.innerText()}"`);
await browser.close();

// A browser without WebGL is told so, and the game is not loaded.
const plain = await launch(modules, ['--disable-3d-apis']);
const noGl = await plain.newPage();
requested.length = 0;
await noGl.goto(address);
await noGl.waitForFunction(() => document.body.dataset.state === 'failed', null, { timeout: guardMs }).catch(() => {});
const noGlStatus = await noGl.locator('#message').innerText();
check(noGlStatus === 'Dewgatherer could not start: this browser gives the page no WebGL.' && !requested.includes('/dewgatherer.js'),
  `no WebGL: "${noGlStatus}"`);
await plain.close();
server.close();

console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
