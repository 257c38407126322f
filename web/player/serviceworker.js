// The offline copy of a key served over http(s). The export puts SITE_VERSION and
// SITE_FILES (every file of the site, relative to this worker) in front of this text as
// sw.js. On its first visit the page installs the worker, which fetches every file into a
// cache of its own version; from then on the files come from the cache, network or not. A
// changed site has another sw.js, so the browser installs its worker, which fills a new cache
// and drops the old ones of the same site.
"use strict";

const SCOPE = self.registration.scope;
const CACHE = "vireka " + SCOPE + " " + SITE_VERSION;

self.addEventListener("install", (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    // "reload": the browser's own cache may hold files of the site before the change.
    await cache.addAll(SITE_FILES.map((f) => new Request(f, { cache: "reload" })));
    await self.skipWaiting();
  })());
});

self.addEventListener("activate", (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys())
      if (name.startsWith("vireka " + SCOPE + " ") && name !== CACHE) await caches.delete(name);
    await self.clients.claim();
  })());
});

self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET" || !request.url.startsWith(SCOPE)) return;
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    const url = new URL(request.url);
    url.hash = "";
    let hit = await cache.match(url.href, { ignoreSearch: true });
    // The site's folder itself is its index page.
    if (!hit && request.mode === "navigate" && url.pathname.endsWith("/"))
      hit = await cache.match(new URL("index.html", url).href);
    return hit || fetch(request);
  })());
});
