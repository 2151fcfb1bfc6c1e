// The site's service worker: after a first visit every page plays with no network. It keeps the
// files of every page of the site (the list below, made by the build) and answers from them when
// the network does not: a request goes to the network first, so that a page is always the
// newest the server has, and what comes back replaces the kept copy; when the network fails, or
// is silent for a few seconds, the kept copy answers. The pages' scenes and files live in the
// browser's own storage (IndexedDB), which needs no network.
"use strict";
const files = @ONDREL_WEB_OFFLINE_FILES@;
const store = "ondrel-pages";
const patience = 4000;  // milliseconds the network has before a kept copy answers

self.addEventListener("install", (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(store);
    // Fresh from the server, past the browser's own cache.
    await cache.addAll(files.map((file) => new Request(file, { cache: "reload" })));
    await self.skipWaiting();
  })());
});

self.addEventListener("activate", (event) => {
  event.waitUntil(self.clients.claim());
});

self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET" || !request.url.startsWith(self.registration.scope)) return;
  event.respondWith((async () => {
    const cache = await caches.open(store);
    // A page is kept by its name; its address may carry a query or a fragment.
    const kept = () => cache.match(request, { ignoreSearch: request.mode === "navigate" });
    const network = fetch(request).then(async (response) => {
      if (response.ok && response.type === "basic") await cache.put(request, response.clone());
      return response;
    });
    network.catch(() => {});  // a failure is answered below, or after a kept copy has been
    let timer;
    const late = new Promise((resolve) => { timer = setTimeout(resolve, patience); });
    try {
      const first = await Promise.race([network, late]);
      if (first) return first;
      const copy = await kept();
      return copy || await network;
    } catch (error) {
      const copy = await kept();
      if (copy) return copy;
      throw error;
    } finally {
      clearTimeout(timer);
    }
  })());
});
