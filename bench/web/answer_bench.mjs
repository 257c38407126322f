// One answer on a large key in the web engine: the answer written into the description, the
// species ranked again, the list and legend made; and Search from the same description.
// Measured against one streaming pass over the key's matrix in the same run, interleaved with
// the work, as the other benchmarks are; the figures kept are the fastest samples.
//
// With NATIVE (the bench_nativepass program), each sample also runs a native pass over a matrix
// of the key's size, and Search is timed on large ties (an eighth, half, all but one and all
// of the species leading together), each against the native pass, in wall and CPU time.
//
//   node bench/web/answer_bench.mjs SITE [SAMPLES] [NATIVE]   (default 15 samples)
import { spawnSync } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import vm from "node:vm";
import { performance } from "node:perf_hooks";

const [site, samplesArg, native] = process.argv.slice(2);
const samples = Math.max(5, Number(samplesArg) || 15);
vm.runInThisContext(fs.readFileSync(path.join(site, "engine", "vireka-engine.js"), "utf8"));
const prefix = "globalThis.VIREKA_KEY = ";
let t0 = performance.now();
const text = fs.readFileSync(path.join(site, "data", "key.js"), "utf8").trim();
const data = JSON.parse(text.slice(prefix.length, -1));
const key = VirekaEngine.loadKey(data);
const loadMs = performance.now() - t0;
t0 = performance.now();
const id = new VirekaEngine.Identification(key);
const startMs = performance.now() - t0;

// The baseline: every cell of the matrix read once, column by column.
function pass() {
  let s = 0;
  for (let state = 0; state < key.stateCount; ++state) s += key.matrix.sum(state, null, 0);
  return s;
}

let seed = 1;
const next = (n) => ((seed = (seed * 1103515245 + 12345) % 2147483648) % n);
const askable = key.objects.map((o, r) => r).filter((r) => key.objects[r].count > 1);
const passes = [], answers = [], searches = [];
let sink = 0;
for (let s = 0; s < samples; ++s) {
  let t = performance.now();
  sink += pass();
  passes.push(performance.now() - t);
  // Five answers to different questions, one batch: the mean is the sample.
  t = performance.now();
  for (let a = 0; a < 5; ++a) {
    const r = askable[next(askable.length)];
    id.answer(r, next(key.objects[r].count));
    sink += id.listLines().length + id.legend().length;
  }
  answers.push((performance.now() - t) / 5);
  t = performance.now();
  sink += id.best().object;
  searches.push(performance.now() - t);
  id.clear();
}
const min = (a) => Math.min(...a);
const f = (v) => v.toFixed(2);
console.log(`key: ${key.speciesCount} species, ${key.stateCount} states, ` +
            `${key.objects.length} questions; key.js ${(fs.statSync(path.join(site, "data", "key.js")).size / 1048576).toFixed(1)} MB`);
console.log(`load ${f(loadMs)} ms, first ranking ${f(startMs)} ms`);
console.log(`pass_ms ${f(min(passes))}  answer_ms ${f(min(answers))}  vs_pass ${f(min(answers) / min(passes))}  ` +
            `search_ms ${f(min(searches))}  samples ${samples}`);
if (native) tieBench();
if (sink === 0.5) console.log("");

// Search with the first T species of a shuffled order leading together, T from an eighth of
// the key to all of it, against a native pass run in the same sample.
function tieBench() {
  const N = key.speciesCount;
  const order = new Int32Array(N);
  for (let i = 0; i < N; ++i) order[i] = i;
  for (let i = N - 1; i > 0; --i) {
    const j = next(i + 1);
    [order[i], order[j]] = [order[j], order[i]];
  }
  const ties = [["eighth", Math.max(1, N >> 3)], ["half", N >> 1], ["all_but_one", N - 1],
                ["all", N]];
  const cpu = () => { const u = process.cpuUsage(); return (u.user + u.system) / 1000; };
  const wall = { native: [] }, cpuTimes = { native: [] };
  for (const [name] of ties) { wall[name] = []; cpuTimes[name] = []; }
  for (let s = 0; s < samples; ++s) {
    const run = spawnSync(native, [String(N), String(key.stateCount), "3"], { encoding: "utf8" });
    const m = /native_pass_ms ([\d.]+) cpu_ms ([\d.]+)/.exec(run.stdout || "");
    if (!m) throw new Error("the native pass did not run: " + (run.stderr || run.error));
    wall.native.push(Number(m[1]));
    cpuTimes.native.push(Number(m[2]));
    for (const [name, T] of ties) {
      id.clear();
      id.rankSpecies.set(order);
      id.topCount = T;
      const w0 = performance.now(), c0 = cpu();
      sink += id.search().object;
      cpuTimes[name].push(cpu() - c0);
      wall[name].push(performance.now() - w0);
    }
  }
  const nativeWall = min(wall.native), nativeCpu = min(cpuTimes.native);
  console.log(`native_pass_ms ${f(nativeWall)} (cpu ${f(nativeCpu)})  ` +
              `js_pass_ms ${f(min(passes))}  goal: Search <= 2 native passes`);
  for (const [name, T] of ties)
    console.log(`search_tie_${name} (${T} species): ${f(min(wall[name]))} ms = ` +
                `${f(min(wall[name]) / nativeWall)} native passes; cpu ${f(min(cpuTimes[name]))} ms = ` +
                `${f(min(cpuTimes[name]) / nativeCpu)}`);
}
