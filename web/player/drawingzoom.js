// The drawing made larger than its fitted size, so that a small part can be seen and tapped:
// buttons and a two-finger pinch set the zoom, and the stage scrolls, so a zoomed drawing pans
// under a finger or the scroll bars. The canvas only grows: what a point of it shows is still
// what the pointer hits, so the hit test is the same at every zoom.
(function (root) {
  "use strict";
  const MAX = 4;
  const STEP = 1.5;

  class DrawingZoom {
    // view: the DrawingView; stage: its scrolling box; relayout(): fits the view again.
    constructor(view, stage, relayout) {
      this.view = view;
      this.stage = stage;
      this.relayout = relayout;
      this.touches = new Map();
      this.pinch = null;
      const canvas = view.canvas;
      canvas.addEventListener("pointerdown", (e) => this.down(e));
      canvas.addEventListener("pointermove", (e) => this.move(e));
      for (const type of ["pointerup", "pointercancel", "pointerleave"])
        canvas.addEventListener(type, (e) => this.up(e));
    }

    get zoom() {
      return this.view.zoom;
    }

    // The zoom at which the drawing covers its whole stage: on a phone, the free height.
    fillZoom() {
      const [w, h] = this.view.room || [1, 1];
      const base = Math.max(1, Math.min(w, (h * 4) / 3));
      return Math.min(MAX, Math.max(w / base, (h * 4) / 3 / base));
    }

    // A step in: first to the zoom that fills the stage, then by STEP.
    zoomIn() {
      const fill = this.fillZoom();
      this.set(this.zoom < fill - 0.01 ? fill : this.zoom * STEP);
    }
    // A step out: by STEP down to the zoom that fills the stage, then to the fitted drawing.
    zoomOut() {
      const fill = this.fillZoom();
      const next = this.zoom / STEP;
      if (this.zoom <= fill + 0.01) this.set(1);
      else this.set(next < fill + 0.01 ? fill : next);
    }

    // Sets the zoom keeping the point of the drawing at client (x, y) in place (the centre
    // of the stage when not given).
    set(zoom, x, y) {
      const z = Math.min(MAX, Math.max(1, zoom));
      const canvas = this.view.canvas, stage = this.stage;
      const box = stage.getBoundingClientRect();
      const ax = x ?? box.left + box.width / 2, ay = y ?? box.top + box.height / 2;
      const before = canvas.getBoundingClientRect();
      const fx = (ax - before.left) / Math.max(1, before.width);
      const fy = (ay - before.top) / Math.max(1, before.height);
      this.view.zoom = z;
      stage.classList.toggle("zoomed", z > 1);
      this.relayout();
      const after = canvas.getBoundingClientRect();
      stage.scrollLeft += after.left + fx * after.width - ax;
      stage.scrollTop += after.top + fy * after.height - ay;
      if (this.changed) this.changed(z);
    }

    down(e) {
      if (e.pointerType !== "touch") return;
      this.touches.set(e.pointerId, [e.clientX, e.clientY]);
      if (this.touches.size === 2) {
        const [a, b] = [...this.touches.values()];
        this.pinch = { distance: Math.max(1, Math.hypot(a[0] - b[0], a[1] - b[1])),
                       zoom: this.zoom };
        // Two fingers zoom; they do not answer.
        this.view.press = null;
      }
    }
    move(e) {
      if (!this.touches.has(e.pointerId)) return;
      this.touches.set(e.pointerId, [e.clientX, e.clientY]);
      if (!this.pinch || this.touches.size !== 2) return;
      const [a, b] = [...this.touches.values()];
      const distance = Math.max(1, Math.hypot(a[0] - b[0], a[1] - b[1]));
      this.set(this.pinch.zoom * (distance / this.pinch.distance), (a[0] + b[0]) / 2,
               (a[1] + b[1]) / 2);
      this.view.press = null;
    }
    up(e) {
      this.touches.delete(e.pointerId);
      if (this.touches.size < 2) this.pinch = null;
    }
  }

  root.VirekaDrawingZoom = Object.freeze({ DrawingZoom });
})(globalThis);
