// SPDX-License-Identifier: MIT
// What the browser test and the browser benchmarks share: a page folder
// served on 127.0.0.1, and Debian's Chromium, headless, with the software
// WebGL (SwiftShader through ANGLE) it has without a GPU, driven by
// playwright-core from the modules folder that npm ci filled.
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';

// serve(folder): { address, requested (the paths asked for), close() }.
export async function serve(folder) {
  const requested = [];
  const types = { html: 'text/html', js: 'text/javascript', wasm: 'application/wasm' };
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/^\/$/, '/index.html');
    requested.push(path);
    try {
      const body = readFileSync(join(folder, path.replace(/^\/+/, '')));
      response.writeHead(200, { 'Content-Type': types[path.split('.').pop()] || 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { address: `http://127.0.0.1:${server.address().port}/`, requested, close: () => server.close() };
}

// launch(modules, extraFlags): the browser.
export function launch(modules, extraFlags = []) {
  const { chromium } = createRequire(resolve(modules, 'package.json'))('playwright-core');
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    // (No GPU watchdog: on a busy machine it would end a slow software GPU
    // process, and WebGL with it.)
    args: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--force-color-profile=srgb', '--disable-gpu-watchdog',
      ...extraFlags],
  });
}
