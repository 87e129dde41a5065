// The browser edition in headless Chromium: the published folder served on
// 127.0.0.1, and the single file opened from disk. Expected rectangles and
// texts are typed here, not read from the program's own tables.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join, resolve } from 'node:path';
import { after, before, beforeEach, describe, test } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { launchChromium, serveFolder } from './browser.js';

const here = dirname(fileURLToPath(import.meta.url));
const dist = resolve(process.env.TAVREL_WEB_DIST || join(here, '../../dist/web'));
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');

let browser;
let server;
before(async () => {
  server = await serveFolder(dist);
  browser = await launchChromium();
});
after(async () => {
  await browser?.close();
  await server?.close();
});

// A fresh context (no service worker, no cache) and the page, ready to use.
// Every request and every policy violation is recorded.
async function openPage(url = server.url, contextOptions = {}) {
  const context = await browser.newContext({ serviceWorkers: 'block', ...contextOptions });
  const page = await context.newPage();
  const requests = [];
  const problems = [];
  page.on('request', (request) => requests.push(request.url()));
  page.on('pageerror', (error) => problems.push(error.message));
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(message.text());
  });
  await page.goto(url);
  await page.waitForSelector('html[data-ready=true]');
  return { context, page, requests, problems };
}

const boxTexts = (page) => page.$$eval('.box', (boxes) => boxes.map((box) => box.value));

async function fillScores(page, scores) {
  for (const [i, score] of scores.entries()) await page.fill(`#Text${i + 1}`, score);
}

