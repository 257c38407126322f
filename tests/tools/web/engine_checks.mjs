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

// The matrix cell by cell as web/CONTRACT.md describes its packed form: the value of species
// s in state j at [j * species + s]. Read a bit at a time, independently of the engine.
const widthOf = (n) => n.toString(2).length;
function denseMatrix(d) {
  const N = d.species.length, S = d.stateCodes.length, m = d.matrix;
  const dense = new Int32Array(N * S).fill(m.offset);
  if (m.bits === 0) return dense;
  const read = (bytes, at, n) => {
    let x = 0;
    for (let b = 0; b < n; ++b) x |= ((bytes[(at + b) >> 3] >> ((at + b) & 7)) & 1) << b;
    return x;
  };
  const covered = new Set();
  if (m.choices) {
    const bytes = Buffer.from(m.choices.data, "base64");
    let at = 0;
    for (const r of m.choices.objects) {
      const o = d.objects[r], w = widthOf(o.count);
      for (let s = 0; s < N; ++s, at += w) {
        const position = read(bytes, at, w);
        if (position > 0) dense[(o.first + position - 1) * N + s] = m.offset + 1;
      }
      for (let k = 0; k < o.count; ++k) covered.add(o.first + k);
    }
  }
  const bytes = Buffer.from(m.data, "base64");
  let at = 0;
  for (let j = 0; j < S; ++j) {
    if (covered.has(j)) continue;
    for (let s = 0; s < N; ++s, at += m.bits) dense[j * N + s] = m.offset + read(bytes, at, m.bits);
  }
  return dense;
}

// Packs a dense matrix into d.matrix as the exporter may: the questions whose species show at
// most one state above the lowest value as positions (when `choices`), the rest as columns.
function packMatrix(d, dense, choices) {
  const N = d.species.length, S = d.stateCodes.length;
  let low = Infinity, high = -Infinity;
  for (const v of dense) { low = Math.min(low, v); high = Math.max(high, v); }
  if (dense.length === 0) low = high = 0;
  const bits = widthOf(high - low);
  const chosen = [], covered = new Set();
  if (choices && bits > 0) {
    d.objects.forEach((o, r) => {
      if (o.count < 2 || o.first < 0 || o.first + o.count > S) return;
      for (let k = 0; k < o.count; ++k) if (covered.has(o.first + k)) return;
      for (let s = 0; s < N; ++s) {
        let raised = 0;
        for (let k = 0; k < o.count; ++k) {
          const v = dense[(o.first + k) * N + s] - low;
          if (v > 1) return;
          raised += v;
        }
        if (raised > 1) return;
      }
      chosen.push(r);
      for (let k = 0; k < o.count; ++k) covered.add(o.first + k);
    });
  }
  const writer = () => {
    const bytes = [];
    let at = 0;
    return {
      put(v, n) {
        for (let b = 0; b < n; ++b, ++at) {
          if ((at >> 3) >= bytes.length) bytes.push(0);
          bytes[at >> 3] |= ((v >> b) & 1) << (at & 7);
        }
      },
      text: () => Buffer.from(bytes).toString("base64"),
    };
  };
  const picks = writer(), rest = writer();
  for (const r of chosen) {
    const o = d.objects[r];
    for (let s = 0; s < N; ++s) {
      let position = 0;
      for (let k = 0; k < o.count; ++k) if (dense[(o.first + k) * N + s] !== low) position = k + 1;
      picks.put(position, widthOf(o.count));
    }
  }
  if (bits > 0)
    for (let j = 0; j < S; ++j)
      if (!covered.has(j)) for (let s = 0; s < N; ++s) rest.put(dense[j * N + s] - low, bits);
  d.matrix = { offset: low, bits, data: bits > 0 ? rest.text() : "" };
  if (chosen.length > 0) d.matrix.choices = { objects: chosen, data: picks.text() };
}

// Species by decreasing score, then increasing index, from the dense matrix.
function referenceOrder(d, dense, choice) {
  const N = d.species.length, S = d.stateCodes.length;
  const scores = new Array(N).fill(0);
  for (let j = 0; j < S; ++j)
    if (choice[j] !== 0)
      for (let s = 0; s < N; ++s) scores[s] += d.weights[j] * choice[j] * dense[j * N + s];
  const order = scores.map((v, s) => s).sort((a, b) => scores[b] - scores[a] || a - b);
  return { order, scores: order.map((s) => scores[s]) };
}

// The search's score of every question, its counts taken from the dense matrix over the
// leading species.
function referenceSearch(k, dense, id) {
  const N = k.speciesCount, t = id.topCount, top = Array.from(id.rankSpecies.subarray(0, t));
  return k.objects.map((o) => {
    const chosen = id.stateChoice.subarray(o.first, o.first + o.count).some((v) => v !== 0);
    if (o.count <= 1 || chosen || !id.jokerFlags[o.descriptor]) return 0;
    let score = 0;
    for (let l = 0; l < o.count; ++l) {
      let c = 0;
      for (const s of top) c += dense[(o.first + l) * N + s];
      if (c !== 0) score -= (c / t) * E.portableLog(t / c) / E.portableLog(o.count);
    }
    return Math.abs(score);
  });
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

  // Every packed form of the matrix (positions of one state per question, whole columns of
  // one to sixteen bits, offsets below zero) reads back cell for cell, and the species rank
  // by score then index however far apart the scores are (weights of both signs up to
  // 32767, values up to 32767).
  matrixLayouts() {
    const original = denseMatrix(raw());
    const N = key.speciesCount, S = key.stateCount;
    let seed = 11;
    const next = (n) => (seed = (seed * 1103515245 + 12345) % 2147483648) % n;
    const variants = [
      ["as exported", (d) => d, null],
      ["columns only", (d) => packMatrix(d, original, false), original],
      ["positions", (d) => packMatrix(d, original, true), original],
      ["below zero", (d) => packMatrix(d, original.map((v) => v - 3), true), original.map((v) => v - 3)],
      ["two bits", (d) => { const m = original.map((v, c) => (c % 13 === 0 ? 3 : v) - 2);
                            packMatrix(d, m, true); return m; }, null],
      ["sixteen bits", (d) => { const m = original.map((v, c) => (c % 17 === 0 ? 32767 - (c % 5) : v));
                                packMatrix(d, m, true); return m; }, null],
    ];
    for (const [what, pack, given] of variants) {
      const d = raw();
      const made = pack(d);
      const dense = given || (made instanceof Int32Array ? made : original);
      d.weights = d.weights.map((w, j) => (j % 3 === 0 ? 32767 - next(100) : j % 3 === 1 ? w : -next(32768)));
      const k = E.loadKey(d);
      for (let j = 0; j < S; ++j)
        for (let s = 0; s < N; ++s)
          if (k.value(s, j) !== dense[j * N + s])
            assert.fail(what + ": species " + s + ", state " + j + ": " + k.value(s, j) + " not " + dense[j * N + s]);
      const id = new E.Identification(k);
      for (let round = 0; round < 12; ++round) {
        const r = next(k.objects.length), o = k.objects[r];
        if (o.count > 0) id.answer(r, next(o.count));
        const expected = referenceOrder(d, dense, id.stateChoice);
        assert.deepEqual(Array.from(id.rankSpecies), expected.order, what + ", round " + round);
        assert.deepEqual(Array.from(id.rankScore), expected.scores, what + ", round " + round);
        assert.deepEqual(id.searchScores(), referenceSearch(k, dense, id), what + ", round " + round);
      }
    }
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
