// The picture of choices of a question: one picture holding its states as a grid of equal
// cells, row by row. A click marks a cell with a blue frame; a click on the marked cell
// takes the mark away. Cells past the question's states answer nothing.
(function (root) {
  "use strict";

  // The toggle rule: the marked cell unmarks, any other cell takes the mark.
  function toggle(selection, cell) {
    return selection === cell ? -1 : cell;
  }

  class ChoicePicture {
    // host: {stateText(state), changed(selection)}
    constructor(box, assets, host) {
      this.box = box;
      this.choices = assets.choices || {};
      this.host = host;
      this.object = null;
      this.selection = -1;
      this.size = [4, 3];
      this.picture = document.createElement("img");
      this.picture.alt = "";
      this.picture.draggable = false;
      this.grid = document.createElement("div");
      this.grid.className = "grid";
      box.append(this.picture, this.grid);
    }

    // Opens question o (an engine object) with `selection` marked (-1: none).
    open(o, selection) {
      this.object = o;
      this.selection = selection;
      const entry = this.choices[String(o.key).toUpperCase()];
      this.box.classList.toggle("textual", !entry);
      if (entry) {
        this.picture.src = entry.file;
        this.size = entry.size;
      } else {
        this.picture.removeAttribute("src");
        this.size = [4 * Math.max(1, o.columns), 3 * Math.max(1, o.rows)];
      }
      this.grid.style.gridTemplateColumns = `repeat(${Math.max(1, o.columns)}, 1fr)`;
      this.grid.style.gridTemplateRows = `repeat(${Math.max(1, o.rows)}, 1fr)`;
      this.grid.replaceChildren();
      const cells = Math.max(1, o.rows) * Math.max(1, o.columns);
      for (let k = 0; k < cells; ++k) {
        const inside = k < o.count;
        const cell = document.createElement(inside ? "button" : "div");
        cell.className = "cell";
        cell.dataset.cell = String(k);
        if (inside) {
          cell.type = "button";
          const text = this.host.stateText(o.first + k);
          cell.title = text;
          cell.setAttribute("aria-label", text);
          // Without a picture the state's text stands in the cell.
          if (!entry) cell.textContent = text;
          cell.addEventListener("click", () => this.choose(k));
        }
        this.grid.append(cell);
      }
      this.mark();
    }

    choose(cell) {
      this.selection = toggle(this.selection, cell);
      this.mark();
      this.host.changed(this.selection);
    }

    mark() {
      for (const cell of this.grid.children)
        cell.classList.toggle("marked", Number(cell.dataset.cell) === this.selection);
    }

    // Fits the picture into w x h CSS pixels, keeping its shape.
    fit(w, h) {
      const [pw, ph] = this.size;
      const scale = Math.min(w / pw, h / ph);
      this.box.style.width = Math.max(1, Math.floor(pw * scale)) + "px";
      this.box.style.height = Math.max(1, Math.floor(ph * scale)) + "px";
    }
  }

  root.VirekaChoices = Object.freeze({ ChoicePicture, toggle });
})(globalThis);
