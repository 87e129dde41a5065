// Puts the browser edition together (run by the build under Node.js):
//   OUT/index.html (its styles inline), tavrel.HASH.js (the module's loader
//   and app.js), tavrel.HASH.wasm, sw.js,
//   manifest.webmanifest, the stamp and the icons: the published folder;
//   OUT/Tavrel.html: the same page as one file, scripts, styles and
//   pictures inlined, which works opened from disk.
// Both pages carry a Content-Security-Policy that allows only what they use:
// the folder its own origin's scripts and pictures and its inline style by
// its hash, the single file its inline scripts and style by their hashes.
// 'wasm-unsafe-eval' is what compiling the wasm needs; nothing is ever
// evaluated from text.
import { createHash } from 'node:crypto';
import { copyFileSync, mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { basename, dirname, join } from 'node:path';
import { parseArgs } from 'node:util';

const { values: args } = parseArgs({
  options: Object.fromEntries(['version', 'web', 'resources', 'form1-html', 'form1-dialogs', 'form1-title', 'form1-css', 'module',
    'single-module', 'out'].map((name) => [name, { type: 'string' }])),
});
const read = (path) => readFileSync(path, 'utf8');
const out = args.out;
mkdirSync(join(out, 'icons'), { recursive: true });

const template = read(join(args.web, 'index.html'));
const css = read(join(args.web, 'page.css')) + '\n/* Form1, from its description table */\n'
  + read(args['form1-css']);
const form1 = read(args['form1-html']);
const dialogs = read(args['form1-dialogs']);
const title = read(args['form1-title']);
const app = read(join(args.web, 'app.js'));
const early = read(join(args.web, 'head.js'));
const hash = (text) => `'sha256-${createHash('sha256').update(text, 'utf8').digest('base64')}'`;
// Fills the placeholders of the template and of the markup form1_page
// wrote ({{NAME}}); a placeholder left unfilled is an error.
const fill = (text, values) => text.replace(/\{\{(\w+)\}\}/g, (_, key) => {
  if (values[key] === undefined) throw new Error(`nothing for {{${key}}}`);
  return values[key];
});
const page = (values) => fill(template, { TITLE: title, DIALOGS: dialogs, ...values });

// The published folder.
const icons = [48, 128, 256].map((size) => `icons/tavrel-${size}.png`);
for (const icon of icons) copyFileSync(join(args.resources, icon), join(out, icon));
for (const picture of ['stamp.jpg', 'stamp@2x.jpg']) copyFileSync(join(args.resources, picture), join(out, picture));
const moduleWasm = join(dirname(args.module), basename(args.module, '.js') + '.wasm');
// The script and the wasm are named by their contents' hash, so a page
// always loads the files of its own version, whatever a cache holds (see
// sw.js). One script, the module's loader followed by the page's code: one
// request fewer before the page is usable.
const contentHash = (data) => createHash('sha256').update(data).digest('hex').slice(0, 12);
const script = `${read(args.module)}\n${app}`;
const wasm = readFileSync(moduleWasm);
const scriptName = `tavrel.${contentHash(script)}.js`;
const wasmName = `tavrel.${contentHash(wasm)}.wasm`;
writeFileSync(join(out, scriptName), script);
writeFileSync(join(out, wasmName), wasm);
// The project's version, for whoever reads the manifest (browsers ignore a
// member they do not know).
writeFileSync(join(out, 'manifest.webmanifest'),
  fill(read(join(args.web, 'manifest.webmanifest')), { VERSION: args.version }));
const folderPolicy = ["default-src 'none'", `script-src 'self' ${hash(early)} 'wasm-unsafe-eval'`, `style-src ${hash(css)}`,
  "img-src 'self'", "connect-src 'self'", "manifest-src 'self'", "worker-src 'self'", "base-uri 'none'",
  "form-action 'none'"].join('; ');
writeFileSync(join(out, 'index.html'), page({
  CSP: folderPolicy,
  HEAD: ['<link rel="manifest" href="manifest.webmanifest">',
    '<link rel="icon" href="icons/tavrel-48.png" sizes="48x48">',
    '<link rel="apple-touch-icon" href="icons/tavrel-256.png">',
    // Inline, so that the first paint waits for no second request.
    `<style>${css}</style>`,
    // The module is fetched while the page is parsed and drawn, not after
    // the scripts have run (crossorigin="anonymous" is the credentials mode
    // of the loader's own fetch, so it takes this response). The page's
    // script finds the wasm's name here.
    `<link rel="preload" href="${wasmName}" as="fetch" type="application/wasm" crossorigin="anonymous">`,
    // After the link, whose wasm it starts compiling.
    `<script>${early}</script>`].join('\n'),
  FORM1: fill(form1, { STAMP: 'stamp.jpg', STAMP_2X: 'stamp@2x.jpg' }),
  SCRIPTS: `<script src="${scriptName}" defer></script>`,
}));

const cached = ['./', 'index.html', scriptName, wasmName,
  'manifest.webmanifest', 'stamp.jpg', 'stamp@2x.jpg', ...icons];
const version = createHash('sha256');
for (const file of cached.slice(1)) version.update(readFileSync(join(out, file)));
// The cache is named by the project's version and the files' contents: a
// rebuild with any change is a new cache, and the name says which release.
writeFileSync(join(out, 'sw.js'), read(join(args.web, 'sw.js'))
  .replace('{{VERSION}}', `${args.version}-${version.digest('hex').slice(0, 16)}`)
  .replace('{{FILES}}', JSON.stringify(cached))
  .replace('{{PAGE}}', 'index.html')
  .replace('{{SCRIPT}}', scriptName));

// The single file.
const dataUri = (path, type) => `data:${type};base64,${readFileSync(path).toString('base64')}`;
const singleForm1 = fill(form1, { STAMP: dataUri(join(args.resources, 'stamp.jpg'), 'image/jpeg'),
  STAMP_2X: dataUri(join(args.resources, 'stamp@2x.jpg'), 'image/jpeg') });
const scripts = [read(args['single-module']), app];
const singleScripts = [early, ...scripts];
const singlePolicy = ["default-src 'none'", `script-src ${singleScripts.map(hash).join(' ')} 'wasm-unsafe-eval'`,
  `style-src ${hash(css)}`, 'img-src data:', "base-uri 'none'", "form-action 'none'",
  // Emscripten 3.1.6 first tries to fetch the inlined wasm from its data:
  // URI (and falls back to decoding it itself when refused).
  'connect-src data:'].join('; ');
for (const script of singleScripts) {
  if (script.includes('</script')) throw new Error('a script would end its own element');
}
writeFileSync(join(out, 'Tavrel.html'), page({
  CSP: singlePolicy,
  HEAD: `<script>${early}</script>\n<link rel="icon" href="${dataUri(join(args.resources, 'icons/tavrel-32.png'), 'image/png')}">\n`
    + `<style>${css}</style>`,
  FORM1: singleForm1,
  SCRIPTS: scripts.map((script) => `<script>${script}</script>`).join('\n'),
}));
