// The picture of choices of a question. The base draws its states as a grid of equal cells in
// one picture; here each cell is a button of its own showing its part of the picture with the
// state's name under it as text, so the names stay readable however small the picture
// becomes, and the cells flow into as many columns as fill the free space best. A click
// marks a cell with a blue frame; a click on the marked cell takes the mark away.
(function (root) {
  "use strict";

  // The toggle rule: the marked cell unmarks, any other cell takes the mark.
  function toggle(selection, cell) {
    return selection === cell ? -1 : cell;
  }

  const GAP = 6;          // CSS px between cells
  const NAME_HEIGHT = 46; // room for two lines of the state's name
  const SMALLEST = 64;    // narrower cells would hide the picture: the box scrolls instead

  // The columns that give n cells of shape `aspect` (width / height of the picture part)
  // the widest pictures in w x h, each with `label` px of text under it.
  function bestColumns(n, aspect, w, h, label) {
    let best = { columns: 1, width: 0 };
    for (let columns = 1; columns <= Math.max(1, n); ++columns) {
      const rows = Math.ceil(n / columns);
      const byWidth = (w - GAP * (columns - 1)) / columns;
      const byHeight = ((h - GAP * (rows - 1)) / rows - label) * aspect;
      const width = Math.floor(Math.min(byWidth, byHeight));
      if (width > best.width) best = { columns, width };
    }
    if (best.width < SMALLEST) {
      const columns = Math.max(1, Math.min(n, Math.floor((w + GAP) / (SMALLEST + GAP))));
      best = { columns, width: Math.floor((w - GAP * (columns - 1)) / columns) };
    }
    return best;
  }

  class ChoicePicture {
    // host: {stateText(state), changed(selection)}
    constructor(box, assets, host) {
      this.box = box;
      this.choices = assets.choices || {};
      this.host = host;
      this.object = null;
      this.selection = -1;
      this.entry = null;
      this.grid = document.createElement("div");
      this.grid.className = "grid";
      box.append(this.grid);
    }

    // Opens question o (an engine object) with `selection` marked (-1: none).
    open(o, selection) {
      this.object = o;
      this.selection = selection;
      const entry = (this.host.localChoice && this.host.localChoice(o.key)) ||
                    this.choices[String(o.key).toUpperCase()] || null;
      this.entry = entry;
      this.box.classList.toggle("textual", !entry);
      this.box.setAttribute("aria-label", (this.host.objectText && this.host.objectText(o)) ?? o.text);
      const columns = Math.max(1, o.columns), rows = Math.max(1, o.rows);
      const cells = [];
      // Cells past the question's states answer nothing and are not shown.
      const count = Math.min(Math.max(0, o.count), rows * columns);
      for (let k = 0; k < count; ++k) {
        const cell = document.createElement("button");
        cell.type = "button";
        cell.className = "cell";
        cell.dataset.cell = String(k);
        cell.setAttribute("role", "checkbox");
        const text = this.host.stateText(o.first + k);
        if (entry) {
          const part = document.createElement("span");
          part.className = "part";
          part.setAttribute("aria-hidden", "true");
          const col = k % columns, row = Math.floor(k / columns);
          part.style.backgroundImage = `url("${entry.file}")`;
          part.style.backgroundSize = `${columns * 100}% ${rows * 100}%`;
          part.style.backgroundPosition = `${columns > 1 ? (col * 100) / (columns - 1) : 0}% ` +
                                          `${rows > 1 ? (row * 100) / (rows - 1) : 0}%`;
          cell.append(part);
        }
        const name = document.createElement("span");
        name.className = "name";
        name.textContent = text;
        cell.append(name);
        cell.addEventListener("click", () => this.choose(k));
        cells.push(cell);
      }
      this.grid.replaceChildren(...cells);
      this.mark();
    }

    get cells() {
      return [...this.grid.children];
    }

    choose(cell) {
      this.selection = toggle(this.selection, cell);
      this.mark();
      this.host.changed(this.selection);
    }

    mark() {
      for (const cell of this.grid.children) {
        const on = Number(cell.dataset.cell) === this.selection;
        cell.classList.toggle("marked", on);
        cell.setAttribute("aria-checked", on ? "true" : "false");
      }
    }

    // The cell a keyboard user lands on when the question opens.
    focusCell() {
      const cells = this.cells;
      const target = cells.find((c) => Number(c.dataset.cell) === this.selection) || cells[0];
      if (target) target.focus();
    }

    // Lays the cells out in w x h CSS pixels: the column count that gives the widest
    // pictures; the box scrolls when even the narrowest useful cells do not fit.
    fit(w, h) {
      const o = this.object;
      if (!o) return;
      this.box.style.width = Math.max(1, Math.floor(w)) + "px";
      this.box.style.height = Math.max(1, Math.floor(h)) + "px";
      const n = this.grid.children.length;
      const avail = Math.max(1, w - 2 * GAP);
      if (!this.entry) {
        const columns = Math.max(1, Math.min(Math.max(1, o.columns), Math.floor(avail / 140) || 1));
        this.grid.style.gridTemplateColumns = `repeat(${columns}, minmax(0, 1fr))`;
        return;
      }
      const [pw, ph] = this.entry.size;
      const aspect = (pw / Math.max(1, o.columns)) / Math.max(1, ph / Math.max(1, o.rows));
      const best = bestColumns(n, aspect, avail, Math.max(1, h - 2 * GAP), NAME_HEIGHT);
      this.grid.style.gridTemplateColumns = `repeat(${best.columns}, ${best.width}px)`;
      const pictureHeight = Math.max(24, Math.floor(best.width / aspect));
      for (const part of this.grid.querySelectorAll(".part"))
        part.style.height = pictureHeight + "px";
    }
  }

  root.VirekaChoices = Object.freeze({ ChoicePicture, toggle, bestColumns });
})(globalThis);
