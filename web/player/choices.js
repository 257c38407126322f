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
  // the widest pictures in w x h, each with `label` px of text under it; no cell narrower
  // than `narrowest` (the longest word of the names) while more than one column is left.
  function bestColumns(n, aspect, w, h, label, narrowest = 0) {
    let best = { columns: 1, width: 0 };
    for (let columns = 1; columns <= Math.max(1, n); ++columns) {
      const rows = Math.ceil(n / columns);
      const byWidth = (w - GAP * (columns - 1)) / columns;
      if (columns > 1 && byWidth < narrowest) break;
      const byHeight = ((h - GAP * (rows - 1)) / rows - label) * aspect;
      const width = Math.floor(Math.min(byWidth, byHeight));
      if (width > best.width) best = { columns, width };
    }
    const least = Math.max(SMALLEST, narrowest);
    if (best.width < least) best = columnsOf(n, w, least);
    return best;
  }

  // As many columns of at least `least` px as w holds (one at the least).
  function columnsOf(n, w, least) {
    const columns = Math.max(1, Math.min(n, Math.floor((w + GAP) / (least + GAP))));
    return { columns, width: Math.floor((w - GAP * (columns - 1)) / columns) };
  }

  // The names break between words only, never inside one: the cells are made wide enough
  // for the longest word (as wide as a marked cell's bold makes it), and a name whose word
  // is wider than the whole box is written smaller.
  const NAME_PADDING = 10;  // the name's padding and the cell's border, both sides
  let measurer = null;
  function wordWidths(names) {
    if (!measurer) measurer = document.createElement("canvas").getContext("2d");
    const style = names.length > 0 ? getComputedStyle(names[0]) : null;
    if (!measurer || !style) return names.map(() => 0);
    measurer.font = `${style.fontStyle} 600 ${style.fontSize} ${style.fontFamily}`;
    return names.map((n) => {
      let widest = 0;
      for (const word of n.textContent.split(/\s+/))
        if (word !== "") widest = Math.max(widest, measurer.measureText(word).width);
      return Math.ceil(widest) + NAME_PADDING;
    });
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
      const names = [...this.grid.querySelectorAll(".name")];
      for (const name of names) name.style.fontSize = "";
      const words = wordWidths(names);
      const narrowest = Math.min(avail, Math.max(0, ...words));
      let width = 0;
      if (!this.entry) {
        const columns = Math.max(1, Math.min(Math.max(1, o.columns), Math.floor(avail / 140) || 1,
                                             columnsOf(n, avail, narrowest).columns));
        this.grid.style.gridTemplateColumns = `repeat(${columns}, minmax(0, 1fr))`;
        width = (avail - GAP * (columns - 1)) / columns;
      } else {
        const [pw, ph] = this.entry.size;
        const aspect = (pw / Math.max(1, o.columns)) / Math.max(1, ph / Math.max(1, o.rows));
        const best = bestColumns(n, aspect, avail, Math.max(1, h - 2 * GAP), NAME_HEIGHT, narrowest);
        this.grid.style.gridTemplateColumns = `repeat(${best.columns}, ${best.width}px)`;
        const pictureHeight = Math.max(24, Math.floor(best.width / aspect));
        for (const part of this.grid.querySelectorAll(".part"))
          part.style.height = pictureHeight + "px";
        width = best.width;
      }
      names.forEach((name, k) => {
        if (words[k] <= width) return;
        const size = parseFloat(getComputedStyle(name).fontSize);
        name.style.fontSize = Math.max(8, Math.floor((size * (width - NAME_PADDING)) /
                                                     (words[k] - NAME_PADDING))) + "px";
      });
    }
  }

  root.VirekaChoices = Object.freeze({ ChoicePicture, toggle, bestColumns });
})(globalThis);
