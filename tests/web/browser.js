// Starting Debian's Chromium headless for the page tests and the benchmark,
// and serving a folder on the loopback interface for it.
import { spawn } from 'node:child_process';
import { createServer } from 'node:http';
import { existsSync } from 'node:fs';
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
// (a static host's max-age=600, say). `hold` (a RegExp on the path) keeps
// the responses for matching files back until release() is called: files
// still on their way, for as long as a test needs, with no timing to guess.
// Resolves to { url, close(), bytesSent(), resetBytes(), release() }.
export function serveFolder(root, { cacheControl = 'no-cache', hold = null } = {}) {
  let bytes = 0;
  let release = () => {};
  const released = new Promise((resolve) => { release = resolve; });
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = join(root, path.endsWith('/') ? path + 'index.html' : path);
    if (!file.startsWith(root)) {
      response.writeHead(403).end();
      return;
    }
    if (hold && hold.test(path)) await released;
    if (response.destroyed) return; // the server closed meanwhile
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
        release: () => release(),
        close: () => new Promise((done) => {
          release();
          server.closeAllConnections();
          server.close(done);
        }),
      });
    });
  });
}

// The three engines the page is checked in, driven through the few
// operations the cross-engine tests need, so one table of tests runs in
// each: open(url) gives a page with evaluate(fn, ...args), click(selector)
// (the driver's own click, as a user's), type(selector, text),
// press('Enter' | 'Escape'), goto(url), waitFor(fn, ...args) and close().
// open(url, { early: true }) returns as soon as the page's document has
// arrived, without waiting for its scripts and other files to load.
// launchEngine(name, { webAssembly: false }) starts the engine with
// WebAssembly switched off, each in its own way; launchEngine(name,
// { profile: folder }) with a browser profile kept in that folder, for a
// returning visitor (Chromium and Firefox: MiniBrowser under automation
// keeps its website data in memory only, and has no option for a folder).
//   chromium  Debian's Chromium over CDP (puppeteer-core)
//   firefox   Debian's Firefox ESR over WebDriver BiDi (puppeteer-core)
//   webkit    WebKitGTK's MiniBrowser over classic WebDriver (WebKitWebDriver,
//             plain HTTP), on a private Xvfb display: it has no headless mode
//             that works here
export const engines = ['chromium', 'firefox', 'webkit'];

const pause = (ms) => new Promise((done) => setTimeout(done, ms));

async function poll(check, what) {
  for (let tries = 0; tries < 200; ++tries) {
    if (await check()) return;
    await pause(50);
  }
  throw new Error(`timed out waiting for ${what}`);
}

// Until the document at `url` has replaced the blank one. While the
// navigation commits, a script may land in the document being replaced
// and fail: that counts as not yet.
const arrived = (evaluate, url) => poll(
  () => evaluate(() => location.href).then((href) => href === url, () => false), `${url} to arrive`);

async function launchPuppeteer(name, { webAssembly, profile }) {
  const { default: puppeteer } = await import('puppeteer-core');
  // Chromium runs no WebAssembly without its compilers (V8's jitless mode);
  // Firefox has a preference for it.
  const browser = await puppeteer.launch(name === 'firefox'
    ? { browser: 'firefox', executablePath: process.env.TAVREL_FIREFOX || '/usr/bin/firefox-esr', headless: true,
      userDataDir: profile, extraPrefsFirefox: webAssembly ? {} : { 'javascript.options.wasm': false } }
    : { executablePath: chromiumOptions().executablePath, headless: true, userDataDir: profile,
      args: [...chromiumOptions().args, ...(webAssembly ? [] : ['--js-flags=--jitless'])] });
  return {
    name,
    async open(url, { early = false } = {}) {
      // A fresh context for each page, unless the profile is what is being
      // kept: a context made here is discarded, with its data, on close.
      const context = profile ? null : await browser.createBrowserContext();
      const page = await (context || browser.defaultBrowserContext()).newPage();
      const evaluate = (fn, ...args) => page.evaluate(fn, ...args);
      if (early) {
        // Ends with the load, or fails when the page closes first.
        page.goto(url).catch(() => {});
        await arrived(evaluate, url);
      } else {
        await page.goto(url);
      }
      return {
        evaluate,
        click: (selector) => page.click(selector),
        type: (selector, text) => page.type(selector, text),
        press: (key) => page.keyboard.press(key),
        goto: (next) => page.goto(next),
        waitFor: (fn, ...args) => poll(() => page.evaluate(fn, ...args), fn.toString()),
        close: () => (context ? context.close() : page.close()),
      };
    },
    close: () => browser.close(),
  };
}

