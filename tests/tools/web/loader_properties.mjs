// Random and mutated input for the web player's loaders: the key data, ".qnt" files and the
// link's fragment. Whatever they are given, the loaders refuse it with their own message or
// take it, never throw anything else, and leave the identification in a sane state.
//   node loader_properties.mjs SITE [ROUNDS] [SEED]
// Exits 0 when every round holds; the first failure prints its seed and input.
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import vm from "node:vm";

const [site, roundsText, seedText] = process.argv.slice(2);
const rounds = Number(roundsText || 400);
vm.runInThisContext(fs.readFileSync(path.join(site, "engine", "vireka-engine.js"), "utf8"));
const E = globalThis.VirekaEngine;
const prefix = "globalThis.VIREKA_KEY = ";
const rawText = fs.readFileSync(path.join(site, "data", "key.js"), "utf8").trim();
const raw = () => JSON.parse(rawText.slice(prefix.length, -1));
const key = E.loadKey(raw());

// A small generator of its own, so that a failing round can be replayed from its seed.
let seed = Number(seedText || 20261211) >>> 0;
const next = () => {
  seed = (seed + 0x6d2b79f5) >>> 0;
  let t = seed;
  t = Math.imul(t ^ (t >>> 15), t | 1);
  t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
  return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
};
const below = (n) => Math.floor(next() * n);
const pick = (list) => list[below(list.length)];

const oddValues = () => [
  null, undefined, true, false, 0, -1, 1, 2, 32767, 32768, -32769, 65535, 1e308, -0, NaN,
  Infinity, 0.5, "", "0", "x", "A".repeat(below(5000)), [], [0], [null], {}, { length: 3 },
  [1, 2, 3], "\u0000\ud800", Array(below(50)).fill(below(3)),
];

// Changes one place of a JSON value: a value replaced, a member removed, an array cut or
// doubled, a number nudged.
function mutate(value, depth = 0) {
  if (value === null || typeof value !== "object" || depth > 6 || next() < 0.15) {
    if (typeof value === "number" && next() < 0.5) return value + pick([-1, 1, 32768, -65536]);
    if (typeof value === "string" && next() < 0.5) return value.slice(0, below(value.length + 1));
    return pick(oddValues());
  }
  const keys = Object.keys(value);
  if (keys.length === 0) return pick(oddValues());
  if (Array.isArray(value) && next() < 0.2)
    return next() < 0.5 ? value.slice(0, below(value.length)) : value.concat(value);
  const k = pick(keys);
  if (!Array.isArray(value) && next() < 0.1) {
    delete value[k];
    return value;
  }
  value[k] = mutate(value[k], depth + 1);
  return value;
}

// The identification after any load: its arrays keep their sizes and hold only the values
// a description may hold, and everything the page shows can still be computed.
function assertSane(id, k, what) {
  assert.equal(id.stateChoice.length, k.stateCount, what);
  assert.equal(id.frameState.length, k.frameCount, what);
  assert.ok(id.stateChoice.every((v) => v === 0 || v === 1), what);
  assert.ok(id.frameState.every((v) => v === 0 || v === -1), what);
  const lines = id.listLines();
  assert.ok(Array.isArray(lines) && lines.length <= k.speciesCount, what);
  assert.equal(typeof id.legend(), "string", what);
  id.questions("");
  id.layers();
  id.toQnt();
  const again = new E.Identification(k);
  assert.equal(again.fromFragment(id.toFragment()), true, what);
  assert.deepEqual(again.toQnt(), id.toQnt(), what);
}

function expectOnlyRefusal(run, pattern, what) {
  try {
    return run();
  } catch (e) {
    if (!(e instanceof Error) || !pattern.test(e.message))
      throw new Error(what + ": threw " + (e && e.stack ? e.stack : e));
    return undefined;
  }
}

const counts = { keyTaken: 0, keyRefused: 0, qntRead: 0, qntRefused: 0, linkRead: 0, linkRefused: 0 };

