// SPDX-License-Identifier: GPL-3.0-or-later
// The page's service worker (sw.js): when installed it keeps the page's own files in a cache
// named for this build and serves them from there, so that the page opens and works with the
// network switched off once it has been opened. A new build brings a new sw.js (the name
// changes with the files), which replaces the old cache when it takes over; the page open at
// that moment keeps the files it has, the next visit gets the new ones.

// Set by the build: the cache's name, made of a digest of the files, and the files' paths.
declare const CACHE_NAME: string;
declare const PAGE_FILES: string[];

const CACHE_PREFIX = "orvale-";
const scope = self as unknown as ServiceWorkerGlobalScope;

scope.addEventListener("install", (event) => {
  event.waitUntil(
    caches
      .open(CACHE_NAME)
      .then((cache) => cache.addAll(PAGE_FILES))
      .then(() => scope.skipWaiting()),
  );
});

scope.addEventListener("activate", (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((names) =>
        Promise.all(
          names.filter((name) => name.startsWith(CACHE_PREFIX) && name !== CACHE_NAME).map((name) => caches.delete(name)),
        ),
      )
      .then(() => scope.clients.claim()),
  );
});

// The page's files from the cache, anything else of the page's origin from the network as
// without a service worker (the page asks for nothing else).
scope.addEventListener("fetch", (event) => {
  const { request } = event;
  if (request.method !== "GET" || new URL(request.url).origin !== scope.location.origin) return;
  event.respondWith(
    caches
      .open(CACHE_NAME)
      .then((cache) => cache.match(request, { ignoreSearch: true }))
      .then((cached) => cached ?? fetch(request)),
  );
});
