// The identification engine of the exported web site: ranks the species, proposes questions,
// validates answers, finds contradictions and picks the drawing's variants exactly as the
// desktop program does. It is a classic script so that a page opened from a folder (file://)
// can load it; it defines globalThis.VirekaEngine, and Node loads the same file (cli.mjs).
//
// Every score is an integer held in a double: 16-bit weights times 16-bit matrix values,
// summed over at most 32767 states, stay below 2^53, and so does a score times 100; the
// sums and the percentages are therefore exact, as the desktop's 64-bit integers are.
(function (root) {
  "use strict";

  const FORMAT = 1;
  const MAX_COUNT = 32767;
  // No description is longer than 32767 states and 32767 frames of two bytes each.
  const MAX_QNT_DESCRIPTION_BYTES = 2 * (32767 + 32767);
  // The typed values follow the description in a trailer that the program writes and reads
  // alike: "VKTV", version 1, record count N (16 bits), length 20 + 12 N, CRC-32 of the
  // description, N records of a state index (32 bits) and a value (double), CRC-32 of the
  // trailer before it; little-endian throughout.
  const TYPED_MAGIC = [0x56, 0x4b, 0x54, 0x56];
  const TYPED_MAX_RECORDS = 32767;
  const MAX_QNT_BYTES = MAX_QNT_DESCRIPTION_BYTES + 20 + 12 * TYPED_MAX_RECORDS;
  const HISTORY_LIMIT = 500;

  function bad(what) {
    throw new Error("the key data are damaged: " + what);
  }
  function isInt(v, lo, hi) {
    return Number.isInteger(v) && v >= lo && v <= hi;
  }
  function isText(v) {
    return typeof v === "string";
  }
  function isObject(v) {
    return v !== null && typeof v === "object" && !Array.isArray(v);
  }
  function arrayOf(v, what, length) {
    if (!Array.isArray(v)) bad(what + " is not a list");
    if (length !== undefined && v.length !== length)
      bad(what + " holds " + v.length + " entries, not " + length);
    return v;
  }
  const INT32 = 2147483647;

  // ---- base64 and the packed matrix ----

  const BASE64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  // The value of each character code below 256; -1 for a character that is not base64, so
  // that a quad holding one comes out negative however it is shifted.
  const BASE64_VALUE = new Int32Array(256).fill(-1);
  for (let i = 0; i < 64; ++i) BASE64_VALUE[BASE64.charCodeAt(i)] = i;

  // Four characters at a time, checked once at the end: the matrix of a large key is
  // megabytes of text (faster than the browser's atob and a copy out of its string).
  function decodeBase64(text) {
    const n = text.length;
    if (n % 4 !== 0) bad("the matrix is not base64");
    let pad = 0;
    if (n > 0 && text.charCodeAt(n - 1) === 61) pad = text.charCodeAt(n - 2) === 61 ? 2 : 1;
    const out = new Uint8Array((n / 4) * 3 - pad);
    const V = BASE64_VALUE, A = 65;  // "A" stands for the padding: value 0
    let o = 0, wrong = 0, wide = 0;
    for (let i = 0; i < n; i += 4) {
      const c0 = text.charCodeAt(i), c1 = text.charCodeAt(i + 1);
      let c2 = text.charCodeAt(i + 2), c3 = text.charCodeAt(i + 3);
      if (i + 4 === n && pad > 0) {
        c3 = A;
        if (pad === 2) c2 = A;
      }
      wide |= c0 | c1 | c2 | c3;
      const v = (V[c0 & 255] << 18) | (V[c1 & 255] << 12) | (V[c2 & 255] << 6) | V[c3 & 255];
      wrong |= v;
      if (o + 3 <= out.length) {
        out[o] = v >>> 16;
        out[o + 1] = v >>> 8;
        out[o + 2] = v;
        o += 3;
      } else {
        if (o < out.length) out[o++] = v >>> 16;
        if (o < out.length) out[o++] = v >>> 8;
      }
    }
    if (wrong < 0 || wide > 255) bad("the matrix is not base64");
    return out;
  }

  // The fewest bits that hold the number n.
  function bitsFor(n) {
    let bits = 0;
    while (n >>> bits !== 0) ++bits;
    return bits;
  }

  // A base64 text of exactly `expected` bytes; the length is checked before decoding, so a
  // huge text costs no memory.
  function decodeExactly(text, expected, what) {
    if (!isText(text) || text.length !== Math.ceil(expected / 3) * 4) bad(what + " length");
    const bytes = decodeBase64(text);
    if (bytes.length !== expected) bad(what + " length");
    return bytes;
  }

  // A stream of values of up to 16 bits, lowest bit first, stream bit i in byte i >> 3 at
  // bit i & 7; reads past the end give 0 bits. Bytes are taken one at a time into a word (a
  // large key holds tens of millions of values).
  class BitStream {
    constructor(bytes) {
      this.bytes = bytes;
      this.at = 0;      // the next byte
      this.word = 0;    // bits read ahead, lowest first
      this.held = 0;    // how many
    }
    // Writes `count` values of `bits` bits to out[from...], each plus `add`; returns the
    // largest value read (before `add`).
    read(out, from, count, bits, add) {
      const bytes = this.bytes, mask = (1 << bits) - 1;
      let at = this.at, word = this.word, held = this.held, most = 0;
      let n = from;
      const end = from + count;
      // On a byte boundary, eight values of up to four bits are `bits` whole bytes: read
      // them as one word (the positions of a large key are two or three bits each).
      if (held === 0 && bits <= 4) {
        for (; n + 8 <= end && at + bits <= bytes.length; n += 8) {
          let x = bytes[at];
          for (let b = 1; b < bits; ++b) x |= bytes[at + b] << (8 * b);
          at += bits;
          for (let k = 0; k < 8; ++k) {
            const v = (x >>> (k * bits)) & mask;
            if (v > most) most = v;
            out[n + k] = add + v;
          }
        }
      }
      for (; n < end; ++n) {
        while (held < bits) {
          word |= (bytes[at++] | 0) << held;
          held += 8;
        }
        const v = word & mask;
        word >>>= bits;
        held -= bits;
        if (v > most) most = v;
        out[n] = add + v;
      }
      this.at = at;
      this.word = word;
      this.held = held;
      return most;
    }
  }

  // The matrix as the engine keeps it. A question whose species each show at most one of its
  // states at offset + 1 (the data's `choices`) keeps one number per species, the position of
  // that state (0: none), rather than one value per state and species: a key of 10,000
  // species and 1,500 such questions takes 15 MB where whole columns took 50. The other states
  // keep a column each, in the smallest typed array that holds their values. Sized once when
  // the key is read; nothing here allocates afterwards.
  class Matrix {
    constructor(m, N, S, objects) {
      if (!isObject(m)) bad("no matrix");
      if (!isInt(m.offset, -32768, 32767) || !isInt(m.bits, 0, 16) || !isText(m.data))
        bad("the matrix header");
      const top = m.offset + (m.bits === 0 ? 0 : 2 ** m.bits - 1);
      if (top > 32767) bad("the matrix values pass 16 bits");
      this.N = N;
      this.offset = m.offset;
      this.columnOf = new Int32Array(S).fill(-1);  // whole column of a state, or -1
      this.pickOf = new Int32Array(S).fill(-1);    // row of positions of a state, or -1
      this.cellOf = new Uint16Array(S);            // the position that shows the state
      this.values = null;
      this.picks = null;
      this.scratch = null;
      if (m.bits === 0) {
        if (m.data.length !== 0 || m.choices !== undefined) bad("the matrix length");
        return;
      }
      if (m.choices !== undefined) this.readChoices(m.choices, N, S, objects);
      let rest = 0;
      for (let state = 0; state < S; ++state) if (this.pickOf[state] < 0) this.columnOf[state] = rest++;
      const bytes = decodeExactly(m.data, Math.ceil((rest * N * m.bits) / 8), "the matrix");
      const Values = m.offset >= -128 && top <= 127 ? Int8Array : Int16Array;
      this.values = new Values(rest * N);
      if (m.bits === 1) {
        const values = this.values, offset = m.offset;
        for (let c = 0; c < values.length; ++c) values[c] = offset + ((bytes[c >> 3] >> (c & 7)) & 1);
      } else {
        new BitStream(bytes).read(this.values, 0, rest * N, m.bits, m.offset);
      }
    }

    readChoices(choices, N, S, objects) {
      if (!isObject(choices)) bad("the matrix choices");
      const chosen = arrayOf(choices.objects, "the matrix choices").map((r, row) => {
        const o = isInt(r, 0, objects.length - 1) ? objects[r] : null;
        if (!o || o.count < 2 || o.first < 0 || o.first + o.count > S) bad("the matrix choices");
        for (let k = 0; k < o.count; ++k) {
          if (this.pickOf[o.first + k] >= 0) bad("the matrix choices overlap");
          this.pickOf[o.first + k] = row;
          this.cellOf[o.first + k] = k + 1;
        }
        return o;
      });
      let total = 0, widest = 0;
      for (const o of chosen) {
        total += N * bitsFor(o.count);
        widest = Math.max(widest, o.count);
      }
      const bytes = decodeExactly(choices.data, Math.ceil(total / 8), "the matrix choices");
      const picks = new (widest <= 255 ? Uint8Array : Uint16Array)(chosen.length * N);
      const stream = new BitStream(bytes);
      chosen.forEach((o, row) => {
        if (stream.read(picks, row * N, N, bitsFor(o.count), 0) > o.count) bad("the matrix choices");
      });
      this.picks = picks;
    }

    value(species, state) {
      const c = this.columnOf[state];
      if (c >= 0) return this.values[c * this.N + species];
      const p = this.pickOf[state];
      if (p < 0) return this.offset;
      return this.picks[p * this.N + species] === this.cellOf[state] ? this.offset + 1 : this.offset;
    }

    // scores[i] += factor x the value of species i in the state's column.
    addColumn(scores, state, factor) {
      const N = this.N, c = this.columnOf[state];
      if (c >= 0) {
        const values = this.values;
        for (let i = 0, at = c * N; i < N; ++i, ++at) scores[i] += factor * values[at];
        return;
      }
      const base = factor * this.offset;
      if (base !== 0) for (let i = 0; i < N; ++i) scores[i] += base;
      const p = this.pickOf[state];
      if (p < 0) return;
      const picks = this.picks, cell = this.cellOf[state];
      for (let i = 0, at = p * N; i < N; ++i, ++at) if (picks[at] === cell) scores[i] += factor;
    }

    // The sum of the state's column over the first `count` species of `species` (all of them
    // when species is null).
    sum(state, species, count) {
      const N = this.N, c = this.columnOf[state], p = this.pickOf[state];
      const n = species === null ? N : count;
      if (c >= 0) {
        const values = this.values, base = c * N;
        let total = 0;
        if (species === null) for (let i = 0; i < N; ++i) total += values[base + i];
        else for (let i = 0; i < n; ++i) total += values[base + species[i]];
        return total;
      }
      let hits = 0;
      if (p >= 0) {
        const picks = this.picks, base = p * N, cell = this.cellOf[state];
        if (species === null) { for (let i = 0; i < N; ++i) if (picks[base + i] === cell) ++hits; }
        else for (let i = 0; i < n; ++i) if (picks[base + species[i]] === cell) ++hits;
      }
      return this.offset * n + hits;
    }

    // The state's column, in a buffer of the matrix that the next call overwrites.
    column(state) {
      const N = this.N;
      if (this.columnOf[state] >= 0) {
        const at = this.columnOf[state] * N;
        return this.values.subarray(at, at + N);
      }
      if (!this.scratch) this.scratch = new Int16Array(N);
      for (let i = 0; i < N; ++i) this.scratch[i] = this.value(i, state);
      return this.scratch;
    }
  }

  // ---- the key ----

  function checkObjectRow(o, r, objectCount) {
    if (!isObject(o) || !isText(o.key)) bad("question " + r);
    for (const name of ["rows", "columns", "first", "count", "descriptor", "frame"])
      if (!isInt(o[name], -INT32, INT32)) bad("question " + o.key + ": " + name);
    if (!isText(o.text) || !isText(o.picture) || typeof o.joker !== "boolean")
      bad("question " + o.key);
    if (o.group !== undefined && (!isObject(o.group) || !isText(o.group.name) ||
                                  !isInt(o.group.order, -INT32, INT32)))
      bad("question " + o.key + ": group");
    if (o.mark !== undefined && (!isObject(o.mark) || !isInt(o.mark.button, -INT32, INT32) ||
                                 !isText(o.mark.popup)))
      bad("question " + o.key + ": mark");
    void objectCount;
    const measure = o.measure === undefined ? null : checkMeasure(o.measure, o);
    return Object.freeze({
      key: o.key, rows: o.rows, columns: o.columns, first: o.first, count: o.count,
      descriptor: o.descriptor, frame: o.frame, text: o.text, picture: o.picture,
      joker: o.joker,
      group: o.group ? Object.freeze({ name: o.group.name, order: o.group.order }) : null,
      mark: o.mark ? Object.freeze({ button: o.mark.button, popup: o.mark.popup }) : null,
      measure,
    });
  }

  // The ranges of a question answered by a number; null bounds are open ends.
  function checkMeasure(m, o) {
    const what = "question " + o.key + ": measure";
    if (!isObject(m) || !isText(m.unit)) bad(what);
    const bound = (v) => {
      if (v !== null && (typeof v !== "number" || !Number.isFinite(v))) bad(what);
      return v;
    };
    const ranges = arrayOf(m.ranges, what).map((r) => {
      if (!isObject(r) || !isInt(r.state, -INT32, INT32) || typeof r.lowIncluded !== "boolean" ||
          typeof r.highIncluded !== "boolean")
        bad(what);
      return Object.freeze({ state: r.state, low: bound(r.low), high: bound(r.high),
                             lowIncluded: r.lowIncluded, highIncluded: r.highIncluded });
    });
    return Object.freeze({ unit: m.unit, ranges: Object.freeze(ranges) });
  }

  // A number as a person types it: digits with a decimal comma or point and an optional
  // sign; null for anything else.
  function parseMeasure(text) {
    const t = String(text).trim();
    if (t.length > 64 || !/^[+-]?(?:[0-9]+(?:[.,][0-9]*)?|[.,][0-9]+)$/.test(t)) return null;
    const v = Number(t.replace(",", "."));
    return Number.isFinite(v) ? v : null;
  }

  function rangeHolds(r, v) {
    return (r.low === null || v > r.low || (v === r.low && r.lowIncluded)) &&
           (r.high === null || v < r.high || (v === r.high && r.highIncluded));
  }

  // "37 mm": a typed value as the answer of its question.
  function measureText(m, v) {
    const n = String(Number(v.toPrecision(12)));
    return m.unit === "" ? n : n + " " + m.unit;
  }

  let crcTable = null;
  function crc32(bytes) {
    if (!crcTable) {
      crcTable = new Uint32Array(256);
      for (let n = 0; n < 256; ++n) {
        let c = n;
        for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
        crcTable[n] = c >>> 0;
      }
    }
    let c = 0xffffffff;
    for (let i = 0; i < bytes.length; ++i) c = crcTable[(c ^ bytes[i]) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
  }

  // The trailer of typed values [{state, value}] after `body`; empty when there are none.
  function typedTrailer(body, values) {
    if (values.length === 0 || values.length > TYPED_MAX_RECORDS) return new Uint8Array(0);
    const length = 20 + 12 * values.length;
    const out = new Uint8Array(length);
    const view = new DataView(out.buffer);
    out.set(TYPED_MAGIC, 0);
    view.setUint16(4, 1, true);
    view.setUint16(6, values.length, true);
    view.setUint32(8, length, true);
    view.setUint32(12, crc32(body), true);
    values.forEach((v, i) => {
      view.setInt32(16 + 12 * i, v.state, true);
      view.setFloat64(20 + 12 * i, v.value, true);
    });
    view.setUint32(length - 4, crc32(out.subarray(0, length - 4)), true);
    return out;
  }

  // The typed values of a trailer at `at` written with the bytes before it, or null: none,
  // another description's, or malformed. Sizes are checked against the bytes present first.
  function readTypedTrailer(bytes, at, stateCount) {
    if (bytes.length - at < 20 || TYPED_MAGIC.some((b, i) => bytes[at + i] !== b)) return null;
    const view = new DataView(bytes.buffer, bytes.byteOffset + at, bytes.length - at);
    const count = view.getUint16(6, true), length = 20 + 12 * count;
    if (view.getUint16(4, true) !== 1 || count === 0 || count > stateCount ||
        view.getUint32(8, true) !== length || bytes.length - at < length)
      return null;
    if (view.getUint32(length - 4, true) !== crc32(bytes.subarray(at, at + length - 4)) ||
        view.getUint32(12, true) !== crc32(bytes.subarray(0, at)))
      return null;
    const values = [];
    for (let i = 0; i < count; ++i) {
      const state = view.getInt32(16 + 12 * i, true), value = view.getFloat64(20 + 12 * i, true);
      if (state < 0 || state >= stateCount || !Number.isFinite(value)) return null;
      values.push({ state, value });
    }
    return values;
  }

  // A map "number": [number] with keys below keyLimit and values in [lo, hi].
  function indexLists(v, what, keyLimit, lo, hi) {
    if (!isObject(v)) bad(what);
    const lists = new Map();
    for (const name of Object.keys(v)) {
      const k = Number(name);
      if (!isInt(k, 0, keyLimit - 1) || String(k) !== name) bad(what + ": " + name);
      const list = arrayOf(v[name], what);
      for (const x of list) if (!isInt(x, lo, hi)) bad(what + ": " + name);
      lists.set(k, Object.freeze(list.slice()));
    }
    return lists;
  }

  // The record of uncoded cells: by object, the species that leave it uncoded; null when
  // the base keeps none, so that such a key ranks exactly as before.
  function uncodedLists(v, objectCount, speciesCount) {
    if (v === undefined || v === null) return null;
    return Object.freeze(arrayOf(v, "uncoded", objectCount).map((list, r) => {
      arrayOf(list, "uncoded " + r);
      for (const s of list) if (!isInt(s, 0, speciesCount - 1)) bad("uncoded " + r);
      return Int32Array.from(list);
    }));
  }

  function checkVariant(v, i) {
    if (!isObject(v) || !isInt(v.drawing, -INT32, INT32) || !isText(v.name)) bad("variant " + i);
    const conditions = arrayOf(v.conditions, "variant " + i).map((c) => {
      if (isInt(c, 0, INT32) || c === "end" || c === "missing") return c;
      if (isObject(c) && isText(c.unknown)) return Object.freeze({ unknown: c.unknown });
      bad("variant " + i + ": condition");
    });
    return Object.freeze({ drawing: v.drawing, name: v.name, conditions: Object.freeze(conditions) });
  }

  function checkButton(b, i) {
    if (b === null) return null;
    if (!isObject(b) || !isText(b.key) || !isText(b.file) || !isText(b.caption) || !isText(b.text) ||
        (b.mark !== undefined && !isText(b.mark)))
      bad("button " + (i + 1));
    return Object.freeze({ key: b.key, file: b.file, caption: b.caption, text: b.text,
                           mark: b.mark === undefined ? null : b.mark });
  }

  class Key {
    constructor(data) {
      if (!isObject(data)) bad("not an object");
      if (data.format !== FORMAT) bad("format " + data.format + " is not " + FORMAT);
      const c = data.counts;
      if (!isObject(c)) bad("no counts");
      for (const name of ["species", "states", "frames", "drawings", "deterButtons", "objects"])
        if (!isInt(c[name], -32768, MAX_COUNT)) bad("count " + name);
      // Negative counts size nothing, as on the desktop.
      this.speciesCount = Math.max(c.species, 0);
      this.stateCount = Math.max(c.states, 0);
      this.frameCount = Math.max(c.frames, 0);
      this.drawingCount = Math.max(c.drawings, 0);
      this.deterButtonCount = Math.max(c.deterButtons, 0);
      const S = this.stateCount, N = this.speciesCount;

      this.species = Object.freeze(arrayOf(data.species, "species", N).map((name, i) => {
        if (!isText(name)) bad("species " + i);
        return name;
      }));
      const weights = arrayOf(data.weights, "weights");
      if (weights.length > MAX_COUNT) bad("weights");
      this.weights = Int16Array.from(weights, (w) => {
        if (!isInt(w, -32768, 32767)) bad("a weight");
        return w;
      });
      this.joker = Object.freeze(arrayOf(data.joker, "joker").map((j) => {
        if (typeof j !== "boolean") bad("joker");
        return j;
      }));
      if (this.joker.length > MAX_COUNT) bad("joker");
      const objects = arrayOf(data.objects, "questions");
      if (objects.length > MAX_COUNT) bad("questions");
      this.objects = Object.freeze(objects.map((o, r) => checkObjectRow(o, r, objects.length)));
      this.matrix = new Matrix(data.matrix, N, S, this.objects);
      this.stateCodes = Object.freeze(arrayOf(data.stateCodes, "state codes", S).map((code) => {
        if (code !== null && !isText(code)) bad("state codes");
        return code;
      }));
      this.stateTexts = Object.freeze(arrayOf(data.stateTexts, "state texts", S).map((t) => {
        if (!isText(t)) bad("state texts");
        return t;
      }));
      this.dependants = indexLists(data.dependants, "dependants", S, 0, objects.length - 1);
      this.parents = indexLists(data.parents, "parents", objects.length, -1, S - 1);
      this.variants = Object.freeze(arrayOf(data.variants, "variants").map(checkVariant));
      this.deterButtons = Object.freeze(arrayOf(data.deterButtons, "buttons").map(checkButton));
      this.uncoded = uncodedLists(data.uncoded, objects.length, N);
      if (!isObject(data.texts)) bad("texts");
      this.texts = new Map();
      for (const name of Object.keys(data.texts)) {
        const list = arrayOf(data.texts[name], "text " + name, 3);
        if (!list.every((t) => t === null || isText(t))) bad("text " + name);
        this.texts.set(Number(name), Object.freeze(list.slice()));
      }
      this.objectByKey = new Map();
      // The first of equal keys wins, as a seek finds it.
      for (let r = objects.length - 1; r >= 0; --r)
        this.objectByKey.set(this.objects[r].key.toLowerCase(), r);
      Object.freeze(this);
    }

    objectIndex(objectKey) {
      const r = this.objectByKey.get(String(objectKey).toLowerCase());
      return r === undefined ? -1 : r;
    }
    // An interface text of the key's table; null when it lacks it.
    text(number, language) {
      const list = this.texts.get(number);
      if (!list) return null;
      const l = isInt(language, 0, 2) ? language : 0;
      return list[l];
    }
    value(species, state) {
      return this.matrix.value(species, state);
    }
  }

  // The column sums of each key, kept beside the frozen key.
  const sumCache = new WeakMap();

  // ---- counts over many species at once ----

  // A column as bit planes: plane b holds bit b of (value - low) of every species, 32 species
  // a word, so that counting over a set of species given as a mask takes a word at a time.
  // Built on first use and kept beside the key; a column of values too far apart for a few
  // planes is kept as null and counted species by species.
  const planeCache = new WeakMap();
  const MostPlanes = 4;

  function columnPlanes(key, state) {
    let planes = planeCache.get(key);
    if (!planes) {
      planes = new Array(key.stateCount).fill(undefined);
      planeCache.set(key, planes);
    }
    if (planes[state] !== undefined) return planes[state];
    const column = key.matrix.column(state), N = column.length, words = (N + 31) >>> 5;
    let low = N > 0 ? column[0] : 0, high = low;
    for (let s = 1; s < N; ++s) {
      if (column[s] < low) low = column[s];
      else if (column[s] > high) high = column[s];
    }
    let bits = 0;
    while (bits < 16 && (high - low) >>> bits > 0) ++bits;
    let made = null;
    if (bits <= MostPlanes) {
      const data = new Int32Array(words * bits);
      for (let b = 0; b < bits; ++b) {
        for (let w = 0, at = b * words; w < words; ++w, ++at) {
          let x = 0;
          for (let s = w << 5, end = Math.min(N, s + 32), j = 0; s < end; ++s, ++j)
            x |= (((column[s] - low) >>> b) & 1) << j;
          data[at] = x;
        }
      }
      made = { low, bits, words, data };
    }
    planes[state] = made;
    return made;
  }

  function bitCount(x) {
    x = x - ((x >>> 1) & 0x55555555);
    x = (x & 0x33333333) + ((x >>> 2) & 0x33333333);
    x = (x + (x >>> 4)) & 0x0f0f0f0f;
    return Math.imul(x, 0x01010101) >>> 24;
  }

  // The sum of a column's values over the species of the mask (`members` of them).
  function maskedSum(planes, mask, members) {
    let c = planes.low * members;
    const words = planes.words, data = planes.data;
    for (let b = 0; b < planes.bits; ++b) {
      let n = 0;
      for (let w = 0, at = b * words; w < words; ++w, ++at) {
        const x = data[at] & mask[w];
        if (x !== 0) n += bitCount(x);
      }
      c += n * 2 ** b;
    }
    return c;
  }

  function loadKey(data) {
    return new Key(data);
  }

  // ---- numbers as the desktop prints them ----

  // " 87" for 87, "-3" for -3: a minus takes the place of the space.
  function signedSpaceNumber(v) {
    return v < 0 ? String(v) : " " + String(Math.abs(v));
  }

  // Nearest integer to score x 100 / total, halves to the even neighbour; total != 0.
  function percentOf(score, total) {
    let num = score * 100, den = total;
    if (den < 0) { num = -num; den = -den; }
    let q = Math.floor(num / den);
    let r = num - q * den;
    while (r < 0) { q -= 1; r += den; }
    while (r >= den) { q += 1; r -= den; }
    if (2 * r > den || (2 * r === den && q % 2 !== 0)) q += 1;
    return q === 0 ? 0 : q;
  }

  // Four decimals as the desktop prints a score (ties away from zero, never seen in practice).
  function scoreText(v) {
    return v.toFixed(4);
  }

  // The natural logarithm from basic operations only, step for step as the desktop engine
  // computes it (a reduction to [sqrt(2)/2, sqrt(2)] and a polynomial): a browser's Math.log
  // may round the last bit otherwise, and the search compares scores exactly.
  const LN2_HI = 6.93147180369123816490e-01, LN2_LO = 1.90821492927058770002e-10;
  const TWO54 = 1.80143985094819840000e+16;
  const Lg1 = 6.666666666666735130e-01, Lg2 = 3.999999999940941908e-01;
  const Lg3 = 2.857142874366239149e-01, Lg4 = 2.222219843214978396e-01;
  const Lg5 = 1.818357216161805012e-01, Lg6 = 1.531383769920937332e-01;
  const Lg7 = 1.479819860511658591e-01;
  const logWords = new DataView(new ArrayBuffer(8));

  function portableLog(x) {
    logWords.setFloat64(0, x);
    let hx = logWords.getInt32(0);
    const lx = logWords.getUint32(4);
    let k = 0;
    if (hx < 0x00100000) {  // below 2^-1022: zero, negative or subnormal
      if (((hx & 0x7fffffff) | lx) === 0) return -Infinity;
      if (hx < 0) return NaN;
      k -= 54;
      x *= TWO54;
      logWords.setFloat64(0, x);
      hx = logWords.getInt32(0);
    }
    if (hx >= 0x7ff00000) return x + x;
    k += (hx >> 20) - 1023;
    hx &= 0x000fffff;
    const i0 = (hx + 0x95f64) & 0x100000;
    logWords.setFloat64(0, x);
    logWords.setInt32(0, hx | (i0 ^ 0x3ff00000));  // x or x/2 in [sqrt(2)/2, sqrt(2)]
    x = logWords.getFloat64(0);
    k += i0 >> 20;
    const f = x - 1.0;
    const dk = k;
    if ((0x000fffff & (2 + hx)) < 3) {  // |f| < 2^-20
      if (f === 0) return k === 0 ? 0 : dk * LN2_HI + dk * LN2_LO;
      const R = f * f * (0.5 - 0.33333333333333333 * f);
      return k === 0 ? f - R : dk * LN2_HI - ((R - dk * LN2_LO) - f);
    }
    const s = f / (2.0 + f);
    const z = s * s;
    let i = hx - 0x6147a;
    const w = z * z;
    const j = 0x6b851 - hx;
    const t1 = w * (Lg2 + w * (Lg4 + w * Lg6));
    const t2 = z * (Lg1 + w * (Lg3 + w * (Lg5 + w * Lg7)));
    i |= j;
    const R = t2 + t1;
    if (i > 0) {
      const hfsq = 0.5 * f * f;
      return k === 0 ? f - (hfsq - s * (hfsq + R))
                     : dk * LN2_HI - ((hfsq - (s * (hfsq + R) + dk * LN2_LO)) - f);
    }
    return k === 0 ? f - s * (f - R) : dk * LN2_HI - ((s * (f - R) - dk * LN2_LO) - f);
  }

  // "Lower case without accents", so that "elytre" finds "Élytre".
  function searchFolded(text) {
    return String(text)
      .normalize("NFKD")
      .replace(/\p{M}/gu, "")
      .toLowerCase()
      .replace(/\u00df/g, "ss")
      .replace(/\u0153/g, "oe")
      .replace(/\u00e6/g, "ae");
  }

  // ---- the identification ----

  class Identification {
    constructor(key, options) {
      if (!(key instanceof Key)) throw new TypeError("an Identification needs a loaded key");
      const o = options || {};
      this.key = key;
      this.threshold = isInt(o.threshold, -INT32, INT32) ? o.threshold : -1;
      this.language = isInt(o.language, 0, 2) ? o.language : 0;
      const N = key.speciesCount;
      this.stateChoice = new Int16Array(key.stateCount);
      this.frameState = new Int16Array(key.frameCount);
      this.speciesScore = new Float64Array(N);
      this.appliedFactor = new Float64Array(key.stateCount);  // each state's part in the scores
      this.rankSpecies = new Int32Array(N);
      for (let i = 0; i < N; ++i) this.rankSpecies[i] = i;
      this.rankScore = new Float64Array(N);
      this.sortSpare = new Int32Array(N);
      this.sortCounts = new Int32Array(65537);
      this.listedRanks = new Int32Array(N);
      this.rankPercent = new Float64Array(N);
      this.topCount = 0;
      this.listed = [];
      this.legendText = "";
      this.skipped = false;
      // Values typed for measured questions, by question index: {state, text, value}.
      this.typed = new Map();
      // Measured questions answered in an opened file that kept no value typed for them.
      this.notKept = new Set();
      this.jokerFlags = key.joker.slice();
      // The picture each drawing shows: a drawing keeps its picture while no variant holds.
      this.layerNames = new Array(key.drawingCount).fill(null);
      this.layerMessages = [];
      this.steps = [];
      this.at = 0;
      this.restartHistory();
      this.refresh();
    }

    // ---- ranking ----

    refresh() {
      this.pickLayers();
      this.rank();
    }

    rank() {
      const key = this.key, N = key.speciesCount;
      const scores = this.speciesScore;
      // Only the states whose factor changed since the last ranking are added again, by the
      // change: an answer then costs the columns it touches, not every answer given. The
      // scores are whole numbers held exactly in doubles, so they stay those a fresh sum gives.
      const applied = this.appliedFactor;
      const states = Math.min(this.stateChoice.length, key.weights.length);
      let total = 0;
      for (let j = 0; j < states; ++j) {
        const factor = key.weights[j] * this.stateChoice[j];
        total += factor;
        if (factor === applied[j]) continue;
        key.matrix.addColumn(scores, j, factor - applied[j]);
        applied[j] = factor;
      }
      const order = this.rankSpecies;
      this.sortByScore();
      for (let k = 0; k < N; ++k) this.rankScore[k] = scores[order[k]];
      const percent = this.rankPercent;
      for (let k = 0; k < N; ++k) {
        const score = this.rankScore[k];
        if (total === 0) percent[k] = 0;
        else if (k > 0 && score === this.rankScore[k - 1]) percent[k] = percent[k - 1];
        else percent[k] = percentOf(score, total);
      }
      this.orderByUncoded();
      this.topCount = this.listSpecies();
      const speciesAt = key.text(1500, this.language) ?? key.text(1603, this.language) ?? "";
      this.legendText = signedSpaceNumber(this.topCount) + " " + speciesAt +
                        signedSpaceNumber(N > 0 ? percent[0] : 0) + " %";
      if (this.rankUnknown && this.answeredCount > 0)
        this.legendText += " (" + this.describedAtTop() + " " +
                           (key.text(1871, this.language) ?? "") + ")";
    }

    // Decreasing score; equal scores keep increasing species index. A stable counting sort
    // on the distance to the best score, 16 bits a pass, in buffers sized once: sorting
    // 10,000 species with a comparison costs more than the scores and leaves garbage behind.
    // A score is a sum of at most 32767 products below 2^30, so the distance stays below 2^46
    // (three passes at most; one for the scores of any key in practice).
    sortByScore() {
      const N = this.key.speciesCount, scores = this.speciesScore, order = this.rankSpecies;
      let high = N > 0 ? scores[0] : 0, low = high;
      for (let i = 0; i < N; ++i) {
        order[i] = i;
        if (scores[i] > high) high = scores[i];
        else if (scores[i] < low) low = scores[i];
      }
      const span = high - low;
      const count = this.sortCounts;
      let from = order, to = this.sortSpare;
      for (let scale = 1; scale <= span; scale *= 65536) {
        const buckets = Math.min(65536, Math.floor(span / scale) + 1);
        count.fill(0, 0, buckets + 1);
        for (let i = 0; i < N; ++i) ++count[(Math.floor((high - scores[from[i]]) / scale) % 65536) + 1];
        for (let b = 1; b <= buckets; ++b) count[b] += count[b - 1];
        for (let i = 0; i < N; ++i) {
          const s = from[i];
          to[count[Math.floor((high - scores[s]) / scale) % 65536]++] = s;
        }
        const swap = from;
        from = to;
        to = swap;
      }
      if (from !== order) order.set(from);
    }

    // Among ranks of equal percentage, the species coding more of the answered questions
    // come first; the order by score, then species index, is kept within that.
    orderByUncoded() {
      const key = this.key, lists = key.uncoded, N = key.speciesCount;
      this.rankUnknown = null;
      this.answeredCount = 0;
      if (!lists) return;
      const unknown = new Int32Array(N);
      const choice = this.stateChoice;
      key.objects.forEach((o, r) => {
        let chosen = false;
        const end = Math.min(o.first + o.count, choice.length);
        for (let s = Math.max(o.first, 0); s < end && !chosen; ++s) chosen = choice[s] !== 0;
        if (!chosen) return;
        ++this.answeredCount;
        for (const s of lists[r]) ++unknown[s];
      });
      const order = this.rankSpecies, score = this.rankScore, percent = this.rankPercent;
      for (let begin = 0; begin < N;) {
        let end = begin + 1;
        while (end < N && percent[end] === percent[begin]) ++end;
        const run = [];
        for (let k = begin; k < end; ++k) run.push(k);
        run.sort((a, b) => unknown[order[a]] - unknown[order[b]] || a - b);
        const species = run.map((k) => order[k]), scores = run.map((k) => score[k]);
        for (let i = 0; i < run.length; ++i) {
          order[begin + i] = species[i];
          score[begin + i] = scores[i];
        }
        begin = end;
      }
      this.rankUnknown = Int32Array.from(order, (s) => unknown[s]);
    }

    describedAtTop() {
      const percent = this.rankPercent, top = percent.length > 0 ? percent[0] : 0;
      return this.listed.filter((k) => percent[k] === top && this.unknownOf(k) === 0).length;
    }

    // How many answered questions the species at a rank leaves uncoded (0 without record).
    unknownOf(rank) {
      return this.rankUnknown ? this.rankUnknown[rank] : 0;
    }

    listSpecies() {
      const percent = this.rankPercent;
      const top = percent.length > 0 ? percent[0] : 0;
      const listed = this.listedRanks;
      let count = 0, n = 0;
      for (let k = 0; k < percent.length; ++k) {
        if (percent[k] < this.threshold) continue;
        listed[n++] = k;
        if (percent[k] === top) ++count;
      }
      this.listed = listed.subarray(0, n);
      return count;
    }

    setThreshold(threshold) {
      if (!isInt(threshold, -INT32, INT32)) throw new RangeError("a threshold is a whole number");
      this.threshold = threshold;
      this.listSpecies();
    }

    listLines() {
      return Array.from(this.listed, (k) => this.lineOf(k));
    }
    lineOf(rank) {
      const s = this.rankSpecies[rank];
      const name = s < this.key.species.length ? this.key.species[s] : "";
      const unknown = this.unknownOf(rank);
      const mark = unknown > 0 ? " (" + unknown + " " + (this.key.text(1870, this.language) ?? "") + ")" : "";
      return signedSpaceNumber(this.rankPercent[rank]) + "% - " + name + mark;
    }
    list() {
      return Array.from(this.listed, (k, line) => ({
        line, rank: k, species: this.rankSpecies[k], percent: this.rankPercent[k],
        unknown: this.unknownOf(k), text: this.lineOf(k),
      }));
    }
    legend() {
      return this.legendText;
    }
    // The species a line of the list stands for, as the contradictions take it.
    speciesOfLine(line) {
      if (!isInt(line, 0, this.rankSpecies.length - 1)) return -1;
      return this.rankSpecies[line];
    }

    // ---- the search ----

    // The search's score of every question; a question that may not be proposed, is
    // answered or has a single state scores 0.
    searchScores() {
      if (this.topCount === 0) this.topCount = this.key.speciesCount;
      const key = this.key, topCount = this.topCount;
      const counted = new Map();
      const top = Math.min(topCount, this.rankSpecies.length);
      // A top of an eighth of the key or more is counted over whole columns, as the desktop
      // does: a word of 32 species at a time. A smaller one is counted species by species, in
      // species order so that the reads go forward.
      const whole = top * 8 >= key.speciesCount;
      let mask = null, topSpecies = null;
      if (whole && top < key.speciesCount) {
        mask = new Int32Array((key.speciesCount + 31) >>> 5);
        for (let i = 0; i < top; ++i) {
          const sp = this.rankSpecies[i];
          mask[sp >>> 5] |= 1 << (sp & 31);
        }
      }
      const gather = (state) => {
        if (topSpecies === null)
          topSpecies = Int32Array.from(this.rankSpecies.subarray(0, top)).sort();
        return key.matrix.sum(state, topSpecies, top);
      };
      const stateCount = (state) => {
        if (state < 0 || state >= key.stateCount) return 0;
        let c = counted.get(state);
        if (c !== undefined) return c;
        if (top >= key.speciesCount) {
          c = this.columnSum(state);
        } else if (whole) {
          const planes = columnPlanes(key, state);
          c = planes ? maskedSum(planes, mask, top) : gather(state);
        } else {
          c = gather(state);
        }
        counted.set(state, c);
        return c;
      };
      return key.objects.map((o) => {
        if (!this.proposable(o) || o.count <= 1) return 0;
        const t = topCount;
        let s = 0;
        for (let l = 0; l < o.count; ++l) {
          const c = stateCount(o.first + l);
          if (c === 0) continue;
          s = s - (c / t) * portableLog(t / c) / portableLog(o.count);
        }
        return Math.abs(s);
      });
    }

    columnSum(state) {
      const key = this.key;
      let sums = sumCache.get(key);
      if (!sums) {
        // Computed once per key: every search from the start reads them all.
        sums = new Float64Array(key.stateCount).fill(NaN);
        sumCache.set(key, sums);
      }
      if (Number.isNaN(sums[state])) sums[state] = key.matrix.sum(state, null, 0);
      return sums[state];
    }

    proposable(o) {
      if (!isInt(o.descriptor, 0, this.jokerFlags.length - 1)) return false;
      if (!this.jokerFlags[o.descriptor]) return false;
      const states = this.stateChoice.length;
      for (let s = o.first; s < o.first + o.count; ++s)
        if (s >= 0 && s < states && this.stateChoice[s] !== 0) return false;
      return true;
    }

    // What Search does: {outcome, object, message, scores}. "onlyOne": one species leads
    // alone; "question": object is the question to open; "nothingLeft": no question is left;
    // "retry": none is left but skipped ones, the message asks whether to try them again
    // (retrySkipped() then best() again).
    best() {
      if (this.topCount === 1) {
        const scores = this.searchScores();
        return { outcome: "onlyOne", object: -1, message: this.text(1078), scores,
                 scoreText: (r) => scoreText(scores[r]) };
      }
      return this.search();
    }

    // The search itself, as the skip button runs it: no look at the leading species.
    search() {
      const scores = this.searchScores();
      const result = { outcome: "", object: -1, message: null, scores,
                       scoreText: (r) => scoreText(scores[r]) };
      let bestScore = 0;
      for (let r = 0; r < scores.length; ++r) {
        if (bestScore < scores[r]) { bestScore = scores[r]; result.object = r; }
      }
      if (result.object >= 0) {
        result.outcome = "question";
      } else if (!this.skipped) {
        result.outcome = "nothingLeft";
        result.message = this.text(1075);
      } else {
        result.outcome = "retry";
        result.message = this.text(1075) + "\n" + this.text(1076);
      }
      return result;
    }

    // The skip button on question r: it is not proposed again until a retry.
    skip(r) {
      this.skipped = true;
      const o = this.key.objects[r];
      if (o && isInt(o.descriptor, 0, this.jokerFlags.length - 1))
        this.jokerFlags[o.descriptor] = false;
      return this.search();
    }

    retrySkipped() {
      this.skipped = false;
      this.reloadJokerFlags(false);
    }

    reloadJokerFlags(resize) {
      const objects = this.key.objects;
      if (resize) this.jokerFlags = new Array(objects.length).fill(false);
      for (const o of objects)
        if (isInt(o.descriptor, 0, this.jokerFlags.length - 1)) this.jokerFlags[o.descriptor] = o.joker;
    }

    text(number) {
      return this.key.text(number, this.language) ?? "";
    }

    // ---- answers ----

    objectOf(q) {
      const r = typeof q === "string" ? this.key.objectIndex(q) : q;
      if (!isInt(r, 0, this.key.objects.length - 1)) throw new RangeError("no question " + q);
      return r;
    }

    // The cell the description highlights when question r opens: its last chosen state.
    answeredCell(q) {
      const o = this.key.objects[this.objectOf(q)];
      let cell = -1;
      for (let s = o.first; s < o.first + o.count; ++s)
        if (s >= 0 && s < this.stateChoice.length && this.stateChoice[s] !== 0) cell = s - o.first;
      return cell;
    }

    // Writes cell `cell` of question q (-1: none) into the description as confirming its
    // picture of choices does, without recording or ranking.
    validate(q, cell) {
      this.notKept.delete(this.objectOf(q));
      const o = this.key.objects[this.objectOf(q)];
      if (!isInt(cell, -1, INT32)) throw new RangeError("a cell is -1 or more");
      const first = o.first, choice = cell, frame = o.frame;
      const sc = this.stateChoice;
      const begin = Math.max(first, 0), end = Math.min(first + o.count, sc.length);
      let sum = 0, last = -1;
      for (let j = begin; j < end; ++j) {
        sum += sc[j];
        if (sc[j] === 1) last = j;
      }
      if (sum === 0 && choice === -1) return;
      if (choice === last - first && sum === 1) return;
      if (last !== -1) this.clearDependants(last);
      for (let j = begin; j < end; ++j) {
        if (j === first + choice && sc[j] === 1) {
          if (frame !== -1) this.setFrame(frame, -1);
          return;
        }
        sc[j] = 0;
      }
      if (frame !== -1) this.setFrame(frame, 0);
      if (choice === -1) return;
      if (first + choice >= 0 && first + choice < sc.length) sc[first + choice] = 1;
      if (frame !== -1) this.setFrame(frame, -1);
    }

    setFrame(frame, value) {
      if (frame >= 0 && frame < this.frameState.length) this.frameState[frame] = value;
    }

    // Clears every state of every question that depends on `state`, and their dependants in
    // turn; each state is followed once, so a cycle ends.
    clearDependants(state) {
      const sc = this.stateChoice, states = sc.length, key = this.key;
      const followed = new Uint8Array(states);
      if (state >= 0 && state < states) followed[state] = 1;
      const pending = [state];
      while (pending.length > 0) {
        const s = pending.pop();
        const objects = key.dependants.get(s);
        if (!objects) continue;
        for (const r of objects) {
          const o = key.objects[r];
          for (let x = o.first; x < o.first + o.count; ++x) {
            if (x < 0 || x >= states) continue;
            sc[x] = 0;
            if (!followed[x]) {
              followed[x] = 1;
              pending.push(x);
            }
          }
        }
      }
    }

    // The cells of question q whose states the description holds, in increasing order.
    chosenCells(q) {
      const o = this.key.objects[this.objectOf(q)];
      const cells = [];
      for (let s = Math.max(o.first, 0); s < Math.min(o.first + o.count, this.stateChoice.length); ++s)
        if (this.stateChoice[s] !== 0) cells.push(s - o.first);
      return cells;
    }

    // Confirms the list of states of question q with `cells` ticked, as the program does: a
    // state given up takes its dependants with it, the ticked ones are chosen, the frame is
    // answered while one is ticked; ticking what is chosen already changes nothing.
    answerTicked(q, cells) {
      this.notKept.delete(this.objectOf(q));
      const o = this.key.objects[this.objectOf(q)];
      if (!Array.isArray(cells)) throw new TypeError("the ticked cells are a list");
      const sc = this.stateChoice;
      const begin = Math.max(o.first, 0), end = Math.max(begin, Math.min(o.first + o.count, sc.length));
      const ticked = new Uint8Array(end - begin);
      for (const cell of cells)
        if (Number.isInteger(cell) && cell >= 0 && o.first + cell >= begin && o.first + cell < end)
          ticked[o.first + cell - begin] = 1;
      let same = true;
      for (let j = begin; j < end; ++j) same = same && (sc[j] === 1) === (ticked[j - begin] === 1);
      if (!same) {
        for (let j = begin; j < end; ++j)
          if (sc[j] !== 0 && !ticked[j - begin]) this.clearDependants(j);
        let any = false;
        for (let j = begin; j < end; ++j) {
          sc[j] = ticked[j - begin];
          any = any || ticked[j - begin] === 1;
        }
        this.setFrame(o.frame, any ? -1 : 0);
      }
      this.remember();
      this.refresh();
    }

    // Confirms the picture of choices of question q with `cell` highlighted (-1: none).
    answer(q, cell) {
      this.validate(q, cell);
      this.remember();
      this.refresh();
    }

    // The state of question q whose range holds the typed value: {outcome, state, text} with
    // outcome "chosen", "not measured", "not a number" or "out of range". The ranges never
    // overlap, so a value on a shared bound picks the state that bound belongs to.
    chooseMeasure(q, typed) {
      const o = this.key.objects[this.objectOf(q)];
      const m = o.measure;
      if (!m) return { outcome: "not measured", state: -1, text: "" };
      const v = parseMeasure(typed);
      if (v === null) return { outcome: "not a number", state: -1, text: "" };
      const r = m.ranges.find((x) => rangeHolds(x, v));
      if (!r || r.state < o.first || r.state >= o.first + o.count)
        return { outcome: "out of range", state: -1, text: "" };
      return { outcome: "chosen", state: r.state, text: measureText(m, v), value: v };
    }

    // Answers question q with a typed value as confirming its picture with that state
    // framed does, and keeps the value as the answer shown.
    answerMeasure(q, typed) {
      const r = this.objectOf(q);
      const c = this.chooseMeasure(r, typed);
      if (c.outcome !== "chosen") return c;
      this.validate(r, c.state - this.key.objects[r].first);
      this.typed.set(r, { state: c.state, text: c.text, value: c.value });
      this.remember();
      this.refresh();
      return c;
    }

    // Takes back the answer of question q; false when it has none.
    withdraw(q) {
      const r = this.objectOf(q);
      if (this.answeredCell(r) === -1) return false;
      this.validate(r, -1);
      this.remember();
      this.refresh();
      return true;
    }

    // New: nothing chosen, every question may be proposed again.
    clear() {
      this.stateChoice.fill(0);
      this.frameState.fill(0);
      this.skipped = false;
      this.typed.clear();
      this.notKept.clear();
      this.remember();
      this.refresh();
      this.reloadJokerFlags(true);
    }

    // ---- undo and redo ----

    snapshot() {
      return { choice: this.stateChoice.slice(), frames: this.frameState.slice() };
    }
    restartHistory() {
      this.steps = [this.snapshot()];
      this.at = 0;
    }
    remember() {
      const next = this.snapshot();
      const current = this.steps[this.at];
      if (current && sameArray(current.choice, next.choice) && sameArray(current.frames, next.frames))
        return false;
      this.steps.length = this.at + 1;
      this.steps.push(next);
      if (this.steps.length > HISTORY_LIMIT) this.steps.shift();
      this.at = this.steps.length - 1;
      return true;
    }
    canUndo() {
      return this.at > 0;
    }
    canRedo() {
      return this.at + 1 < this.steps.length;
    }
    undo() {
      if (!this.canUndo()) return false;
      this.putBack(this.steps[--this.at]);
      return true;
    }
    redo() {
      if (!this.canRedo()) return false;
      this.putBack(this.steps[++this.at]);
      return true;
    }
    putBack(step) {
      this.stateChoice.set(step.choice);
      this.frameState.set(step.frames);
      this.refresh();
    }

    // ---- the drawing ----

    // Tests the conditions of a "Hierarchie" row: "end" holds, "missing" fails, an unknown
    // code is reported, a state must be chosen; a list without an ending fails.
    testConditions(row) {
      for (const c of row.conditions) {
        if (c === "end") return "holds";
        if (c === "missing") return "fails";
        if (typeof c === "object") return "unknown";
        if (c < 0 || c >= this.stateChoice.length || this.stateChoice[c] !== 1) return "fails";
      }
      return "fails";
    }

    // Rows are tried in key order; the first match wins. Drawing 0's name sets the suffix of
    // the drawings after it.
    pickLayers() {
      let suffix = "";
      this.layerMessages = [];
      for (let d = 0; d < this.key.drawingCount; ++d) {
        for (const row of this.key.variants) {
          if (row.drawing !== d) continue;
          const test = this.testConditions(row);
          if (test === "unknown") {
            const code = row.conditions.find((c) => typeof c === "object").unknown;
            this.layerMessages.push("Erreur : l'état du Caractère '" + code +
                                    "' n'existe pas dans la Table 'Caractères'");
            continue;
          }
          if (test !== "holds") continue;
          const base = String(d).padStart(2, "0") + "\\" + row.name;
          let path = base;
          if (row.name.slice(-3) === "WMF") {
            if (d === 0) suffix = row.name.slice(-6);
          } else {
            path = base + suffix;
          }
          this.layerNames[d] = { drawing: d, name: row.name, path };
          break;
        }
      }
    }

    // The picture of each drawing for the description (null: nothing loaded yet), the
    // suffix drawing 0 gives, and the messages the rows gave.
    layers() {
      return { layers: this.layerNames.slice(), suffix: this.variantSuffix(),
               messages: this.layerMessages.slice() };
    }

    // The suffix of the first row of drawing 0 that holds; empty when none holds or a row
    // before it names an unknown state.
    variantSuffix() {
      for (const row of this.key.variants) {
        if (row.drawing !== 0) continue;
        const test = this.testConditions(row);
        if (test === "holds") return row.name.slice(-6);
        if (test === "unknown") return "";
      }
      return "";
    }

    // ---- contradictions ----

    // The answers that the species on a line of the list does not share, object by object
    // in key order, and what marks them: a layer of the drawing or a toolbar button.
    contradictions(line) {
      const key = this.key;
      const species = this.speciesOfLine(line);
      const result = { species, answers: [], layers: [], buttons: [] };
      if (species < 0 || species >= key.speciesCount) return result;
      const states = Math.min(this.stateChoice.length, key.stateCount);
      const suffix = this.variantSuffix();
      key.objects.forEach((o, r) => {
        for (let s = o.first; s < o.first + o.count; ++s) {
          if (s < 0 || s >= states || this.stateChoice[s] === 0) continue;
          if (key.value(species, s) === 1) continue;
          result.answers.push({ object: r, state: s });
          if (!o.mark) continue;
          if (o.mark.button === -1) {
            result.layers.push({ layer: key.drawingCount + result.answers.length - 1,
                                 popup: o.mark.popup, suffix,
                                 path: "CONTRA\\" + o.mark.popup + suffix });
          } else {
            result.buttons.push(o.mark.button);
          }
        }
      });
      return result;
    }

    // ---- the questions panel ----

    // The questions in the panel's order: grouped ones first, by group, then by descriptor.
    // The order is the key's own, so it is sorted once: the panel asks after every answer.
    questionOrder() {
      if (this.questionOrderCache) return this.questionOrderCache;
      const key = this.key;
      const rank = (r) => {
        const o = key.objects[r];
        return [o.group ? 0 : 1, o.group ? o.group.order : 0, o.descriptor];
      };
      const order = key.objects.map((o, r) => r);
      order.sort((a, b) => {
        const x = rank(a), y = rank(b);
        return x[0] - y[0] || x[1] - y[1] || x[2] - y[2] || a - b;
      });
      this.questionOrderCache = Object.freeze(order);
      return this.questionOrderCache;
    }

    questions(filter) {
      const key = this.key;
      const words = filter ? searchFolded(filter).split(" ").filter((w) => w.length > 0) : [];
      const chosen = (s) => s >= 0 && s < this.stateChoice.length && this.stateChoice[s] !== 0;
      const order = this.questionOrder();
      const sections = [];
      const sectionOf = new Map();
      // The key's texts in the reader's language where the page gives them; null: its own.
      const local = this.localTexts || null;
      for (const r of order) {
        const o = key.objects[r];
        const text = (local && local.object(r)) ?? o.text;
        const entry = { object: r, key: o.key, text: text === "" ? o.key : text,
                        stateTexts: [], chosenTexts: [], answered: false, askable: true };
        for (let s = o.first; s < o.first + o.count; ++s) {
          const t = s >= 0 && s < key.stateTexts.length
            ? (local && local.state(s)) ?? key.stateTexts[s] : "";
          entry.stateTexts.push(t);
          if (chosen(s)) {
            entry.answered = true;
            entry.chosenTexts.push(t);
          }
        }
        const typed = this.typed.get(r);
        if (typed && entry.chosenTexts.length === 1 && chosen(typed.state) &&
            typed.state >= o.first && typed.state < o.first + o.count)
          entry.chosenTexts = [typed.text];
        entry.valueNotKept = entry.answered && !typed && this.notKept.has(r);
        const parents = key.parents.get(r);
        if (parents && parents.length > 0) entry.askable = parents.some((s) => s >= 0 && chosen(s));
        if (words.length > 0) {
          const folded = searchFolded(entry.text + " " + entry.stateTexts.join(" "));
          if (!words.every((w) => folded.includes(w))) continue;
        }
        const group = o.group ? (local && local.group(o.group.name)) ?? o.group.name : "";
        let at = sectionOf.get(group);
        if (at === undefined) {
          at = sections.length;
          sectionOf.set(group, at);
          sections.push({ group, entries: [] });
        }
        sections[at].entries.push(entry);
      }
      return sections;
    }

    // ---- the identification file and the link ----

    // The chosen states of question r, at most two: enough to tell an only answer.
    chosenStates(r) {
      const o = this.key.objects[r], chosen = [];
      for (let s = Math.max(o.first, 0); s < o.first + o.count && s < this.stateChoice.length &&
           chosen.length < 2; ++s)
        if (this.stateChoice[s] !== 0) chosen.push(s);
      return chosen;
    }

    // The desktop's ".qnt" bytes: the states (1 chosen) then the frames (-1 answered), each
    // a 16-bit little-endian integer, then the typed values the panel shows, if any.
    toQnt() {
      const S = this.stateChoice.length, F = this.frameState.length;
      const body = new Uint8Array(2 * (S + F));
      const view = new DataView(body.buffer);
      for (let i = 0; i < S; ++i) view.setInt16(2 * i, this.stateChoice[i], true);
      for (let i = 0; i < F; ++i) view.setInt16(2 * (S + i), this.frameState[i], true);
      const values = [];
      this.key.objects.forEach((o, r) => {
        const typed = this.typed.get(r), chosen = this.chosenStates(r);
        if (o.measure && typed && chosen.length === 1 && chosen[0] === typed.state)
          values.push({ state: typed.state, value: typed.value });
      });
      const trailer = typedTrailer(body, values);
      if (trailer.length === 0) return body;
      const bytes = new Uint8Array(body.length + trailer.length);
      bytes.set(body, 0);
      bytes.set(trailer, body.length);
      return bytes;
    }

    // After a file is read: each typed value kept is shown again while it lies in the range of
    // its question's only chosen state. A measured question answered without one is marked as
    // having lost it when the file kept no values (`kept` null) or one that no longer fits.
    restoreTyped(kept) {
      this.typed.clear();
      this.notKept.clear();
      const byState = new Map();
      for (const v of kept || []) if (!byState.has(v.state)) byState.set(v.state, v.value);
      this.key.objects.forEach((o, r) => {
        const chosen = this.chosenStates(r);
        if (!o.measure || chosen.length === 0) return;
        let offered = kept === null;
        for (let s = o.first; s < o.first + o.count; ++s) {
          if (!byState.has(s)) continue;
          offered = true;
          const v = byState.get(s), range = o.measure.ranges.find((x) => rangeHolds(x, v));
          if (chosen.length === 1 && chosen[0] === s && range && range.state === s) {
            this.typed.set(r, { state: s, text: measureText(o.measure, v), value: v });
            break;
          }
        }
        if (offered && !this.typed.has(r)) this.notKept.add(r);
      });
    }

    // Reads a ".qnt" file as the desktop opens one: a file holding other values, or longer
    // than any description, is foreign and changes nothing; a file of another length is read
    // as far as it goes (lengthDiffers), the rest keeping its values.
    fromQnt(input) {
      const bytes = input instanceof Uint8Array ? input : new Uint8Array(input);
      const result = { ok: false, foreign: false, lengthDiffers: false };
      const S = this.stateChoice.length, F = this.frameState.length;
      if (bytes.length > MAX_QNT_BYTES) {
        result.foreign = true;
        return result;
      }
      const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
      const available = Math.floor(bytes.length / 2);
      const inStates = Math.min(S, available);
      const inFrames = available <= S ? 0 : Math.min(F, available - S);
      for (let i = 0; i < inStates; ++i) {
        const v = view.getInt16(2 * i, true);
        if (v !== 0 && v !== 1) result.foreign = true;
      }
      for (let i = 0; i < inFrames; ++i) {
        const v = view.getInt16(2 * (S + i), true);
        if (v !== 0 && v !== -1) result.foreign = true;
      }
      const kept = readTypedTrailer(bytes, 2 * (S + F), S);
      if (!kept && bytes.length > MAX_QNT_DESCRIPTION_BYTES) result.foreign = true;
      if (result.foreign) return result;
      // A trailer that belongs to this description says the file was saved with these counts.
      result.lengthDiffers = !kept && bytes.length !== 2 * (S + F);
      for (let i = 0; i < inStates; ++i) this.stateChoice[i] = view.getInt16(2 * i, true);
      for (let i = 0; i < inFrames; ++i) this.frameState[i] = view.getInt16(2 * (S + i), true);
      this.restoreTyped(kept);
      this.restartHistory();
      this.refresh();
      result.ok = true;
      return result;
    }

    // The description as a link's fragment: "v1;k=<species>.<states>;s=<chosen>;f=<frames
    // answered>", numbers in decimal separated by dots.
    toFragment() {
      const chosen = [], frames = [];
      this.stateChoice.forEach((v, s) => { if (v !== 0) chosen.push(s); });
      this.frameState.forEach((v, f) => { if (v !== 0) frames.push(f); });
      return "v1;k=" + this.key.speciesCount + "." + this.stateChoice.length +
             ";s=" + chosen.join(".") + ";f=" + frames.join(".");
    }

    // Reads a fragment made by toFragment(); false, changing nothing, for anything else
    // (another key, a number out of range, a malformed or overlong text).
    fromFragment(text) {
      let t = String(text);
      if (t.startsWith("#")) t = t.slice(1);
      if (t.length > 400000) return false;
      const m = /^v1;k=(\d{1,6})\.(\d{1,6});s=((?:\d{1,6}(?:\.\d{1,6})*)?);f=((?:\d{1,6}(?:\.\d{1,6})*)?)$/.exec(t);
      if (!m) return false;
      if (Number(m[1]) !== this.key.speciesCount || Number(m[2]) !== this.stateChoice.length)
        return false;
      const numbers = (list, limit) => {
        if (list === "") return [];
        const values = list.split(".").map(Number);
        return values.every((v) => v < limit) ? values : null;
      };
      const chosen = numbers(m[3], this.stateChoice.length);
      const frames = numbers(m[4], this.frameState.length);
      if (!chosen || !frames) return false;
      this.stateChoice.fill(0);
      this.frameState.fill(0);
      for (const s of chosen) this.stateChoice[s] = 1;
      for (const f of frames) this.frameState[f] = -1;
      this.restartHistory();
      this.refresh();
      return true;
    }
  }

  // The fragment of a page's address with its percent escapes decoded; a malformed escape
  // leaves the text as it is, for fromFragment() to refuse rather than stop the page.
  function fragmentOfAddress(hash) {
    const t = String(hash).replace(/^#/, "");
    try {
      return decodeURIComponent(t);
    } catch (e) {
      return t;
    }
  }

  function sameArray(a, b) {
    if (a.length !== b.length) return false;
    for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
    return true;
  }


  root.VirekaEngine = Object.freeze({
    FORMAT,
    loadKey,
    fragmentOfAddress,
    Identification,
    parseMeasure,
    percentOf,
    portableLog,
    signedSpaceNumber,
    scoreText,
    searchFolded,
  });
})(globalThis);