// The key data.
for (let round = 0; round < rounds; ++round) {
  const data = raw();
  const changes = 1 + below(3);
  let damaged = data;
  for (let c = 0; c < changes; ++c) damaged = mutate(damaged);
  const what = "key data, round " + round + " (seed " + seedText + ")";
  const k = expectOnlyRefusal(() => E.loadKey(damaged), /the key data are damaged/, what);
  if (!k) {
    ++counts.keyRefused;
    continue;
  }
  ++counts.keyTaken;
  const id = expectOnlyRefusal(() => new E.Identification(k), /^$/, what);
  for (let step = 0; step < 5 && k.objects.length > 0; ++step) {
    const q = below(k.objects.length);
    const o = k.objects[q];
    if (o.count > 0) id.answer(q, below(o.count));
    if (next() < 0.3) id.search();
  }
  assertSane(id, k, what);
}

// ".qnt" files: random bytes, and real files with some bytes changed.
const valid = (() => {
  const id = new E.Identification(key);
  const r = key.objects.findIndex((o) => o.count > 1);
  id.answer(r, 1);
  return id.toQnt();
})();
for (let round = 0; round < rounds; ++round) {
  let bytes;
  if (next() < 0.4) {
    bytes = new Uint8Array(below(2 * valid.length + 8));
    for (let i = 0; i < bytes.length; ++i) bytes[i] = next() < 0.7 ? pick([0, 1, 0xff]) : below(256);
  } else {
    bytes = valid.slice(0, next() < 0.3 ? below(valid.length + 1) : valid.length);
    for (let c = below(4); c > 0 && bytes.length > 0; --c) bytes[below(bytes.length)] = below(256);
  }
  const what = ".qnt, round " + round;
  const id = new E.Identification(key);
  id.answer(key.objects.findIndex((o) => o.count > 1), 0);
  const before = id.toQnt();
  const outcome = id.fromQnt(next() < 0.1 ? bytes.buffer : bytes);
  assert.equal(typeof outcome.ok, "boolean", what);
  if (outcome.ok) ++counts.qntRead;
  else {
    ++counts.qntRefused;
    assert.deepEqual(id.toQnt(), before, what + ": a refused file changed the description");
  }
  assertSane(id, key, what);
}

// Links: random texts, percent escapes, and real fragments with changed characters.
const alphabet = "v1;k=s.f0123456789%#&?-+ \u00e9\ud83d";
const fragment = (() => {
  const id = new E.Identification(key);
  key.objects.forEach((o, q) => { if (o.count > 1 && next() < 0.3) id.answer(q, 1); });
  return id.toFragment();
})();
for (let round = 0; round < rounds; ++round) {
  let text;
  if (next() < 0.4) {
    text = Array.from({ length: below(80) }, () => pick(alphabet)).join("");
  } else {
    const chars = Array.from(fragment);
    for (let c = 1 + below(3); c > 0; --c) chars[below(chars.length)] = pick(alphabet);
    text = chars.join("");
  }
  const what = "link, round " + round + ": " + JSON.stringify(text);
  let address = "#" + text;
  try {
    if (next() < 0.5) address = "#" + encodeURIComponent(text);
  } catch (e) {
    // A lone surrogate has no escape; the text goes in as it is.
  }
  const decoded = E.fragmentOfAddress(address);
  assert.equal(typeof decoded, "string", what);
  const id = new E.Identification(key);
  const before = id.toQnt();
  const read = id.fromFragment(decoded);
  assert.equal(typeof read, "boolean", what);
  if (read) ++counts.linkRead;
  else {
    ++counts.linkRefused;
    assert.deepEqual(id.toQnt(), before, what);
  }
  assertSane(id, key, what);
}
// A link as the page receives it after a round trip through the address bar.
assert.equal(E.fragmentOfAddress("#" + encodeURIComponent(fragment)), fragment);
assert.equal(E.fragmentOfAddress("#%E0%A4%A"), "%E0%A4%A");

console.log(JSON.stringify(counts));