const webDriverKeys = { Enter: '\uE007', Escape: '\uE00C' };

async function launchWebKit({ webAssembly }) {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x800x24', '-nolisten', 'tcp'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  const display = await new Promise((resolve, reject) => {
    xvfb.once('error', reject);
    xvfb.stdio[3].once('data', (data) => resolve(String(data).trim()));
  });
  const port = await new Promise((resolve) => {
    const probe = createServer().listen(0, '127.0.0.1', () => {
      const { port: free } = probe.address();
      probe.close(() => resolve(free));
    });
  });
  // MiniBrowser has no setting for WebAssembly (neither its WebKitSettings
  // nor its list of features names it); JavaScriptCore reads its own
  // options from JSC_* variables, which reach the web process through the
  // driver and MiniBrowser.
  const env = { ...process.env, DISPLAY: `:${display}`, ...(webAssembly ? {} : { JSC_useWasm: 'false' }) };
  const driver = spawn(process.env.TAVREL_WEBKIT_DRIVER || 'WebKitWebDriver', [`--port=${port}`],
    { env, stdio: 'ignore' });
  const base = `http://127.0.0.1:${port}`;
  async function call(method, path, body) {
    for (let tries = 0; ; ++tries) {
      let response;
      try {
        response = await fetch(base + path, { method, headers: { 'Content-Type': 'application/json' },
          body: body && JSON.stringify(body) });
      } catch (error) {
        if (tries > 100) throw error; // the driver is still starting
        await pause(100);
        continue;
      }
      const { value } = await response.json();
      if (value && value.error) throw new Error(`${path}: ${value.error}: ${value.message}`);
      return value;
    }
  }
  const binary = process.env.TAVREL_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
  const stop = () => { driver.kill(); xvfb.kill(); };
  return {
    name: 'webkit',
    async open(url, { early = false } = {}) {
      // 'none': navigating returns once the navigation has started.
      const { sessionId } = await call('POST', '/session', { capabilities: { alwaysMatch: {
        browserName: 'MiniBrowser', 'webkitgtk:browserOptions': { binary, args: ['--automation'] },
        ...(early ? { pageLoadStrategy: 'none' } : {}) } } });
      const session = `/session/${sessionId}`;
      const element = async (selector) => Object.values(await call('POST', `${session}/element`,
        { using: 'css selector', value: selector }))[0];
      const evaluate = (fn, ...args) => call('POST', `${session}/execute/async`, {
        script: `const done = arguments[arguments.length - 1];
          Promise.resolve((${fn}).apply(null, Array.from(arguments).slice(0, -1))).then(done, (e) => done({ error: String(e) }));`,
        args });
      await call('POST', `${session}/url`, { url });
      if (early) await arrived(evaluate, url);
      return {
        evaluate,
        click: async (selector) => call('POST', `${session}/element/${await element(selector)}/click`, {}),
        type: async (selector, text) => call('POST', `${session}/element/${await element(selector)}/value`, { text }),
        press: async (key) => {
          const active = Object.values(await call('GET', `${session}/element/active`))[0];
          await call('POST', `${session}/element/${active}/value`, { text: webDriverKeys[key] });
        },
        goto: (next) => call('POST', `${session}/url`, { url: next }),
        waitFor: (fn, ...args) => poll(() => evaluate(fn, ...args), fn.toString()),
        close: () => call('DELETE', session),
      };
    },
    close: async () => stop(),
  };
}

// Why an engine cannot run here, or null: its programs are missing.
export function engineMissing(name) {
  const needs = {
    chromium: [chromiumOptions().executablePath],
    firefox: [process.env.TAVREL_FIREFOX || '/usr/bin/firefox-esr'],
    webkit: [process.env.TAVREL_WEBKIT_DRIVER || '/usr/bin/WebKitWebDriver',
      process.env.TAVREL_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser', '/usr/bin/Xvfb'],
  }[name];
  const missing = needs.filter((path) => !existsSync(path));
  return missing.length ? `${name} needs ${missing.join(', ')} (scripts/install-deps.sh --web installs them)` : null;
}

export async function launchEngine(name, { webAssembly = true, profile = undefined } = {}) {
  if (name === 'webkit' && profile) throw new Error('MiniBrowser keeps no profile under automation');
  return name === 'webkit' ? launchWebKit({ webAssembly }) : launchPuppeteer(name, { webAssembly, profile });
}
