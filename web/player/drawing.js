// The drawing of the organism on a canvas: its layers painted in order over white, the
// contradiction marks on top, and the question of the part under a click or the pointer.
// The layers come as data: pictures from the assets script, so the canvas stays readable
// and the colour under a click is the colour shown.
(function (root) {
  "use strict";
  const H = root.VirekaHitTest;
  const REACH = 22;  // CSS px: half the smallest target a finger hits reliably
  const SAMPLE = 2;  // CSS px between the spots of the hit map

  // Layer paths as the engine composes them ("00\\BODY_A.WMF") and as the assets key them.
  function layerKey(path) {
    return String(path).replace(/\\/g, "/").toUpperCase();
  }

  class DrawingView {
    // host: {objectIndex(key), choice(), frames(), tipOf(object), ask(object)}
    constructor(canvas, assets, host) {
      this.canvas = canvas;
      this.context = canvas.getContext("2d", { willReadFrequently: true });
      this.layers = (assets.drawing && assets.drawing.layers) || {};
      this.assets = assets;
      this.host = host;
      this.images = new Map();
      this.paths = [];
      this.generation = 0;
      this.painted = Promise.resolve();
      this.press = null;
      this.zone = [0, 0];
      this.busy = false;
      this.zoom = 1;      // times the fitted size (drawingzoom.js sets it)
      this.room = null;   // the stage's [width, height] at the last fit
      canvas.addEventListener("pointerdown", (e) => this.pressed(e));
      canvas.addEventListener("pointermove", (e) => this.moved(e));
      canvas.addEventListener("click", () => this.clicked());
    }

    image(key) {
      let entry = this.images.get(key);
      if (!entry) {
        const source = this.layers[key];
        if (!source) return null;
        const img = new Image();
        img.src = source;
        // A picture that cannot be decoded is skipped, as a layer that cannot be painted.
        entry = { img, settled: false, ok: false };
        entry.ready = img.decode().then(() => true, () => false).then((ok) => {
          entry.settled = true;
          entry.ok = ok;
        });
        this.images.set(key, entry);
      }
      return entry;
    }

    // The layers to show, bottom first (paths of the engine's layers and marks).
    show(paths) {
      this.paths = paths.filter((p) => p).map(layerKey);
      return this.paint();
    }

    // Fits the canvas into w x h CSS pixels in the drawing's 4:3 shape, times the zoom.
    fit(w, h) {
      this.room = [w, h];
      const fitted = Math.max(1, Math.floor(Math.min(w, (h * 4) / 3)));
      const width = Math.max(1, Math.floor(fitted * this.zoom));
      const height = Math.max(1, Math.floor((width * 3) / 4));
      // A zoomed canvas holds no more pixels than the layers give (2400 wide).
      const ratio = Math.min(root.devicePixelRatio || 1, Math.max(1, 2400 / width));
      this.canvas.style.width = width + "px";
      this.canvas.style.height = height + "px";
      const pw = Math.max(1, Math.round(width * ratio)), ph = Math.max(1, Math.round(height * ratio));
      if (this.canvas.width !== pw || this.canvas.height !== ph) {
        this.canvas.width = pw;
        this.canvas.height = ph;
        return this.paint();
      }
      return this.painted;
    }

    paint() {
      const generation = ++this.generation;
      const entries = this.paths.map((p) => this.image(p));
      // Pictures decoded earlier are drawn at once, so a resize or a new answer never leaves
      // the canvas blank for a click to read.
      if (entries.every((e) => !e || e.settled)) {
        this.draw(entries, generation);
        this.painted = Promise.resolve();
        return this.painted;
      }
      this.painted = Promise.all(entries.map((e) => (e ? e.ready : false))).then(() => {
        if (generation === this.generation) this.draw(entries, generation);
      });
      return this.painted;
    }

    draw(entries, generation) {
      const c = this.context;
      c.imageSmoothingEnabled = false;
      c.fillStyle = "#ffffff";
      c.fillRect(0, 0, this.canvas.width, this.canvas.height);
      for (const e of entries)
        if (e && e.ok) c.drawImage(e.img, 0, 0, this.canvas.width, this.canvas.height);
      this.canvas.dataset.painted = String(generation);
    }

    // The colour 0x00BBGGRR of a pixel of the canvas, null outside it.
    pixelColour(px, py) {
      if (px < 0 || py < 0 || px >= this.canvas.width || py >= this.canvas.height) return null;
      const d = this.context.getImageData(px, py, 1, 1).data;
      return d[0] | (d[1] << 8) | (d[2] << 16);
    }

    // The zone and pixel positions of a pointer event.
    positions(e) {
      const rect = this.canvas.getBoundingClientRect();
      const x = e.clientX - rect.left, y = e.clientY - rect.top;
      const zone = H.zonePosition(x, y, rect.width, rect.height);
      const pixel = [H.roundHalfEven((x * this.canvas.width) / Math.max(1, rect.width)),
                     H.roundHalfEven((y * this.canvas.height) / Math.max(1, rect.height))];
      return { zone, pixel };
    }

    find(zone, pixel) {
      return H.findObject(this.assets, (k) => this.host.objectIndex(k), this.host.choice(),
                          this.host.frames(), zone[0], zone[1],
                          () => this.pixelColour(pixel[0], pixel[1]));
    }

    pressed(e) {
      if (e.button !== 0) {
        this.press = null;
        return;
      }
      const p = this.positions(e);
      this.zone = p.zone;
      this.press = p.pixel;
      this.finger = e.pointerType === "touch" || e.pointerType === "pen";
      if (this.finger) {
        const rect = this.canvas.getBoundingClientRect();
        this.fingerAt = [e.clientX - rect.left, e.clientY - rect.top];
      }
    }

    // Which question each spot of the drawing asks, every SAMPLE CSS px, with the box each
    // question covers; made again after each painting.
    hitMap() {
      const rect = this.canvas.getBoundingClientRect();
      const w = rect.width, h = rect.height;
      const stamp = this.generation + ":" + this.canvas.width + "x" + this.canvas.height + ":" + w;
      if (this.map && this.map.stamp === stamp) return this.map;
      // A zoomed drawing is sampled as densely as the fitted one, not more.
      const step = SAMPLE * Math.max(1, this.zoom), cw = this.canvas.width, ch = this.canvas.height;
      const pixels = this.context.getImageData(0, 0, cw, ch).data;
      const spots = [];
      const boxes = new Map();
      for (let y = step / 2; y < h; y += step) {
        for (let x = step / 2; x < w; x += step) {
          const zone = H.zonePosition(x, y, w, h);
          const px = Math.min(cw - 1, Math.floor((x * cw) / w));
          const py = Math.min(ch - 1, Math.floor((y * ch) / h));
          const hit = H.findObject(this.assets, (k) => this.host.objectIndex(k), this.host.choice(),
                                   this.host.frames(), zone[0], zone[1], () => {
            const i = 4 * (py * cw + px);
            return pixels[i] | (pixels[i + 1] << 8) | (pixels[i + 2] << 16);
          });
          if (!hit.found) continue;
          spots.push([x, y, hit.object]);
          const b = boxes.get(hit.object) || [x, y, x, y];
          boxes.set(hit.object, [Math.min(b[0], x), Math.min(b[1], y), Math.max(b[2], x),
                                 Math.max(b[3], y)]);
        }
      }
      this.map = { stamp, spots, boxes };
      return this.map;
    }

    // For a finger, a part smaller than a fingertip answers anywhere within REACH CSS px of
    // it, before the larger part under the finger: every part gets a target of at least
    // 2 x REACH. Elsewhere the part under the finger answers, or the nearest part in reach.
    fingerTarget(x, y, under) {
      const map = this.hitMap();
      const small = (o) => {
        const b = map.boxes.get(o);
        return b && (b[2] - b[0] + SAMPLE < 2 * REACH || b[3] - b[1] + SAMPLE < 2 * REACH);
      };
      if (under >= 0 && small(under)) return under;
      let best = -1, bestSmall = false, bestDistance = Infinity;
      for (const [sx, sy, o] of map.spots) {
        const d = Math.hypot(sx - x, sy - y);
        if (d > REACH) continue;
        const s = small(o);
        if ((s && !bestSmall) || (s === bestSmall && d < bestDistance)) {
          best = o;
          bestSmall = s;
          bestDistance = d;
        }
      }
      if (under >= 0 && !bestSmall) return under;
      return best;
    }

    // Hover: the pointing hand and the question's text over a part that asks one.
    moved(e) {
      if (this.busy || e.pointerType !== "mouse") return;
      const p = this.positions(e);
      this.zone = p.zone;
      const hit = this.find(p.zone, p.pixel);
      this.canvas.style.cursor = hit.found ? "pointer" : "default";
      this.canvas.title = hit.found ? this.host.tipOf(hit.object) : "";
    }

    clicked() {
      if (this.busy || !this.press) return;
      const hit = this.find(this.zone, this.press);
      this.press = null;
      const object = this.finger ? this.fingerTarget(this.fingerAt[0], this.fingerAt[1],
                                                     hit.found ? hit.object : -1)
                                 : hit.found ? hit.object : -1;
      if (object >= 0) this.host.ask(object);
    }
  }

  root.VirekaDrawing = Object.freeze({ DrawingView, layerKey });
})(globalThis);
