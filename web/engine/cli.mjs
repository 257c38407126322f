// Prints what `vireka-kb rank` and `vireka-kb best` print, with the web engine and the key
// data of the site this file belongs to:
//
//   node engine/cli.mjs rank [--threshold N] [--qnt FILE] [--measure KEY=VALUE]...
//   node engine/cli.mjs best [--threshold N] [--scores] [--qnt FILE]
//   (either with [--language LANG])
//   node engine/cli.mjs rank|best [options] --qnt-list LIST
//   node engine/cli.mjs batch rank|best [--threshold N] [--scores] FILE...
//
// With a list (one path a line) or in batch, the key is loaded once and, for each
// identification file, "== FILE" is printed and then what the single command prints for it
// (or "error: MESSAGE"), as vireka-kb does with --qnt-list. Each --measure KEY=VALUE then
// answers the measured question KEY with the value as typed in the player.
// --key FILE reads another key data file than ../data/key.js. --language LANG (en, es, fr, ...)
// says the messages and the legend in that language, and best follows the question's key with
// a tab and its text in that language where the site's ../data/assets.js gives one.
import fs from "node:fs";
import path from "node:path";
import vm from "node:vm";
import { fileURLToPath } from "node:url";

const here = path.dirname(fileURLToPath(import.meta.url));
const KEY_PREFIX = "globalThis.VIREKA_KEY = ";
const ASSETS_PREFIX = "globalThis.VIREKA_ASSETS = ";
// A key of 32767 species and 32767 states packed in 16 bits would not be larger.
const MAX_KEY_BYTES = 1 << 30;
// The description, then a trailer of at most 32767 typed values.
const MAX_QNT_BYTES = 2 * (32767 + 32767) + 20 + 12 * 32767;

const USAGE =
  "usage: node cli.mjs rank [--threshold N] [--qnt FILE] [--measure KEY=VALUE]...\n" +
  "       node cli.mjs best [--threshold N] [--scores] [--qnt FILE] [--measure KEY=VALUE]...\n" +
  "       node cli.mjs rank|best [--threshold N] [--scores] --qnt-list FILE\n" +
  "       node cli.mjs batch rank|best [--threshold N] [--scores] FILE...\n" +
  "Prints the species list and legend (rank) or the question Search proposes (best) as\n" +
  "vireka-kb prints them; --key FILE reads that key data instead of ../data/key.js;\n" +
  "--language LANG prints in that language as vireka-kb --language does.\n";

class Failure extends Error {}

// Only a regular file is read, and only up to `limit` bytes: a device, a pipe or a huge
// file is refused before anything is read. Returns null when the file is larger.
function readBounded(file, limit) {
  const fd = fs.openSync(file, fs.constants.O_RDONLY | (fs.constants.O_NONBLOCK ?? 0));
  try {
    const info = fs.fstatSync(fd);
    if (!info.isFile()) throw new Failure(file + " is not a regular file");
    if (info.size > limit) return null;
    const bytes = Buffer.alloc(info.size);
    let got = 0;
    while (got < info.size) {
      const n = fs.readSync(fd, bytes, got, info.size - got, got);
      if (n === 0) break;
      got += n;
    }
    return bytes.subarray(0, got);
  } finally {
    fs.closeSync(fd);
  }
}

function loadEngine() {
  const file = path.join(here, "vireka-engine.js");
  const source = readBounded(file, 16 << 20);
  if (!source) throw new Failure(file + " is too large");
  vm.runInThisContext(source.toString("utf8"), { filename: file });
  return globalThis.VirekaEngine;
}

// The data files are scripts only for the browser; here they are read as the JSON they hold,
// so nothing in them runs.
function loadScriptData(file, prefix, what) {
  let bytes;
  try {
    bytes = readBounded(file, MAX_KEY_BYTES);
  } catch (e) {
    throw new Failure("cannot read the " + what + " " + file + ": " + e.message);
  }
  if (!bytes) throw new Failure(file + " is too large to be " + what);
  const text = bytes.toString("utf8").trimEnd();
  if (!text.startsWith(prefix) || !text.endsWith(";"))
    throw new Failure(file + " is not " + what + " of a Vireka web site");
  try {
    return JSON.parse(text.slice(prefix.length, -1));
  } catch (e) {
    throw new Failure(file + " is not " + what + " of a Vireka web site: " + e.message);
  }
}

function loadKeyData(file) {
  return loadScriptData(file, KEY_PREFIX, "key data");
}

// The question texts of language `tag` from the site's assets, by upper-case question key;
// empty when the key has none in it (a site without the assets file has none either).
function questionTexts(keyFile, tag) {
  const file = path.join(path.dirname(keyFile), "assets.js");
  if (!fs.existsSync(file)) return {};
  const languages = loadScriptData(file, ASSETS_PREFIX, "asset data").languages;
  const texts = languages && Object.prototype.hasOwnProperty.call(languages, tag)
    ? languages[tag] : null;
  const questions = texts && texts.questions;
  return questions && typeof questions === "object" ? questions : {};
}

// The interface language of a tag, as the program numbers it: English for any it lacks.
function interfaceLanguage(tag) {
  return tag === "es" ? 1 : tag === "fr" ? 2 : 0;
}

