// The lists of the player: the ranked species with the legend, the tree of families,
// species and common names, the questions panel, and the species documents.
(function (root) {
  "use strict";

  function element(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  function sameTexts(a, b) {
    if (a.length !== b.length) return false;
    for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
    return true;
  }

  // Rows made at a time: more than any screen shows (a row is at least 38 px high), and few
  // enough that rewriting them after an answer fits in a frame.
  const RESULTS_PAGE = 100;

  // The ranked list: one line per listed species, exactly as the engine writes it.
  class ResultsPanel {
    constructor(list, legend, pick) {
      this.list = list;
      this.legend = legend;
      this.pick = pick;
      this.selected = -1;
    }
    // A key of thousands of species would rebuild thousands of rows after every answer:
    // rows are made a page at a time, the next page when the end of the list scrolls into
    // view, so an answer costs the rows a person can see.
    // The rows already made are kept and only their texts change, so an answer lays out
    // text, not new rows. `lines` is a list, or anything with length and at(i) that makes
    // a line when asked.
    render(lines, legend) {
      this.legend.textContent = legend;
      this.lines = lines;
      if (this.watcher) this.watcher.disconnect();
      if (this.sentinel) this.sentinel.remove();
      this.sentinel = null;
      const rows = this.list.children;
      const keep = Math.min(rows.length, lines.length, RESULTS_PAGE);
      while (rows.length > keep) this.list.lastChild.remove();
      for (let i = 0; i < keep; ++i) {
        const button = rows[i].firstChild;
        const line = lines.at(i);
        if (button.textContent !== line) button.textContent = line;
      }
      this.shown = keep;
      this.more(RESULTS_PAGE);
      this.select(this.selected < lines.length ? this.selected : -1);
    }
    // Rows up to `upTo` (a page more when not given).
    more(upTo) {
      const end = Math.min(this.lines.length, upTo ?? this.shown + RESULTS_PAGE);
      const items = [];
      for (let i = this.shown; i < end; i++) {
        const item = element("li");
        const button = element("button", "line", this.lines.at(i));
        button.type = "button";
        button.dataset.line = String(i);
        button.addEventListener("click", () => this.pick(i));
        item.append(button);
        items.push(item);
      }
      if (this.sentinel) this.sentinel.remove();
      this.list.append(...items);
      this.shown = end;
      if (end >= this.lines.length) return;
      this.sentinel = element("li", "more");
      this.list.append(this.sentinel);
      if (typeof IntersectionObserver === "function") {
        if (!this.watcher)
          this.watcher = new IntersectionObserver((entries) => {
            if (entries.some((e) => e.isIntersecting)) {
              this.watcher.disconnect();
              this.more();
              this.select(this.selected);
            }
          });
        this.watcher.observe(this.sentinel);
      } else {
        const button = element("button", "line", "…");
        button.type = "button";
        button.addEventListener("click", () => { this.more(); this.select(this.selected); });
        this.sentinel.append(button);
      }
    }
    select(line) {
      this.selected = line;
      for (const b of this.list.querySelectorAll("button.line"))
        b.classList.toggle("selected", Number(b.dataset.line) === line);
    }
  }

  // The species a tree node opens, by the first letters of its tag: a species under its
  // family (the key is its code), under "all species" (the code and "S"), or under a common
  // name (the tag holds the code after "Csp"). Other nodes open nothing.
  function codeOfNode(key, tag) {
    if (tag.startsWith("Esp")) return key.length === 6 ? key.slice(0, 5) : key;
    if (tag.startsWith("Csp")) return tag.slice(3, 8);
    return null;
  }

  class TreePanel {
    // rootText(key) names the roots in the interface language; open(code, name).
    constructor(box, open) {
      this.box = box;
      this.open = open;
    }
    render(nodes, rootText) {
      this.box.replaceChildren(...nodes.map((n) => this.node(n, rootText)));
    }
    node([key, text, tag, children], rootText) {
      const code = codeOfNode(key, tag);
      if (code !== null) {
        const b = element("button", "species", text);
        b.type = "button";
        b.dataset.code = code;
        b.addEventListener("click", () => this.open(code, text));
        return b;
      }
      const details = element("details");
      const summary = element("summary", "", rootText ? rootText(key) ?? text : text);
      details.append(summary);
      // Children are built when the branch is first opened: the common-name branch of a
      // large base holds thousands of nodes.
      let built = false;
      details.addEventListener("toggle", () => {
        if (built || !details.open) return;
        built = true;
        for (const child of children) details.append(this.node(child, null));
      });
      return details;
    }
  }

  // The questions with the answers given; a question opens its picture of choices, an
  // answer is taken back with its button. Questions that need an earlier answer are shown
  // dimmed and still open. The rows are made once; an answer or the filter changes the rows
  // in place (a key of 1,500 questions would otherwise rebuild 1,500 rows per answer), and
  // only rows whose answer changed are touched.
  class QuestionsPanel {
    // host: {open(r), withdraw(r), text(number)}
    constructor(box, host) {
      this.box = box;
      this.host = host;
      this.rows = new Map();   // question key -> {row, ask, answer, back, shown: the entry shown}
      this.groups = [];        // [{element, group, keys}]
      this.stale = true;
    }
    // sections: what the engine's questions(filter) gives; all: the same without a filter,
    // the rows every filter chooses from.
    render(sections, all) {
      const full = all || sections;
      if (!this.sameLayout(full)) this.build(full);
      // Without a filter every row shows: no set of the shown keys is made. An answer with
      // the panel in view should leave as little garbage as it can.
      const shown = sections === full ? null : new Set();
      if (shown) for (const section of sections) for (const e of section.entries) shown.add(e.key);
      for (const section of full)
        for (const e of section.entries) this.update(e, !shown || shown.has(e.key));
      for (const g of this.groups) g.element.hidden = shown !== null && !g.keys.some((k) => shown.has(k));
    }
    // Whether the rows made are those of `sections`, group for group and key for key.
    sameLayout(sections) {
      if (this.stale || sections.length !== this.groups.length) return false;
      for (let i = 0; i < sections.length; ++i) {
        const g = this.groups[i], entries = sections[i].entries;
        if (g.group !== sections[i].group || g.keys.length !== entries.length) return false;
        for (let j = 0; j < entries.length; ++j) if (g.keys[j] !== entries[j].key) return false;
      }
      return true;
    }
    build(sections) {
      this.stale = false;
      this.rows.clear();
      this.groups = [];
      const parts = [];
      for (const section of sections) {
        const group = element("section", "group");
        if (section.group !== "" || sections.length > 1)
          group.append(element("h3", "", section.group || this.host.text(1645)));
        for (const entry of section.entries) group.append(this.entry(entry));
        this.groups.push({ element: group, group: section.group,
                           keys: section.entries.map((e) => e.key) });
        parts.push(group);
      }
      this.box.replaceChildren(...parts);
    }
    entry(e) {
      const row = element("div", "question");
      row.dataset.key = e.key;
      const ask = element("button", "ask");
      ask.type = "button";
      ask.append(element("span", "text", e.text));
      const answer = element("span", "answer");
      ask.append(answer);
      ask.addEventListener("click", () => this.host.open(e.object));
      const back = element("button", "withdraw", "✕");
      back.type = "button";
      back.addEventListener("click", () => this.host.withdraw(e.object));
      row.append(ask, back);
      this.rows.set(e.key, { row, ask, answer, back, shown: null });
      return row;
    }
    update(e, shown) {
      const r = this.rows.get(e.key);
      if (!r) return;
      if (r.row.hidden === shown) r.row.hidden = !shown;
      if (r.shown && r.shown.answered === e.answered && r.shown.askable === e.askable &&
          r.shown.valueNotKept === e.valueNotKept && sameTexts(r.shown.chosenTexts, e.chosenTexts))
        return;
      r.shown = e;
      r.row.classList.toggle("answered", e.answered);
      r.row.classList.toggle("unaskable", !e.askable);
      // An answer whose typed value the opened file did not keep says so.
      const answer = e.chosenTexts.join(", ");
      r.answer.textContent = !e.answered ? ""
        : e.valueNotKept ? (this.host.text(1880) || "%1").replace("%1", () => answer) : answer;
      r.answer.hidden = !e.answered;
      r.back.hidden = !e.answered;
      const forget = this.host.text(1641);
      r.back.title = forget;
      r.back.setAttribute("aria-label", forget + ": " + e.text);
    }
    // The button that opens question `key`, for giving the focus back to it.
    button(key) {
      const r = this.rows.get(key);
      return r && !r.row.hidden ? r.ask : null;
    }
    // Texts of the interface change with the language: the rows are made again.
    reset() {
      this.stale = true;
    }
  }

  // The documents of the site, in the interface language when the species has one.
  class Documents {
    constructor(frame, hint, title, index) {
      this.frame = frame;
      this.hint = hint;
      this.title = title;
      this.index = index || { species: {}, error: {} };
      this.code = null;
    }
    pageOf(code, language) {
      const names = ["en", "es", "fr"];
      const pages = this.index.species[String(code).toUpperCase()];
      const errors = this.index.error || {};
      if (!pages) return errors[names[language]] || errors.en || null;
      return pages[names[language]] || pages.en || pages[Object.keys(pages)[0]] || null;
    }
    open(code, name, language) {
      this.code = code;
      const page = this.pageOf(code, language);
      this.title.textContent = name;
      this.hint.hidden = page !== null;
      this.frame.hidden = page === null;
      if (page !== null) this.frame.src = page;
      return page;
    }
  }

  root.VirekaPanels = Object.freeze({
    ResultsPanel, TreePanel, QuestionsPanel, Documents, codeOfNode,
  });
})(globalThis);
