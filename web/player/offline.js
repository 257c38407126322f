// Over http(s) the key can be installed on a phone's home screen and works offline: the page
// names its web manifest and registers the service worker the export wrote beside it. A page
// opened from a folder does neither (browsers refuse both there, and need neither).
(function (root) {
  "use strict";

  function start() {
    const served = location.protocol === "http:" || location.protocol === "https:";
    if (!served || !("serviceWorker" in navigator)) return null;
    const link = document.createElement("link");
    link.rel = "manifest";
    link.href = "manifest.webmanifest";
    document.head.append(link);
    return navigator.serviceWorker.register("sw.js").catch(() => null);
  }

  root.VirekaOffline = Object.freeze({ start });
})(globalThis);
