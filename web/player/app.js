// The player: wires the engine to the drawing, the picture of choices, the toolbars, the
// lists and the documents, and keeps the description in the browser and in the link.
(function (root) {
  "use strict";
  const $ = (id) => document.getElementById(id);
  const E = root.VirekaEngine;
  const assets = root.VIREKA_ASSETS || {};
  const strings = root.VIREKA_STRINGS || {};
  const LANGUAGES = ["en", "es", "fr"];
  const storageKey = "vireka:" + location.pathname;

  // ---- texts ----

  function browserLanguage() {
    const saved = Number(safeStorage("get", "vireka:language"));
    if (saved === 0 || saved === 1 || saved === 2) return saved;
    for (const tag of navigator.languages || [navigator.language || "en"]) {
      const i = LANGUAGES.indexOf(String(tag).slice(0, 2).toLowerCase());
      if (i >= 0) return i;
    }
    return 0;
  }

  let language = browserLanguage();

  // The interface text of entry number K; menu accelerators ("&") are not shown here.
  function t(number) {
    const three = strings[String(number)];
    const text = three ? three[language] ?? three[0] : null;
    return text === null || text === undefined ? "" : text.replace(/&(?=\S)/g, "");
  }

  function safeStorage(op, name, value) {
    try {
      if (op === "get") return root.localStorage.getItem(name);
      root.localStorage.setItem(name, value);
    } catch (e) {
      // Storage may be refused (private windows, some file:// settings): nothing is kept.
    }
    return null;
  }

  // ---- messages: one box at a time, answered by its buttons ----

  function dialog(text, buttons) {
    return new Promise((resolve) => {
      $("dialogText").textContent = text;
      const row = $("dialogButtons");
      row.replaceChildren(...buttons.map(([label, value]) => {
        const b = document.createElement("button");
        b.type = "button";
        b.textContent = label;
        b.addEventListener("click", () => {
          $("dialog").hidden = true;
          resolve(value);
        });
        return b;
      }));
      $("dialog").hidden = false;
      row.firstChild.focus();
    });
  }
  const message = (text) => dialog(text, [[t(1044) || "OK", true]]);
  const ask = (text) => dialog(text, [[t(1736), true], [t(1737), false]]);

  // ---- the key and the identification ----

  let key, id;
  try {
    key = E.loadKey(root.VIREKA_KEY);
    id = new E.Identification(key, { threshold: -1, language });
  } catch (e) {
    $("status").textContent = String(e && e.message ? e.message : e);
    return;
  }

  const hasDrawing = key.drawingCount > 0 &&
                     Object.keys((assets.drawing && assets.drawing.layers) || {}).length > 0;
  const speciesCodes = new Map();
  (function collectCodes(nodes) {
    for (const [nodeKey, text, tag, children] of nodes) {
      if (tag === "Esp" && nodeKey.length === 5) speciesCodes.set(text, nodeKey);
      collectCodes(children);
    }
  })(assets.tree || []);

  // The question open in the picture of choices: {object, proposed}; null in the drawing.
  let open = null;
  let contradiction = null;  // what id.contradictions gave for the chosen line

  // ---- the parts ----

  const drawing = new root.VirekaDrawing.DrawingView($("drawing"), assets, {
    objectIndex: (k) => key.objectIndex(k),
    choice: () => id.stateChoice,
    frames: () => id.frameState,
    tipOf: (r) => key.objects[r].text,
    ask: (r) => openQuestion(r, false),
  });
  const choice = new root.VirekaChoices.ChoicePicture($("choice"), assets, {
    stateText: (s) => key.stateTexts[s] ?? "",
    changed: () => {},
  });
  const results = new root.VirekaPanels.ResultsPanel($("list"), $("legend"), pickLine);
  const tree = new root.VirekaPanels.TreePanel($("tree"), (code, name) => openDocument(code, name));
  const panel = new root.VirekaPanels.QuestionsPanel($("questionList"), {
    open: (r) => openQuestion(r, false),
    withdraw: (r) => change(() => id.withdraw(r)),
    text: t,
  });
  const documents = new root.VirekaPanels.Documents($("doc"), $("docHint"), $("docTitle"),
                                                    assets.documents);

  // ---- toolbars ----

  function toolbarButton(b, click) {
    const button = document.createElement("button");
    button.type = "button";
    button.className = "tool";
    if (!b) {
      button.disabled = true;
      return button;
    }
    button.title = b.tip || "";
    const img = document.createElement("img");
    img.alt = "";
    if (b.picture) img.src = b.picture;
    else img.hidden = true;
    button.append(img, document.createElement("span"));
    button.lastChild.textContent = b.caption || "";
    button.addEventListener("click", click);
    return button;
  }

  const deterButtons = ((assets.toolbars && assets.toolbars.deter) || []).map((b) =>
    toolbarButton(b, () => deterClicked(b.key)));
  $("deterBar").replaceChildren(...deterButtons);
  const questionButtons = ((assets.toolbars && assets.toolbars.question) || []).map((b, i) =>
    toolbarButton(b, () => questionClicked(i + 1)));
  $("questionBar").replaceChildren(...questionButtons);
  // A base without question buttons still needs to confirm and abandon.
  if (questionButtons.length === 0) {
    $("questionBar").append(toolbarButton({ caption: t(1729) }, () => questionClicked(1)),
                            toolbarButton({ caption: t(1730) }, () => questionClicked(2)));
  }

  function deterClicked(tag) {
    // The question table is looked up first: a question may be called "Search".
    const r = key.objectIndex(String(tag));
    if (r >= 0) openQuestion(r, false);
    else if (tag === "Search") search();
    else if (tag === "Results") showTab("results");
  }

  function questionClicked(k) {
    if (!open) return;
    if (k === 1) confirmAnswer();
    else if (k === 3 && questionButtons.length >= 3) skipQuestion();
    else closeQuestion();
  }

  // The contradiction icons replace the pictures of their buttons while they are shown.
  function markButtons(buttons) {
    const icons = assets.contradictionIcons || {};
    const marked = new Map();
    if (buttons) {
      for (const a of contradiction.answers) {
        const mark = key.objects[a.object].mark;
        if (mark && mark.button > 0) marked.set(mark.button, icons[String(mark.popup).toUpperCase()]);
      }
    }
    const rows = (assets.toolbars && assets.toolbars.deter) || [];
    deterButtons.forEach((button, i) => {
      const img = button.querySelector("img");
      if (!img || !rows[i]) return;
      const icon = marked.get(i + 1);
      button.classList.toggle("contradicted", Boolean(icon));
      if (icon) img.src = icon;
      else if (rows[i].picture) img.src = rows[i].picture;
    });
  }

  // ---- questions ----

  function openQuestion(r, proposed) {
    const o = key.objects[r];
    if (!o) return;
    open = { object: r, proposed };
    drawing.busy = true;
    // A proposed question opens with no cell marked; one the user picked shows its answer.
    choice.open(o, proposed ? -1 : id.answeredCell(r));
    const last = questionButtons[questionButtons.length - 1];
    if (last && questionButtons.length >= 3) last.hidden = !proposed;
    $("status").textContent = o.text;
    document.body.dataset.view = "question";
    document.body.dataset.question = o.key;
    showTab("key");
    layout();
  }

  function closeQuestion() {
    open = null;
    drawing.busy = false;
    document.body.dataset.view = "key";
    delete document.body.dataset.question;
    $("status").textContent = "";
    layout();
  }

  function confirmAnswer() {
    const r = open.object;
    closeQuestion();
    change(() => id.answer(r, choice.selection));
  }

  async function skipQuestion() {
    const r = open.object;
    closeQuestion();
    await proposal(id.skip(r));
  }

  async function search() {
    await proposal(id.best());
  }

  async function proposal(best) {
    if (best.outcome === "question") return openQuestion(best.object, true);
    if (best.outcome === "retry") {
      if (await ask(best.message)) {
        id.retrySkipped();
        return proposal(id.best());
      }
      return;
    }
    if (best.message) await message(best.message);
  }

  // ---- the description changes ----

  function change(action) {
    action();
    contradiction = null;
    refresh();
  }

  function refresh() {
    if (hasDrawing) refreshDrawing();
    // A variant row naming a state the base lacks is reported, as the program reports it.
    const problems = id.layers().messages;
    if (!open && problems.length > 0) $("status").textContent = problems.join(" ");
    markButtons(Boolean(contradiction));
    results.render(id.listLines(), id.legend());
    showContradictions();
    renderPanel();
    $("undo").disabled = !id.canUndo();
    $("redo").disabled = !id.canRedo();
    keep();
  }

  function renderPanel() {
    panel.render(id.questions($("filter").value));
  }

  // The description goes into the link and into this browser's storage.
  function keep() {
    const fragment = id.toFragment();
    safeStorage("set", storageKey, fragment);
    try {
      history.replaceState(null, "", "#" + fragment);
    } catch (e) {
      // Some hosts refuse to change the address; the storage still keeps the description.
    }
  }

  async function restore() {
    const hash = E.fragmentOfAddress(location.hash);
    if (hash !== "") {
      if (id.fromFragment(hash)) return;
      await message(t(1740));
    }
    const saved = safeStorage("get", storageKey);
    if (saved) id.fromFragment(saved);
  }

  // ---- results, contradictions, documents ----

  function pickLine(line) {
    results.select(line);
    contradiction = null;
    const entry = id.list()[line];
    if (!entry) return;
    const name = key.species[entry.species];
    const offered = entry.percent !== 100 && id.rankPercent[0] > 0;
    $("contra").hidden = !offered;
    showContradictions();
    markButtons(false);
    if (hasDrawing) refreshDrawing();
    openDocument(speciesCodes.get(name) || "", name);
  }

  function refreshDrawing() {
    const layers = id.layers().layers.map((l) => (l ? l.path : null));
    const overlays = contradiction ? contradiction.layers.map((l) => l.path) : [];
    return drawing.show(layers.concat(overlays));
  }

  function showContradictions() {
    const box = $("contraList");
    if (!contradiction) {
      box.hidden = true;
      box.replaceChildren();
      if (results.selected < 0) $("contra").hidden = true;
      return;
    }
    box.hidden = false;
    const name = key.species[contradiction.species] ?? "";
    const head = document.createElement("p");
    head.textContent = contradiction.answers.length === 0 ? t(1728) : t(1727).replace("%1", name);
    const items = contradiction.answers.map((a) => {
      const li = document.createElement("li");
      li.textContent = key.objects[a.object].text + ": " + (key.stateTexts[a.state] ?? "");
      return li;
    });
    const ul = document.createElement("ul");
    ul.append(...items);
    box.replaceChildren(head, ul);
  }

  $("contra").addEventListener("click", () => {
    if (results.selected < 0) return;
    contradiction = id.contradictions(results.selected);
    showContradictions();
    markButtons(true);
    if (hasDrawing) refreshDrawing();
  });

  function openDocument(code, name) {
    documents.open(code, name, language);
    showTab("document");
  }

  // ---- views and tabs ----

  function showTab(tab) {
    document.body.dataset.tab = tab;
    for (const b of document.querySelectorAll("#tabs button"))
      b.classList.toggle("active", b.dataset.tab === tab);
    layout();
  }

  for (const b of document.querySelectorAll("#tabs button"))
    b.addEventListener("click", () => showTab(b.dataset.tab));
  $("backToList").addEventListener("click", () => showTab("results"));

  // The drawing and the picture of choices fill the stage in their own shapes.
  function layout() {
    const stage = $("stage");
    const w = stage.clientWidth, h = Math.max(120, stage.clientHeight);
    if (open) choice.fit(w, h);
    else if (hasDrawing) drawing.fit(w, h);
  }
  root.addEventListener("resize", layout);
  document.addEventListener("keydown", (e) => {
    if (e.key === "Escape" && open && $("dialog").hidden) closeQuestion();
  });

  // ---- commands ----

  $("new").addEventListener("click", () => {
    closeQuestion();
    results.select(-1);
    change(() => id.clear());
  });
  $("undo").addEventListener("click", () => change(() => id.undo()));
  $("redo").addEventListener("click", () => change(() => id.redo()));
  $("filter").addEventListener("input", renderPanel);

  $("save").addEventListener("click", () => {
    const blob = new Blob([id.toQnt()], { type: "application/octet-stream" });
    const a = document.createElement("a");
    a.href = URL.createObjectURL(blob);
    a.download = "identification.qnt";
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 1000);
  });

  $("open").addEventListener("change", async () => {
    const file = $("open").files[0];
    $("open").value = "";
    if (!file) return;
    let bytes;
    try {
      bytes = new Uint8Array(await file.arrayBuffer());
    } catch (e) {
      return message(t(1732).replace("%1", file.name));
    }
    closeQuestion();
    const outcome = id.fromQnt(bytes);
    if (outcome.foreign) return message(id.text(1601).replace("%1", file.name));
    contradiction = null;
    refresh();
    if (outcome.lengthDiffers) await message(id.text(1600).replace("%1", file.name));
  });

  $("share").addEventListener("click", async () => {
    keep();
    let copied = false;
    try {
      if (navigator.clipboard) {
        await navigator.clipboard.writeText(location.href);
        copied = true;
      }
    } catch (e) {
      copied = false;
    }
    await message((copied ? t(1723) : t(1739)) + "\n" + location.href);
  });

  function translate() {
    document.documentElement.lang = LANGUAGES[language];
    for (const e of document.querySelectorAll("[data-text]")) e.textContent = t(e.dataset.text);
    // Without a drawing the first pane holds the questions, and says so.
    if (!hasDrawing) document.querySelector('#tabs button[data-tab="key"]').textContent = t(1640);
    $("filter").placeholder = t(1644);
    $("language").value = String(language);
    tree.render(assets.tree || [], (k) => ({ "Familles": t(1301), "Espèces": t(1300),
                                            "Communs": t(1302) })[k]);
  }

  $("language").addEventListener("change", () => {
    language = Number($("language").value);
    safeStorage("set", "vireka:language", String(language));
    id.language = language;
    translate();
    id.refresh();
    refresh();
    if (documents.code !== null) documents.open(documents.code, $("docTitle").textContent, language);
  });

  // ---- start ----

  document.body.classList.toggle("noDrawing", !hasDrawing);
  if (!hasDrawing) {
    // Without a drawing the questions panel takes its place, as on the desktop.
    $("stagePanel").hidden = false;
    $("stagePanel").append($("questionsPane"));
    $("drawing").hidden = true;
  }
  document.title = (assets.title || "Vireka");
  translate();
  restore().then(() => {
    refresh();
    showTab(matchMedia("(max-width: 760px)").matches ? "key" : "results");
    document.body.dataset.ready = "1";
  });

  // What tests and scripts may read: the engine's identification and the parts.
  root.VirekaPlayer = { key, id: () => id, drawing, choice, results, openQuestion, refresh };
})(globalThis);
