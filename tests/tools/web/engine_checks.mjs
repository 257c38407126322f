// Checks of the web engine that need no desktop counterpart: damaged key data, identification
// files and links it must refuse, and the exact arithmetic of the percentages.
//   node engine_checks.mjs SITE CASE
// Exits 0 when the case holds; an assertion failure says what did not.
import assert from "node:assert/strict";
import { execFileSync, spawnSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import vm from "node:vm";

const [site, which] = process.argv.slice(2);
vm.runInThisContext(fs.readFileSync(path.join(site, "engine", "vireka-engine.js"), "utf8"));
const E = globalThis.VirekaEngine;
const prefix = "globalThis.VIREKA_KEY = ";
const rawText = fs.readFileSync(path.join(site, "data", "key.js"), "utf8").trim();
const raw = () => JSON.parse(rawText.slice(prefix.length, -1));
const key = E.loadKey(raw());

// Nearest integer to a x 100 / b, halves to even, in exact integers.
function referencePercent(a, b) {
  let num = BigInt(a) * 100n, den = BigInt(b);
  if (den < 0n) { num = -num; den = -den; }
  let q = num / den, r = num % den;
  if (r < 0n) { q -= 1n; r += den; }
  if (2n * r > den || (2n * r === den && q % 2n !== 0n)) q += 1n;
  return Number(q);
}

const cases = {
  percentages() {
    assert.equal(E.percentOf(1, 8), 12);   // 12.5 goes to the even 12
    assert.equal(E.percentOf(3, 8), 38);   // 37.5 goes to the even 38
    assert.equal(E.percentOf(-1, 8), -12);
    assert.equal(E.percentOf(1, -8), -12);
    assert.equal(E.percentOf(7, 7), 100);
    assert.equal(E.signedSpaceNumber(87), " 87");
    assert.equal(E.signedSpaceNumber(-3), "-3");
    assert.equal(E.signedSpaceNumber(-0), " 0");
    // Scores as large as 32767 states of weight 32767 and value 32767 can make.
    let seed = 7;
    const next = () => (seed = (seed * 1103515245 + 12345) % 2147483648);
    const largest = 32767 * 32767 * 32767;
    for (let i = 0; i < 20000; ++i) {
      const total = (next() % 2 ? 1 : -1) * (1 + Math.floor((next() / 2147483648) * largest));
      const score = Math.floor((next() / 2147483648) * 2 * largest) - largest;
      assert.equal(E.percentOf(score, total), referencePercent(score, total), score + " / " + total);
    }
  },

  damagedKeyData() {
    const damaged = [
      ["format", (d) => { d.format = 2; }],
      ["counts", (d) => { d.counts = null; }],
      ["species count", (d) => { d.counts.species = 40000; }],
      ["species list", (d) => { d.species.pop(); }],
      ["a species name", (d) => { d.species[0] = 12; }],
      ["a weight", (d) => { d.weights[0] = 40000; }],
      ["matrix bits", (d) => { d.matrix.bits = 17; }],
      ["matrix length", (d) => { d.matrix.data = d.matrix.data.slice(0, -4); }],
      ["matrix text", (d) => { d.matrix.data = "*" + d.matrix.data.slice(1); }],
      // Questions answered one state at a time are packed as one number per species.
      ["matrix choices overlap", (d) => { d.matrix.choices.objects.push(d.matrix.choices.objects[0]); }],
      ["matrix choices length", (d) => { d.matrix.choices.data = d.matrix.choices.data.slice(0, -4); }],
      ["matrix choices question", (d) => { d.matrix.choices.objects[0] = d.objects.length; }],
      ["a question", (d) => { d.objects[0].first = "3"; }],
      ["a question's mark", (d) => { d.objects[0].mark = { button: 1 }; }],
      ["state codes", (d) => { d.stateCodes.push("X"); }],
      ["dependants", (d) => { d.dependants["0"] = [d.objects.length]; }],
      ["dependants key", (d) => { d.dependants["01"] = [0]; }],
      ["parents", (d) => { d.parents[String(d.objects.length)] = [0]; }],
      ["a variant", (d) => { d.variants.push({ drawing: 0, name: "X", conditions: [true] }); }],
      ["a button", (d) => { d.deterButtons.push({ key: "K" }); }],
      ["texts", (d) => { d.texts["1075"] = ["a", "b"]; }],
      ["not an object", (d) => d && null],
    ];
    for (const [what, damage] of damaged) {
      const data = raw();
      const replaced = damage(data);
      assert.throws(() => E.loadKey(replaced === null ? null : data), /the key data are damaged/, what);
    }
    // The key data are used whole or not at all: the loaded key cannot be changed after.
    assert.throws(() => { key.species[0] = "x"; }, TypeError);
  },

  identificationFiles() {
    const id = new E.Identification(key);
    const r = key.objects.findIndex((o) => o.count > 1);
    id.answer(r, 1);
    const before = id.toQnt();
    assert.equal(before.length, 2 * (key.stateCount + key.frameCount));
    // A value no description holds: refused whole, nothing changed.
    const foreign = new Uint8Array(before);
    foreign[0] = 2;
    assert.deepEqual(id.fromQnt(foreign), { ok: false, foreign: true, lengthDiffers: false });
    assert.deepEqual(id.toQnt(), before);
    // Longer than any description of any base: refused before it is read.
    assert.equal(id.fromQnt(new Uint8Array(2 * 65534 + 2)).foreign, true);
    assert.deepEqual(id.toQnt(), before);
    // A shorter file is read as far as it goes; the rest keeps its values.
    const other = new E.Identification(key);
    const short = new Uint8Array(3);
    short[0] = 1;
    const read = other.fromQnt(short);
    assert.equal(read.ok && read.lengthDiffers, true);
    assert.equal(other.stateChoice[0], 1);
    // What is written reads back the same, and the history starts afresh.
    const again = new E.Identification(key);
    assert.equal(again.fromQnt(before).ok, true);
    assert.deepEqual(again.toQnt(), before);
    assert.equal(again.canUndo(), false);
    assert.deepEqual(again.listLines(), id.listLines());
  },

  links() {
    const id = new E.Identification(key);
    const answerable = key.objects.map((o, r) => r).filter((r) => key.objects[r].count > 1);
    id.answer(answerable[0], 1);
    id.answer(answerable[2], 0);
    const fragment = id.toFragment();
    assert.match(fragment, /^v1;k=\d+\.\d+;s=\d+(\.\d+)*;f=/);
    const copy = new E.Identification(key);
    assert.equal(copy.fromFragment("#" + fragment), true);
    assert.deepEqual(copy.toQnt(), id.toQnt());
    assert.equal(copy.legend(), id.legend());
    const untouched = copy.toQnt();
    const refused = [
      fragment.replace(/k=\d+/, "k=99999"),                       // another key
      fragment.replace(/s=\d+/, "s=" + key.stateCount),          // a state past the last
      fragment.replace(/f=.*$/, "f=" + key.frameCount),          // a frame past the last
      fragment + ";",                                            // trailing junk
      "v2" + fragment.slice(2),                                  // another version
      "v1;k=1.1;s=" + "1.".repeat(300000) + "1;f=",              // overlong
      "",
    ];
    for (const bad of refused) {
      assert.equal(copy.fromFragment(bad), false, bad.slice(0, 60));
      assert.deepEqual(copy.toQnt(), untouched);
    }
  },

  // The key data file is read as data: a script in its place is refused, never run; a pipe
  // given as an identification file is refused at once.
  commandLineSafety() {
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), "vireka-cli-"));
    const marker = path.join(dir, "ran");
    const hostile = path.join(dir, "key.js");
    fs.writeFileSync(hostile, prefix + "require('fs').writeFileSync(" + JSON.stringify(marker) + ", 'x');\n");
    const cli = path.join(site, "engine", "cli.mjs");
    let r = spawnSync(process.execPath, [cli, "rank", "--key", hostile], { encoding: "utf8" });
    assert.equal(r.status, 2, r.stderr);
    assert.match(r.stderr, /not key data/);
    assert.equal(fs.existsSync(marker), false);
    const fifo = path.join(dir, "pipe.qnt");
    execFileSync("mkfifo", [fifo]);
    r = spawnSync(process.execPath, [cli, "rank", "--qnt", fifo], { encoding: "utf8", timeout: 20000 });
    assert.equal(r.status, 2, r.stderr);
    assert.match(r.stderr, /not a regular file/);
    r = spawnSync(process.execPath, [cli, "rank", "--threshold", "x"], { encoding: "utf8" });
    assert.equal(r.status, 2);
    fs.rmSync(dir, { recursive: true, force: true });
  },
};

if (!cases[which]) {
  console.error("no case " + which);
  process.exit(2);
}
cases[which]();