describe('the published folder', () => {
  let opened;
  before(async () => { opened = await openPage(); });
  after(async () => { await opened.context.close(); });
  // Each test starts from a fresh page, so one that fails with a dialog
  // open leaves nothing behind for the next.
  beforeEach(async () => {
    await opened.page.reload();
    await opened.page.waitForSelector('html[data-ready=true]');
  });

  test('has the title, the language and the policy', async () => {
    const { page } = opened;
    assert.equal(await page.title(), 'Tavrel');
    assert.equal(await page.getAttribute('html', 'lang'), 'zh-CN');
    const policy = await page.getAttribute('meta[http-equiv="Content-Security-Policy"]', 'content');
    assert.match(policy, /default-src 'none'/);
    assert.doesNotMatch(policy, /'unsafe-inline'|'unsafe-eval'|https?:|\*/);
  });

  // CSS pixels from the window's corner: left, top, width, height.
  const rectangles = {
    Form1: [0, 0, 582, 453],
    Label1: [40, 16, 185, 33],
    Text1: [40, 56, 57, 49], Text2: [128, 56, 57, 49], Text3: [216, 56, 57, 49],
    Text4: [304, 56, 57, 49], Text5: [392, 56, 57, 49],
    Command2: [472, 56, 65, 49],
    Label2: [48, 120, 41, 17], Label3: [136, 120, 41, 17], Label4: [224, 120, 41, 17],
    Label5: [312, 120, 41, 17], Label6: [400, 120, 41, 17],
    Frame1: [40, 144, 497, 305],
    Label7: [72, 184, 161, 25], Text6: [224, 176, 97, 41],
    Label8: [72, 240, 161, 25], Text7: [224, 232, 97, 41],
    Command1: [392, 200, 97, 49],
    Label9: [64, 344, 169, 33], Text8: [224, 328, 161, 65],
    Image1: [456, 376, 57, 57],
  };

  test('places every control of the window to the pixel', async () => {
    const { page } = opened;
    const actual = await page.evaluate((ids) => {
      const origin = document.getElementById('Form1').getBoundingClientRect();
      return Object.fromEntries(ids.map((id) => {
        const r = document.getElementById(id).getBoundingClientRect();
        return [id, [r.left - origin.left, r.top - origin.top, r.width, r.height]];
      }));
    }, Object.keys(rectangles));
    for (const [id, expected] of Object.entries(rectangles)) {
      actual[id].forEach((value, i) => assert.ok(Math.abs(value - expected[i]) <= 1,
        `${id}: [${actual[id]}] is not [${expected}]`));
    }
  });

  test('has real controls: eight boxes, two buttons, a frame, nine labels, the stamp', async () => {
    const { page } = opened;
    const count = (selector) => page.locator(selector).count();
    assert.equal(await count('#Form1 input[type=text]'), 8);
    assert.equal(await count('#Form1 button'), 2);
    assert.equal(await count('#Form1 fieldset'), 1);
    assert.equal(await count('#Form1 label, #Form1 .label'), 9);
    assert.equal(await count('#Form1 img'), 1);
    assert.ok(await page.$eval('#Image1', (image) => image.complete && image.naturalWidth > 0));
  });

  test('names each box by its label', async () => {
    const { page } = opened;
    const names = ['评委1', '评委2', '评委3', '评委4', '评委5', '去掉一个最高分', '去掉一个最低分', '最终平均分'];
    for (const [i, name] of names.entries()) {
      await page.getByRole('textbox', { name, exact: true }).fill(String(i));
      assert.equal(await page.inputValue(`#Text${i + 1}`), String(i));
    }
  });

  const calculations = [
    { name: 'the example', scores: ['85', '90', '78', '92', '88'], results: ['92', '78', '87.666664'] },
    { name: 'all equal', scores: ['80', '80', '80', '80', '80'], results: ['80', '80', '80'] },
    { name: 'full-width digits', scores: ['８５', '90', '78', '92', '88'], results: ['92', '78', '87.666664'] },
    { name: 'negative and fractional', scores: ['-1.5', '0', '2.25', '10', '3'], results: ['10', '-1.5', '1.75'] },
  ];
  for (const row of calculations) {
    test(`计算: ${row.name}`, async () => {
      const { page } = opened;
      await fillScores(page, row.scores);
      await page.click('#Command1');
      assert.deepEqual((await boxTexts(page)).slice(5), row.results);
      assert.equal(await page.locator('dialog[open]').count(), 0);
    });
  }

  test('announces the results politely', async () => {
    const { page } = opened;
    await fillScores(page, ['1', '2', '3', '4', '5']);
    await page.click('#Command1');
    assert.equal(await page.getAttribute('#announcement', 'aria-live'), 'polite');
    assert.match(await page.textContent('#announcement'), /去掉一个最高分 5.*去掉一个最低分 1.*最终平均分 3/);
  });

  const badInputs = [
    { name: 'not a number', scores: ['85', '90', 'abc', '92', '88'], message: '评委3的成绩“abc”不是有效的数字。' },
    { name: 'empty', scores: ['85', '', '78', '92', '88'], message: '评委2的成绩是空的，请输入一个数字。' },
    { name: 'beyond single range', scores: ['1e39', '90', '78', '92', '88'], message: '评委1的成绩“1e39”太大，超出了可以计算的范围。' },
  ];
  for (const row of badInputs) {
    test(`计算 with a bad score: ${row.name}`, async () => {
      const { page } = opened;
      await fillScores(page, row.scores);
      for (const k of [6, 7, 8]) await page.fill(`#Text${k}`, `keep${k}`);
      await page.focus('#Text1');
      await page.click('#Command1');
      const alert = page.getByRole('alertdialog', { name: 'Tavrel' });
      await alert.waitFor();
      assert.equal(await page.textContent('#alert-message'), row.message);
      assert.equal(await alert.getByRole('button').count(), 1);
      assert.equal(await page.evaluate(() => document.activeElement.id), 'alert-ok');
      await page.keyboard.press('Enter');
      await alert.waitFor({ state: 'hidden' });
      assert.deepEqual(await boxTexts(page), [...row.scores, 'keep6', 'keep7', 'keep8']);
      assert.equal(await page.evaluate(() => document.activeElement.id), 'Command1');
    });
  }

  test('输入成绩 asks five times, writing each answer before the next prompt', async () => {
    const { page } = opened;
    await fillScores(page, ['x', 'x', 'x', 'x', 'x']);
    await page.click('#Command2');
    // Typed and confirmed by Enter, by 确定, or cancelled by Esc, 取消 or closing.
    const answers = [['70', 'Enter'], ['60', 'Escape'], ['80', '#prompt-ok'], ['1', '#prompt-cancel'], ['95', '#prompt-close']];
    const expected = ['70', '', '80', '', ''];
    for (const [k, [typed, how]] of answers.entries()) {
      const dialog = page.getByRole('dialog', { name: '提示' });
      await dialog.waitFor();
      await page.waitForFunction((n) => document.querySelectorAll('dialog[open]').length === 1
        && document.getElementById('prompt-answer').value === '' && n >= 0, k);
      assert.equal(await page.textContent('#prompt-message'), '请输入成绩');
      assert.equal(await page.evaluate(() => document.activeElement.id), 'prompt-answer');
      assert.deepEqual((await boxTexts(page)).slice(0, 5), [...expected.slice(0, k), ...Array(5 - k).fill('x')]);
      await page.keyboard.type(typed);
      if (how.startsWith('#')) await page.click(how);
      else await page.keyboard.press(how);
      await page.waitForFunction((n) => document.getElementById('Text' + n).value !== 'x', k + 1);
    }
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
    assert.deepEqual((await boxTexts(page)).slice(0, 5), expected);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'Command2');
  });

  test('a dialog keeps the page behind from taking input', async () => {
    const { page } = opened;
    await fillScores(page, ['85', '90', '78', '92', '88']);
    await page.fill('#Text8', '');
    await page.click('#Command2');
    await page.locator('#prompt[open]').waitFor();
    const box = await page.locator('#Command1').boundingBox();
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
    for (let i = 0; i < 6; ++i) await page.keyboard.press('Tab');
    assert.ok(await page.evaluate(() => document.getElementById('prompt').contains(document.activeElement)));
    // A click that reaches a button anyway while the click runs does nothing.
    await page.evaluate(() => { document.getElementById('Command1').click(); document.getElementById('Command2').click(); });
    assert.equal(await page.inputValue('#Text8'), '');
    for (let k = 0; k < 5; ++k) {
      await page.locator('#prompt[open]').waitFor();
      await page.focus('#prompt-answer');
      await page.keyboard.type(String(k));
      await page.keyboard.press('Enter');
      await page.waitForFunction((n) => document.getElementById('Text' + n).value === String(n - 1), k + 1);
    }
    await page.waitForTimeout(100);
    assert.equal(await page.locator('dialog[open]').count(), 0, 'a second round of prompts started');
    assert.equal(await page.inputValue('#Text8'), '');
  });

  test('Enter and Esc in the form press no button', async () => {
    const { page } = opened;
    await fillScores(page, ['85', '90', '78', '92', '88']);
    for (const id of ['Text6', 'Text7', 'Text8']) await page.fill(`#${id}`, '');
    for (const id of ['Text1', 'Text5', 'Text8']) {
      await page.focus(`#${id}`);
      await page.keyboard.press('Enter');
      await page.keyboard.press('Escape');
    }
    await page.waitForTimeout(100);
    assert.equal(await page.locator('dialog[open]').count(), 0);
    assert.deepEqual((await boxTexts(page)).slice(5), ['', '', '']);
  });

  test('Tab goes round the form in its order, Shift+Tab back', async () => {
    const { page } = opened;
    const order = ['Text1', 'Text2', 'Text3', 'Text4', 'Text5', 'Text6', 'Text7', 'Command1', 'Text8', 'Command2'];
    const active = () => page.evaluate(() => document.activeElement.id);
    await page.focus('#Text1');
    const forward = [];
    for (let i = 0; i < order.length; ++i) {
      await page.keyboard.press('Tab');
      forward.push(await active());
    }
    assert.deepEqual(forward, [...order.slice(1), 'Text1']);
    const backward = [];
    for (let i = 0; i < order.length; ++i) {
      await page.keyboard.press('Shift+Tab');
      backward.push(await active());
    }
    assert.deepEqual(backward, [...order].reverse());
  });

  test('shows the beginning of a result wider than its box', async () => {
    const { page } = opened;
    await fillScores(page, ['1e-30', '2e-30', '3.3333333e-30', '4e-30', '5e-30']);
    await page.click('#Command1');
    assert.equal(await page.inputValue('#Text8'), '3.1111111e-30');
    assert.equal(await page.$eval('#Text8', (box) => box.scrollLeft), 0);
    assert.ok(await page.$eval('#Text8', (box) => box.scrollWidth > box.clientWidth));
  });

  test('requests nothing from another origin and stores nothing', async () => {
    const { page, requests, problems } = opened;
    assert.ok(requests.length > 0);
    for (const url of requests) assert.ok(url.startsWith(server.url), `requested ${url}`);
    assert.deepEqual(problems, []);
    assert.equal(await page.evaluate(() => document.cookie), '');
    assert.equal(await page.evaluate(() => localStorage.length + sessionStorage.length), 0);
    assert.deepEqual(await page.evaluate(() => indexedDB.databases()), []);
  });
});

