// The service worker: every file of the site in one cache, named after their contents, so that
// the page loads and estimates without a connection once it has been opened. The build fills in
// the name and the files.
const CACHE = '@VERSION@';
const FILES = [
  '@FILES@',
];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)));
});

// The first version takes the open page at once; a later one waits until no page uses the old.
self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names
      .filter((name) => name.startsWith('taviro-') && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The site's own files from the cache (the page's address whatever its query), anything else as
// it comes.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(request, {ignoreSearch: true}))
    .then((hit) => hit ?? fetch(request)));
});
