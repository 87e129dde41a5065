// Starting Debian's Chromium headless for the page tests and the benchmark,
// and serving a folder on the loopback interface for it.
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize } from 'node:path';
import { chromium } from 'playwright-core';

// Without the background-networking flags Chromium keeps trying to reach
// its vendor's servers, which a closed network refuses.
export function chromiumOptions() {
  return {
    executablePath: process.env.TAVREL_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  };
}

export function launchChromium() {
  return chromium.launch(chromiumOptions());
}

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.webmanifest': 'application/manifest+json',
  '.png': 'image/png', '.jpg': 'image/jpeg',
};

// A static server for `root` on 127.0.0.1 at a free port; counts the bytes
// it sends. `cacheControl` is the Cache-Control header of every response
// (a static host's max-age=600, say). Resolves to { url, close(),
// bytesSent() }.
export function serveFolder(root, { cacheControl = 'no-cache' } = {}) {
  let bytes = 0;
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = join(root, path.endsWith('/') ? path + 'index.html' : path);
    if (!file.startsWith(root)) {
      response.writeHead(403).end();
      return;
    }
    try {
      const body = await readFile(file);
      bytes += body.length;
      response.writeHead(200, { 'Content-Type': types[extname(file)] || 'application/octet-stream',
        'Cache-Control': cacheControl });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => {
      resolve({
        url: `http://127.0.0.1:${server.address().port}/`,
        bytesSent: () => bytes,
        resetBytes: () => { bytes = 0; },
        close: () => new Promise((done) => { server.closeAllConnections(); server.close(done); }),
      });
    });
  });
}
