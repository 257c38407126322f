// A question of many states asked as a list: every state's name with a tick box, a filter
// field that narrows the list as the user types (case and accents ignored, every word must
// be found), several states may be ticked, Enter confirms and Escape abandons. It is made over
// the picture of choices, in the same box, when the cells of that picture could not all be
// shown large enough to read, or when the question has no picture.
(function (root) {
  "use strict";

  // The smallest cell a picture of choices is legible in: a picture above two lines of name.
  const CELL_WIDTH = 120, CELL_HEIGHT = 90;

  // Whether question o is asked as a list in a box of w x h CSS pixels.
  function wanted(o, w, h) {
    if (!o || o.count <= 0) return false;
    if (!o.picture) return true;
    const columns = Math.floor(w / CELL_WIDTH), rows = Math.floor(h / CELL_HEIGHT);
    return columns * rows < o.count;
  }

  class StateList {
    // host: {stateText(state), text(number), confirm(), abandon()}
    constructor(box, host) {
      this.box = box;
      this.host = host;
      this.object = null;
      this.element = document.createElement("div");
      this.element.className = "statelist";
      this.element.hidden = true;
      this.filter = document.createElement("input");
      this.filter.type = "search";
      this.filter.className = "filter";
      this.filter.autocomplete = "off";
      this.list = document.createElement("ul");
      this.list.className = "states";
      this.element.append(this.filter, this.list);
      box.append(this.element);
      this.filter.addEventListener("input", () => this.narrow());
      this.element.addEventListener("keydown", (e) => {
        if (e.key === "Enter") {
          e.preventDefault();
          this.host.confirm();
        } else if (e.key === "Escape") {
          e.preventDefault();
          e.stopPropagation();
          this.host.abandon();
        }
      });
    }

    get active() {
      return !this.element.hidden;
    }

    // Shows the states of question o, the `ticked` cells ticked and the filter empty.
    open(o, ticked) {
      this.object = o;
      const on = new Set(ticked);
      const label = this.host.text(1872);
      this.filter.placeholder = label;
      this.filter.setAttribute("aria-label", label);
      this.filter.value = "";
      const rows = [];
      for (let k = 0; k < o.count; ++k) {
        const li = document.createElement("li");
        const tick = document.createElement("label");
        const box = document.createElement("input");
        box.type = "checkbox";
        box.dataset.cell = String(k);
        box.checked = on.has(k);
        const name = this.host.stateText(o.first + k) || String(k + 1);
        const span = document.createElement("span");
        span.textContent = name;  // a name of the base is text, never markup
        tick.append(box, span);
        li.append(tick);
        li.dataset.folded = root.VirekaEngine.searchFolded(name);
        rows.push(li);
      }
      this.list.replaceChildren(...rows);
      this.list.setAttribute("aria-label", o.text || o.key);
      this.element.hidden = false;
      this.box.classList.add("listed");
    }

    close() {
      this.element.hidden = true;
      this.box.classList.remove("listed");
      this.object = null;
    }

    narrow() {
      const words = root.VirekaEngine.searchFolded(this.filter.value).split(" ").filter((w) => w);
      for (const li of this.list.children)
        li.hidden = !words.every((w) => li.dataset.folded.includes(w));
    }

    ticked() {
      return [...this.list.querySelectorAll("input:checked")].map((b) => Number(b.dataset.cell));
    }

    shown() {
      return [...this.list.children].filter((li) => !li.hidden)
        .map((li) => Number(li.querySelector("input").dataset.cell));
    }

    focus() {
      this.filter.focus();
    }
  }

  root.VirekaStateList = Object.freeze({ StateList, wanted, CELL_WIDTH, CELL_HEIGHT });
})(globalThis);