describe('accessibility (axe-core, WCAG 2.1 A and AA)', () => {
  const wcag = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'];
  async function violations(page) {
    await page.evaluate(axeSource);
    const results = await page.evaluate((tags) => window.axe.run(document, { runOnly: tags }), wcag);
    return results.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`);
  }

  test('with results shown, with a prompt open and with the alert open', async () => {
    const { context, page } = await openPage();
    await fillScores(page, ['85', '90', '78', '92', '88']);
    await page.click('#Command1');
    assert.deepEqual(await violations(page), []);
    await page.click('#Command2');
    await page.locator('#prompt[open]').waitFor();
    assert.deepEqual(await violations(page), []);
    for (let k = 0; k < 5; ++k) {
      await page.locator('#prompt[open]').waitFor();
      await page.keyboard.press(k === 0 ? 'a' : 'Escape');
      if (k === 0) await page.keyboard.press('Enter');
      await page.waitForFunction((n) => document.getElementById('Text' + n).value !== '85', 1);
    }
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
    await page.click('#Command1');
    await page.locator('#alert[open]').waitFor();
    assert.deepEqual(await violations(page), []);
    await context.close();
  });

  test('forced colours and 200 % zoom keep the window usable and in proportion', async () => {
    // 200 % zoom of a 1280 x 720 window: half the CSS pixels, twice the density.
    const { context, page } = await openPage(server.url,
      { viewport: { width: 640, height: 360 }, deviceScaleFactor: 2, forcedColors: 'active' });
    assert.ok(await page.evaluate(() => matchMedia('(forced-colors: active)').matches));
    const size = await page.$eval('#Form1', (form) => [form.offsetWidth, form.offsetHeight]);
    assert.deepEqual(size, [582, 453]);
    await fillScores(page, ['85', '90', '78', '92', '88']);
    await page.click('#Command1');
    assert.equal(await page.inputValue('#Text8'), '87.666664');
    await page.click('#Command2');
    assert.ok(await page.locator('#prompt').isVisible());
    // The dialog's title stays readable: its text is not drawn in the colour
    // of what is behind it (the picture of the title has more than one colour).
    const picture = await page.locator('#prompt-title').screenshot();
    const decoder = await context.newPage();
    const colours = await decoder.evaluate(async (png) => {
      const image = new Image();
      image.src = `data:image/png;base64,${png}`;
      await image.decode();
      const canvas = new OffscreenCanvas(image.width, image.height);
      const graphics = canvas.getContext('2d');
      graphics.drawImage(image, 0, 0);
      const pixels = graphics.getImageData(0, 0, image.width, image.height).data;
      const seen = new Set();
      for (let i = 0; i < pixels.length; i += 4) seen.add((pixels[i] << 16) | (pixels[i + 1] << 8) | pixels[i + 2]);
      return seen.size;
    }, picture.toString('base64'));
    assert.ok(colours > 1, 'the title is one colour');
    await page.keyboard.press('Escape');
    await context.close();
  });
});

describe('offline', () => {
  test('reloads through the service worker with the server gone', async () => {
    const local = await serveFolder(dist);
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.goto(local.url);
    await page.waitForSelector('html[data-ready=true]');
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null || location.reload());
    await page.waitForSelector('html[data-ready=true]');
    await local.close();
    await page.reload();
    await page.waitForSelector('html[data-ready=true]');
    await fillScores(page, ['85', '90', '78', '92', '88']);
    await page.click('#Command1');
    assert.equal(await page.inputValue('#Text8'), '87.666664');
    const manifest = await page.evaluate(async () => (await fetch('manifest.webmanifest')).json());
    assert.equal(manifest.name, 'Tavrel');
    assert.equal(manifest.lang, 'zh-CN');
    await context.close();
  });
});

describe('the single file', () => {
  test('works opened from disk, with nothing beside it', async () => {
    const { context, page, requests, problems } = await openPage(pathToFileURL(join(dist, 'Tavrel.html')).href);
    await fillScores(page, ['85', '90', '78', '92', '88']);
    await page.click('#Command1');
    assert.deepEqual((await boxTexts(page)).slice(5), ['92', '78', '87.666664']);
    assert.ok(await page.$eval('#Image1', (image) => image.complete && image.naturalWidth > 0));
    for (const url of requests) assert.ok(/^(file|data):/.test(url), `requested ${url}`);
    assert.equal(requests.filter((url) => url.startsWith('file:')).length, 1);
    assert.deepEqual(problems, []);
    await context.close();
  });
});
