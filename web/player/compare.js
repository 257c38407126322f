// Species compared side by side: the Compare button of a species' document adds that species
// to the comparison (two to five species), shown under the document as a table of the
// questions where they differ, the cells that differ from most of them marked. Every text
// from the base is set as text, never as markup.
(function (root) {
  "use strict";
  const doc = root.document;
  // The player's own key when it is there: a big key is decoded once, not twice.
  const key = (root.VirekaPlayer && root.VirekaPlayer.key) || root.VirekaEngine.loadKey(root.VIREKA_KEY);
  const strings = root.VIREKA_STRINGS || {};
  const MAX = 5;
  const chosen = [];
  let withAgreeing = false;

  const $ = (id) => doc.getElementById(id);
  const language = () => Number($("language") ? $("language").value : 0) || 0;
  const t = (n) => ((strings[n] || [])[language()] ?? (strings[n] || [])[0] ?? String(n));
  function el(tag, attrs, text) {
    const e = doc.createElement(tag);
    for (const [k, v] of Object.entries(attrs || {})) e.setAttribute(k, v);
    if (text !== undefined) e.textContent = text;
    return e;
  }

  const style = el("style");
  style.textContent =
    "#compareAdd{margin-left:.5em}#comparison{margin:.5em 0;overflow-x:auto}" +
    "#comparison table{border-collapse:collapse;width:100%;font-size:.9em}" +
    "#comparison th,#comparison td{border:1px solid #999;padding:2px 4px;text-align:left;" +
    "vertical-align:top}#comparison th{background:#eee}" +
    "#comparison td.differs{background:#ffe7a8;font-weight:bold}" +
    "#comparison .remove{margin-left:.3em}";
  doc.head.appendChild(style);

  const add = el("button", { type: "button", id: "compareAdd", "data-text": "1832" }, t(1832));
  const tools = doc.querySelector("#documentPane .docTools");
  if (tools) tools.appendChild(add);
  const box = el("div", { id: "comparison", hidden: "" });
  if (tools) tools.after(box);

  // The species of the document shown, by its name in the document's title.
  function shownSpecies() {
    const name = ($("docTitle") || {}).textContent || "";
    return key.species.indexOf(name);
  }

  // The texts of the reader's language where the key gives them, else the key's own.
  function local() {
    const player = root.VirekaPlayer;
    return (player && typeof player.id === "function" && player.id() && player.id().localTexts) || null;
  }
  function questionText(q) {
    const l = local();
    return (l && l.object(q)) ?? (key.objects[q].text || key.objects[q].key);
  }
  function stateText(x) {
    const l = local();
    return (l && l.state(x)) ?? (key.stateTexts[x] || "");
  }

  function states(q, s) {
    const o = key.objects[q], shown = [];
    for (let l = 0; l < o.count; ++l) if (key.value(s, o.first + l) !== 0) shown.push(o.first + l);
    return shown;
  }
  function cell(q, s) {
    const shown = states(q, s);
    if (shown.length === 0) return t(1826);
    if (shown.length === key.objects[q].count && shown.length >= 2) return t(1827);
    return shown.map(stateText).join("; ");
  }

  function table(rows, heading) {
    const part = el("div");
    part.appendChild(el("h3", {}, heading + " (" + rows.length + ")"));
    const tab = el("table");
    const head = el("tr");
    head.appendChild(el("th", {}, t(1825)));
    for (const s of chosen) head.appendChild(el("th", {}, key.species[s]));
    tab.appendChild(head);
    for (const row of rows) {
      const tr = el("tr");
      tr.appendChild(el("td", {}, questionText(row.q)));
      row.cells.forEach((c, i) => tr.appendChild(el("td", row.marked[i] ? { class: "differs" } : {}, c)));
      tab.appendChild(tr);
    }
    part.appendChild(tab);
    return part;
  }

  function render() {
    box.replaceChildren();
    box.hidden = chosen.length === 0;
    add.disabled = chosen.length >= MAX || chosen.includes(shownSpecies()) || shownSpecies() < 0;
    if (chosen.length === 0) return;
    const names = el("p");
    for (const s of chosen) {
      names.appendChild(el("span", {}, key.species[s]));
      const remove = el("button", { type: "button", class: "remove", "aria-label": t(1833) }, "\u00d7");
      remove.addEventListener("click", () => {
        chosen.splice(chosen.indexOf(s), 1);
        render();
      });
      names.appendChild(remove);
      names.appendChild(doc.createTextNode(" "));
    }
    box.appendChild(names);
    if (chosen.length < 2) return;
    const differ = [], agree = [];
    for (let q = 0; q < key.objects.length; ++q) {
      const sets = chosen.map((s) => states(q, s).join(","));
      const count = (x) => sets.filter((y) => y === x).length;
      const differs = sets.some((x) => x !== sets[0]);
      const row = { q, cells: chosen.map((s) => cell(q, s)),
                    marked: sets.map((x) => differs && count(x) * 2 <= sets.length) };
      (differs ? differ : agree).push(row);
    }
    box.appendChild(table(differ, t(1823)));
    const label = el("label");
    const check = el("input", { type: "checkbox" });
    check.checked = withAgreeing;
    check.addEventListener("change", () => {
      withAgreeing = check.checked;
      render();
    });
    label.appendChild(check);
    label.appendChild(doc.createTextNode(" " + t(1829)));
    box.appendChild(label);
    if (withAgreeing) box.appendChild(table(agree, t(1824)));
  }

  add.addEventListener("click", () => {
    const s = shownSpecies();
    if (s < 0 || chosen.includes(s) || chosen.length >= MAX) return;
    chosen.push(s);
    render();
  });
  if ($("docTitle"))
    new MutationObserver(render).observe($("docTitle"), { childList: true, characterData: true, subtree: true });
  if ($("language")) $("language").addEventListener("change", render);
  render();
})(globalThis);
