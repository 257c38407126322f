// Replays a list of user actions on the web engine of an exported site and prints the state
// after each, in the form the test prints the desktop engine's state:
//   node replay.mjs SITE ACTIONS
// Actions, one a line: "answer KEY CELL", "withdraw KEY", "undo", "redo", "clear",
// "contra LINE", "skip KEY", "best".
import fs from "node:fs";
import path from "node:path";
import vm from "node:vm";

const [site, actionsFile] = process.argv.slice(2);
vm.runInThisContext(fs.readFileSync(path.join(site, "engine", "vireka-engine.js"), "utf8"));
const text = fs.readFileSync(path.join(site, "data", "key.js"), "utf8").trim();
const prefix = "globalThis.VIREKA_KEY = ";
const key = VirekaEngine.loadKey(JSON.parse(text.slice(prefix.length, -1)));
const id = new VirekaEngine.Identification(key);

const out = [];
const hex = (bytes) => Array.from(bytes, (b) => b.toString(16).padStart(2, "0")).join("");
function state() {
  out.push("qnt " + hex(id.toQnt()));
  out.push("list " + id.listLines().join("|"));
  out.push("legend " + id.legend());
  out.push("layers " + id.layers().layers.map((l) => (l ? l.path.toUpperCase() : "-")).join("|"));
  out.push("questions " + id.questions().map((s) => s.group + ":" + s.entries.map((e) =>
    e.key + (e.answered ? "*" + e.chosenTexts.join("+") : "") + (e.askable ? "" : "!")).join(",")).join(" / "));
}

state();
for (const line of fs.readFileSync(actionsFile, "utf8").split("\n")) {
  const [verb, a, b] = line.trim().split(" ");
  if (!verb) continue;
  out.push("> " + line.trim());
  if (verb === "answer") id.answer(a, Number(b));
  else if (verb === "withdraw") out.push("withdrawn " + id.withdraw(a));
  else if (verb === "undo") out.push("undone " + id.undo());
  else if (verb === "redo") out.push("redone " + id.redo());
  else if (verb === "clear") id.clear();
  else if (verb === "best" || verb === "skip") {
    if (verb === "best") id.searchScores();
    const best = verb === "best" ? id.best() : id.skip(key.objectIndex(a));
    out.push("best " + best.outcome + " " + (best.object >= 0 ? key.objects[best.object].key : "-"));
  } else if (verb === "contra") {
    const c = id.contradictions(Number(a));
    out.push("contra " + c.answers.map((x) => key.objects[x.object].key + ":" + x.state).join(",") +
             " layers " + c.layers.map((l) => l.layer + "=" + l.path.toUpperCase()).join(",") +
             " buttons " + c.buttons.join(","));
    continue;
  }
  state();
}
process.stdout.write(out.join("\n") + "\n");