function parse(args, allowFiles) {
  const options = { threshold: -1, scores: false, qnt: null, key: null, list: null, files: [],
                    measures: [], language: null };
  for (let i = 0; i < args.length; ++i) {
    const a = args[i];
    if (a === "--scores") options.scores = true;
    else if (a === "--measure" && i + 1 < args.length) options.measures.push(args[++i]);
    else if (a === "--threshold" || a === "--qnt" || a === "--key" || a === "--qnt-list" ||
             a === "--language") {
      if (i + 1 >= args.length) throw new Failure("option " + a + " needs a value\n" + USAGE);
      const v = args[++i];
      if (a === "--threshold") {
        if (!/^[+-]?\d+$/.test(v.trim()) || Math.abs(Number(v)) > 2147483647)
          throw new Failure("--threshold needs a whole number");
        options.threshold = Number(v);
      } else if (a === "--language") {
        if (v.trim() === "") throw new Failure("--language needs a language such as fr");
        options.language = v.trim().toLowerCase();
      } else options[a === "--qnt-list" ? "list" : a.slice(2)] = v;
    } else if (allowFiles && !a.startsWith("--")) options.files.push(a);
    else throw new Failure("unknown argument '" + a + "'\n" + USAGE);
  }
  return options;
}

function format(template, value) {
  return (template ?? "%1").replace("%1", value);
}

// Opens an identification file as the desktop does; warnings go to `warn`.
function openQnt(id, key, file, warn) {
  let bytes;
  try {
    bytes = readBounded(file, MAX_QNT_BYTES);
  } catch (e) {
    throw new Failure(file + (key.text(1074, id.language) ?? "") + " (" + e.message + ")");
  }
  if (!bytes) throw new Failure(format(key.text(1601, id.language), file));
  const result = id.fromQnt(new Uint8Array(bytes));
  if (result.foreign) throw new Failure(format(key.text(1601, id.language), file));
  if (result.lengthDiffers) warn(format(key.text(1600, id.language), file));
}

// Each --measure KEY=VALUE, in the order given, as the field of the question's picture.
function answerMeasures(id, key, measures) {
  for (const m of measures) {
    const equals = m.indexOf("=");
    const name = equals < 0 ? m : m.slice(0, equals), value = m.slice(equals + 1);
    let outcome = "not measured";
    if (equals >= 0 && key.objectIndex(name) >= 0) outcome = id.answerMeasure(name, value).outcome;
    if (outcome === "chosen") continue;
    if (outcome === "not measured")
      throw new Failure("--measure " + m + ": no question " + name + " is answered by a number");
    throw new Failure("--measure " + m + ": " +
                      format(key.text(outcome === "not a number" ? 1861 : 1862, id.language), value));
  }
}

function rankLines(id) {
  return [...id.listLines(), id.legend()];
}

function bestLines(id, key, withScores, texts) {
  // As vireka-kb best: the scores first (which takes every species as leading when none
  // is listed), then Search.
  id.searchScores();
  const best = id.best();
  let first = best.message;
  if (best.outcome === "question") {
    const o = key.objects[best.object];
    first = o.key;
    // In a language asked for, the question as a person reads it follows its key.
    if (texts) {
      const local = texts[String(o.key).toUpperCase()];
      first += "\t" + (typeof local === "string" ? local : o.text);
    }
  }
  const lines = [first];
  if (withScores) key.objects.forEach((o, r) => lines.push(o.key + "\t" + best.scoreText(r)));
  return lines;
}

function run(argv) {
  const command = argv[0];
  if (command === undefined || command === "--help" || command === "-h") {
    process.stdout.write(USAGE);
    return command === undefined ? 2 : 0;
  }
  const named = command === "batch";
  const what = named ? argv[1] : command;
  if (what !== "rank" && what !== "best") throw new Failure("unknown command '" + what + "'\n" + USAGE);
  const options = parse(argv.slice(named ? 2 : 1), named);
  if (options.list !== null) {
    const list = readBounded(options.list, 64 << 20);
    if (!list) throw new Failure(options.list + " is too large");
    for (const line of list.toString("utf8").split("\n"))
      if (line.trim() !== "") options.files.push(line.trim());
  }
  const batch = named || options.list !== null;
  if (what === "rank" && options.scores) throw new Failure("unknown argument '--scores'\n" + USAGE);
  const engine = loadEngine();
  const keyFile = options.key ?? path.join(here, "..", "data", "key.js");
  let key;
  try {
    key = engine.loadKey(loadKeyData(keyFile));
  } catch (e) {
    throw new Failure(e instanceof Failure ? e.message : "cannot load the knowledge base: " + e.message);
  }
  const texts = options.language === null ? null : questionTexts(keyFile, options.language);
  const language = interfaceLanguage(options.language);
  const lines = (id) => (what === "rank" ? rankLines(id) : bestLines(id, key, options.scores, texts));
  const warn = (message) => process.stderr.write(message + "\n");
  const out = [];
  if (!batch) {
    const id = new engine.Identification(key, { threshold: options.threshold, language });
    if (options.qnt !== null) openQnt(id, key, options.qnt, warn);
    answerMeasures(id, key, options.measures);
    process.stdout.write(lines(id).join("\n") + "\n");
    return 0;
  }
  for (const file of options.files) {
    out.push("== " + file);
    try {
      const id = new engine.Identification(key, { threshold: options.threshold, language });
      openQnt(id, key, file, warn);
      answerMeasures(id, key, options.measures);
      out.push(...lines(id));
    } catch (e) {
      if (!(e instanceof Failure)) throw e;
      out.push("error: " + e.message);
    }
  }
  process.stdout.write(out.join("\n") + (out.length ? "\n" : ""));
  return 0;
}

try {
  process.exitCode = run(process.argv.slice(2));
} catch (e) {
  if (!(e instanceof Failure)) throw e;
  const name = process.argv[2] === "batch" ? "batch" : process.argv[2];
  process.stderr.write("cli.mjs " + name + ": " + e.message + "\n");
  process.exitCode = 2;
}
