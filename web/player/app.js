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
    // Nothing saved reads as null, which must not count as a choice of English.
    const saved = safeStorage("get", "vireka:language");
    if (saved === "0" || saved === "1" || saved === "2") return Number(saved);
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

  const dialog = root.VirekaDialog.create(document.getElementById("dialog"),
                                         () => [$("top"), $("tabs"), $("summary"),
                                                document.querySelector("main")]);
  const message = (text) => dialog(text, [[t(1044) || "OK", true]]);
  const ask = (text) => dialog(text, [[t(1736), true], [t(1737), false]]);

  // ---- the key and the identification ----

  let key, id;
  try {
    key = E.loadKey(root.VIREKA_KEY);
    id = new E.Identification(key, { threshold: -1, language });
  } catch (e) {
    $("status").textContent = String(e && e.message ? e.message : e);
    document.body.dataset.ready = "1";
    return;
  }

  // The key's own texts in the reader's language, where the site gives them.
  let baseTexts = null;
  const objectText = (r) => (baseTexts && baseTexts.object(r)) ?? key.objects[r].text;
  function useBaseLanguage() {
    baseTexts = root.VirekaBaseTexts.local(assets, key, LANGUAGES[language]);
    id.localTexts = baseTexts;
    document.title = (baseTexts && baseTexts.title) || assets.title || "Vireka";
    $("title").textContent = document.title;
  }

  const hasDrawing = key.drawingCount > 0 &&
                     Object.keys((assets.drawing && assets.drawing.layers) || {}).length > 0;
  // The data script no longer needs to hold the key: its text and lists would double the
  // memory a big key takes.
  root.VIREKA_KEY = undefined;

  // The tree comes as JSON text, read when first needed: as script data, the many small
  // lists of a big key's tree would cost most of the page's start.
  let treeCache = null;
  function treeNodes() {
    if (treeCache === null) {
      try {
        treeCache = typeof assets.treeText === "string" ? JSON.parse(assets.treeText)
                                                        : assets.tree || [];
      } catch (e) {
        treeCache = [];
      }
      if (!Array.isArray(treeCache)) treeCache = [];
    }
    return treeCache;
  }
  let codes = null;
  // The code of the species called `name` in the tree, "" when it has none.
  function speciesCode(name) {
    if (codes === null) {
      codes = new Map();
      (function collect(nodes) {
        for (const [nodeKey, text, tag, children] of nodes) {
          if (tag === "Esp" && nodeKey.length === 5) codes.set(text, nodeKey);
          collect(children);
        }
      })(treeNodes());
    }
    return codes.get(name) || "";
  }

  // The question open in the picture of choices: {object, proposed}; null in the drawing.
  let open = null;
  let contradiction = null;  // what id.contradictions gave for the chosen line

  // ---- the parts ----

  const drawing = new root.VirekaDrawing.DrawingView($("drawing"), assets, {
    objectIndex: (k) => key.objectIndex(k),
    choice: () => id.stateChoice,
    frames: () => id.frameState,
    tipOf: (r) => objectText(r),
    ask: (r) => openQuestion(r, false, $("drawing")),
  });
  const zoom = new root.VirekaDrawingZoom.DrawingZoom(drawing, $("stage"), () => layout());
  zoom.changed = (z) => {
    $("zoomOut").disabled = z <= 1;
    $("zoomIn").disabled = z >= 4;
  };
  $("zoomIn").addEventListener("click", () => zoom.zoomIn());
  $("zoomOut").addEventListener("click", () => zoom.zoomOut());
  const choice = new root.VirekaChoices.ChoicePicture($("choice"), assets, {
    stateText: (s) => (baseTexts && baseTexts.state(s)) ?? key.stateTexts[s] ?? "",
    localChoice: (objectKey) => baseTexts && baseTexts.choice(objectKey),
    objectText: (o) => objectText(key.objectIndex(o.key)),
    changed: () => {},
  });
  const measure = new root.VirekaMeasure.MeasureField($("stage"), { submit: answerMeasure }, t);
  const stateList = new root.VirekaStateList.StateList($("choice"), {
    stateText: (s) => key.stateTexts[s] ?? "",
    text: t,
    confirm: () => questionClicked(1),
    abandon: () => closeQuestion(),
  });
  const results = new root.VirekaPanels.ResultsPanel($("list"), $("legend"), pickLine);
  const tree = new root.VirekaPanels.TreePanel($("tree"), (code, name) => openDocument(code, name));
  const panel = new root.VirekaPanels.QuestionsPanel($("questionList"), {
    open: (r) => openQuestion(r, false, { question: key.objects[r].key }),
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

  const deterButtons = ((assets.toolbars && assets.toolbars.deter) || []).map((b, i) =>
    toolbarButton(b, () => deterClicked(b.key, i)));
  $("deterBar").replaceChildren(...deterButtons);
  const questionButtons = ((assets.toolbars && assets.toolbars.question) || []).map((b, i) =>
    toolbarButton(b, () => questionClicked(i + 1)));
  $("questionBar").replaceChildren(...questionButtons);
  // A base without question buttons still needs to confirm and abandon.
  if (questionButtons.length === 0) {
    $("questionBar").append(toolbarButton({ caption: t(1729) }, () => questionClicked(1)),
                            toolbarButton({ caption: t(1730) }, () => questionClicked(2)));
  }

  function deterClicked(tag, i) {
    // The question table is looked up first: a question may be called "Search".
    const r = key.objectIndex(String(tag));
    if (r >= 0) openQuestion(r, false, deterButtons[i]);
    else if (tag === "Search") search(deterButtons[i]);
    else if (tag === "Results") showTab("results", true);
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
      // The same address set again would load the picture again.
      const src = icon || rows[i].picture;
      if (src && img.getAttribute("src") !== src) img.src = src;
    });
  }

  // ---- questions ----

  // `from` is where the focus goes back when the question closes: an element, or
  // {question: key} for a row of the questions panel (rows may be made again meanwhile).
  function openQuestion(r, proposed, from) {
    const o = key.objects[r];
    if (!o) return;
    const returnTo = open ? open.returnTo : from || document.activeElement;
    open = { object: r, proposed, returnTo, tab: open ? open.tab : document.body.dataset.tab };
    drawing.busy = true;
    // A proposed question opens with no cell marked; one the user picked shows its answer.
    choice.open(o, proposed ? -1 : id.answeredCell(r));
    measure.open(o);
    const last = questionButtons[questionButtons.length - 1];
    if (last && questionButtons.length >= 3) last.hidden = !proposed;
    document.body.dataset.view = "question";
    document.body.dataset.question = o.key;
    showStatus();
    // A wide screen shows the stage beside every pane; a phone brings it forward.
    if (narrow()) showTab("key");
    layout();
    // Too many states for cells that can be read, or no picture: the states as a list.
    const stage = $("stage");
    if (root.VirekaStateList.wanted(o, stage.clientWidth, stage.clientHeight)) {
      stateList.open(o, id.chosenCells(r));
      stateList.focus();
    } else {
      stateList.close();
      if (measure.shown) measure.focus();
      else choice.focusCell();
    }
  }

  function closeQuestion() {
    if (!open) return;
    const { returnTo, tab } = open;
    open = null;
    stateList.close();
    drawing.busy = false;
    measure.close();
    document.body.dataset.view = "key";
    delete document.body.dataset.question;
    showStatus();
    // On a phone the tab the question was opened from comes back.
    if (tab && tab !== document.body.dataset.tab) showTab(tab);
    layout();
    const target = returnTo && returnTo.question !== undefined ? panel.button(returnTo.question)
                                                               : returnTo;
    if (target && target.isConnected && !target.closest("[hidden]")) target.focus();
  }

  // The line under the toolbar: the open question, else what to do first, else nothing.
  function showStatus() {
    let text = "";
    if (open) text = objectText(open.object);
    else if (!id.stateChoice.includes(1)) text = t(hasDrawing ? 1792 : 1793);
    const problems = open ? [] : id.layers().messages;
    if (problems.length > 0) text = problems.join(" ");
    $("status").textContent = text;
  }

  // The typed value frames the cell of the one state whose range holds it, then confirms as
  // the question toolbar does; a value no range holds is refused and the question stays.
  function answerMeasure(text) {
    if (!open) return;
    const r = open.object;
    const c = id.chooseMeasure(r, text);
    if (c.outcome !== "chosen") {
      message((t(c.outcome === "not a number" ? 1861 : 1862) || "%1").replace("%1", text.trim()))
        .then(() => measure.focus());
      return;
    }
    choice.selection = c.state - key.objects[r].first;
    choice.mark();
    closeQuestion();
    change(() => id.answerMeasure(r, text));
  }

  function confirmAnswer() {
    const r = open.object;
    const ticked = stateList.active ? stateList.ticked() : null;
    closeQuestion();
    change(() => (ticked ? id.answerTicked(r, ticked) : id.answer(r, choice.selection)));
  }

  async function skipQuestion() {
    const r = open.object;
    closeQuestion();
    await proposal(id.skip(r));
  }

  async function search(from) {
    searchFrom = from;
    await proposal(id.best());
  }
  let searchFrom = null;

  async function proposal(best) {
    if (best.outcome === "question") return openQuestion(best.object, true, searchFrom);
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
    // The best species lead the list again (a hidden pane keeps its scroll: see showTab).
    $("sidePane").scrollTop = 0;
    listMoved = true;
  }
  let listMoved = false;

  function refresh() {
    if (hasDrawing) refreshDrawing();
    // A variant row naming a state the base lacks is reported, as the program reports it.
    showStatus();
    markButtons(Boolean(contradiction));
    const legend = id.legend();
    // Only the lines the list shows are written out, not one per species of the key.
    const listed = id.listed;
    results.render({ length: listed.length, at: (i) => id.lineOf(listed[i]) }, legend);
    // The line under the tabs, read out by screen readers after each answer.
    $("summary").textContent = legend.trim();
    showContradictions();
    renderPanel();
    $("undo").disabled = !id.canUndo();
    $("redo").disabled = !id.canRedo();
    keep();
  }

  // The questions panel is brought up to date when it shows: a key of 1,500 questions would
  // otherwise pay for a hidden panel on every answer.
  const panelShown = () => !hasDrawing || document.body.dataset.tab === "questions";
  let panelStale = true;
  function renderPanel() {
    panelStale = !panelShown();
    if (panelStale) return;
    const filter = $("filter").value;
    const all = id.questions("");
    panel.render(filter.trim() === "" ? all : id.questions(filter), all);
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

  // An address the page cannot read (a fragment that is no description, or not even valid
  // percent-encoding) starts the key afresh and says so.
  // Gives the message to show once the key stands ready, or null.
  function restore() {
    let hash = location.hash.replace(/^#/, "");
    let readable = true;
    try {
      hash = decodeURIComponent(hash);
    } catch (e) {
      readable = false;
    }
    if (hash !== "") {
      if (readable && id.fromFragment(hash)) return null;
      return readable && /^v\d+;/.test(hash) ? t(1740) : t(1794);
    }
    const saved = safeStorage("get", storageKey);
    if (saved) id.fromFragment(saved);
    return null;
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
    openDocument(speciesCode(name), name);
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
    showTab("document", true);
  }

  // ---- views and tabs ----

  const narrow = () => matchMedia("(max-width: 760px)").matches;

  function showTab(tab, focus) {
    document.body.dataset.tab = tab;
    for (const b of document.querySelectorAll("#tabs button")) {
      b.classList.toggle("active", b.dataset.tab === tab);
      if (b.dataset.tab === tab) b.setAttribute("aria-current", "page");
      else b.removeAttribute("aria-current");
    }
    if (tab === "questions" && panelStale) renderPanel();
    if (tab === "species" && treeStale) renderTree();
    layout();
    if (listMoved && (tab === "results" || !narrow())) {
      $("sidePane").scrollTop = 0;
      listMoved = false;
    }
    if (focus && narrow()) {
      // A pane brought forward by a command takes the focus, so a reader hears it.
      const pane = { results: "resultsPane", document: "documentPane", questions: "questionsPane",
                     species: "speciesPane" }[tab];
      if (pane) $(pane).focus({ preventScroll: true });
    }
  }

  for (const b of document.querySelectorAll("#tabs button"))
    b.addEventListener("click", () => showTab(b.dataset.tab));
  $("backToList").addEventListener("click", () => showTab("results", true));

  // The drawing and the picture of choices fill the stage in their own shapes.
  function layout() {
    const stage = $("stage");
    const w = stage.clientWidth, h = Math.max(120, stage.clientHeight);
    if (open) choice.fit(w, h);
    else if (hasDrawing) drawing.fit(w, h);
  }
  root.addEventListener("resize", layout);
  document.addEventListener("keydown", (e) => {
    if (e.key !== "Escape" || !$("dialog").hidden) return;
    if (menuOpen()) showMenu(false, true);
    else if (open) closeQuestion();
  });

  // The drawing cannot be walked with a keyboard: it says so, and Enter leads to the
  // questions panel, which asks every question the drawing asks.
  $("drawing").addEventListener("keydown", (e) => {
    if (e.key !== "Enter" && e.key !== " ") return;
    e.preventDefault();
    showTab("questions");
    $("filter").focus();
  });

  // ---- the menu of commands (a phone shows the commands only through it) ----

  const menuOpen = () => document.body.classList.contains("menuOpen");
  function showMenu(on, giveFocusBack) {
    document.body.classList.toggle("menuOpen", on);
    $("menuButton").setAttribute("aria-expanded", on ? "true" : "false");
    if (on) $("commands").querySelector("button:not(:disabled), select").focus();
    else if (giveFocusBack) $("menuButton").focus();
  }
  $("menuButton").addEventListener("click", () => showMenu(!menuOpen(), false));
  // A command chosen, or a tap elsewhere, closes the menu.
  $("commands").addEventListener("click", (e) => {
    if (e.target.closest("button") && menuOpen()) showMenu(false, false);
  });
  document.addEventListener("pointerdown", (e) => {
    if (menuOpen() && !e.target.closest("#commands, #menuButton")) showMenu(false, false);
  });

  // ---- commands ----

  $("new").addEventListener("click", () => {
    closeQuestion();
    results.select(-1);
    change(() => id.clear());
  });
  $("undo").addEventListener("click", () => change(() => id.undo()));
  $("redo").addEventListener("click", () => change(() => id.redo()));
  $("filter").addEventListener("input", () => renderPanel());

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

  // Captions and tips of the toolbars in the reader's language, else the key's own.
  function captionButtons(buttons, rows, bar) {
    buttons.forEach((button, i) => {
      const b = rows[i];
      if (!b || !button.lastChild) return;
      button.lastChild.textContent = (baseTexts && baseTexts.caption(bar, i)) ?? b.caption ?? "";
      button.title = (baseTexts && baseTexts.tip(bar, i)) ?? b.tip ?? "";
    });
  }

  function translate() {
    document.documentElement.lang = LANGUAGES[language];
    useBaseLanguage();
    captionButtons(deterButtons, (assets.toolbars && assets.toolbars.deter) || [], "deter");
    captionButtons(questionButtons, (assets.toolbars && assets.toolbars.question) || [], "question");
    for (const e of document.querySelectorAll("[data-text]")) e.textContent = t(e.dataset.text);
    // Without a drawing the first pane holds the questions, and says so.
    if (!hasDrawing) document.querySelector('#tabs button[data-tab="key"] span').textContent = t(1640);
    $("filter").placeholder = t(1644);
    $("filter").setAttribute("aria-label", t(1644));
    $("language").value = String(language);
    $("language").setAttribute("aria-label", t(1796));
    $("drawing").setAttribute("aria-label", t(1795));
    for (const [id, number] of [["zoomIn", 1910], ["zoomOut", 1911]]) {
      $(id).setAttribute("aria-label", t(number));
      $(id).title = t(number);
    }
    $("doc").title = t(1721);
    panel.reset();
    treeStale = true;
    if (document.body.dataset.tab === "species") renderTree();
  }

  let treeStale = true;
  function renderTree() {
    treeStale = false;
    tree.render(treeNodes(), (k) => ({ "Familles": t(1301), "Espèces": t(1300),
                                       "Communs": t(1302) })[k]);
  }

  $("language").addEventListener("change", () => {
    language = Number($("language").value);
    safeStorage("set", "vireka:language", String(language));
    id.language = language;
    translate();
    id.refresh();
    refresh();
    // An open question shows its picture and its text in the new language.
    if (open) {
      choice.open(key.objects[open.object], choice.selection);
      showStatus();
    }
    if (documents.code !== null) documents.open(documents.code, $("docTitle").textContent, language);
  });

  // ---- print ----

  const printer = new root.VirekaReport.Printer($("report"), {
    texts: t,
    answers() {
      const answers = [];
      for (const section of id.questions(""))
        for (const e of section.entries)
          if (e.answered) answers.push([e.text, e.chosenTexts.join(", ")]);
      return answers;
    },
    drawing: () => (hasDrawing ? $("drawing") : null),
    lines: () => id.listLines(),
    legend: () => id.legend().trim(),
    // The leading species: the first line of the list.
    leading() {
      const entry = id.list()[0];
      if (!entry) return null;
      const name = key.species[entry.species];
      return { name, page: documents.pageOf(speciesCode(name), language) };
    },
  });
  $("print").addEventListener("click", () => printer.print());

  // ---- start ----

  document.body.classList.toggle("noDrawing", !hasDrawing);
  if (!hasDrawing) {
    // Without a drawing the questions panel takes its place, as on the desktop.
    $("stagePanel").hidden = false;
    $("stagePanel").append($("questionsPane"));
    $("drawing").hidden = true;
    $("zoomBar").hidden = true;
  }
  translate();
  let note = null;
  try {
    note = restore();
  } catch (e) {
    note = t(1794);
  }
  refresh();
  showTab(narrow() ? "key" : "results");
  document.body.dataset.ready = "1";
  if (note) message(note);
  if (root.VirekaOffline) root.VirekaOffline.start(assets.title);

  // What tests and scripts may read: the engine's identification and the parts.
  const readyAt = performance.now();
  root.VirekaPlayer = { readyAt, key, id: () => id, drawing, choice, results, panel, documents,
                        openQuestion, refresh, openDocument, text: t, language: () => language,
                        // An answer as the Confirm button gives it: cell -1 for none.
                        answer: (r, cell) => change(() => id.answer(r, cell)) };
})(globalThis);
