// Keeps the app's own files, and only those, so the page opens offline after
// the first visit, and lets a newly published version in.
//
// Policy: the page (index.html) comes from the network first, revalidated
// past the browser's HTTP cache, and from the cache only when the network
// fails; everything else comes from the cache first. The script and the
// wasm carry their contents' hash in their names, so the page always asks
// for the files of its own version: a new page from the network never runs
// an old script from the cache, and the first load after a publication
// already runs the new version whole. A "new version, reload" notice was
// the other way, and would keep a visitor on the old version until they
// acted on it.
//
// The cache is filled past the HTTP cache (cache: 'reload'): under a static
// host's max-age, addAll would otherwise store the previous version's files
// under the new worker's name. Only this worker's own old caches
// (tavrel-…) are deleted: an origin may be shared with other apps.
'use strict';
const PREFIX = 'tavrel-';
const CACHE = PREFIX + '{{VERSION}}';
const FILES = {{FILES}};
const PAGE = '{{PAGE}}';
const SCRIPT = '{{SCRIPT}}';

async function fill() {
  const cache = await caches.open(CACHE);
  await cache.addAll(FILES.map((file) => new Request(file, { cache: 'reload' })));
  // A host caught mid-publication may hand out a page of another version
  // than this worker's files: keep nothing rather than a mixed version.
  const page = await cache.match(PAGE);
  if (!page || !(await page.text()).includes(SCRIPT)) {
    await caches.delete(CACHE);
    throw new Error('the page does not belong to this version');
  }
}

self.addEventListener('install', (event) => {
  event.waitUntil(fill().then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith(PREFIX) && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

const isPage = (request, url) => request.mode === 'navigate'
  || url.pathname === new URL(PAGE, self.location).pathname
  || url.pathname === new URL('./', self.location).pathname;

async function networkFirst(request) {
  try {
    return await fetch(request.url, { cache: 'no-cache', credentials: 'same-origin' });
  } catch (error) {
    const cached = await caches.match(PAGE, { cacheName: CACHE });
    if (cached) return cached;
    throw error;
  }
}

async function cacheFirst(request) {
  const cached = await caches.match(request, { cacheName: CACHE });
  return cached || fetch(request);
}

self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== self.location.origin) return;
  event.respondWith(isPage(event.request, url) ? networkFirst(event.request) : cacheFirst(event.request));
});
