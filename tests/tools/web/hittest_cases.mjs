// The web player's hit test on the case table the program's hit test is checked against
// (tests/data/hittest_cases.json): every point must find the question the table gives.
//   node hittest_cases.mjs web/player/hittest.js tests/data/hittest_cases.json
// Prints each point that differs and exits 1 when any does.
import assert from "node:assert/strict";
import fs from "node:fs";
import vm from "node:vm";

const [script, table] = process.argv.slice(2);
vm.runInThisContext(fs.readFileSync(script, "utf8"));
const H = globalThis.VirekaHitTest;
const all = JSON.parse(fs.readFileSync(table, "utf8"));
const objects = all.objects.map((k) => k.toLowerCase());
const objectIndex = (key) => objects.indexOf(String(key).toLowerCase());
const colour = (text) => parseInt(text, 16);

let failures = 0;
let points = 0;
for (const c of all.cases) {
  const assets = {
    zones: c.zones,
    palette: (c.palette || []).map((p) => {
      const v = colour(p.colour);
      return { colour: v, bgr: [(v >> 16) & 255, (v >> 8) & 255, v & 255], code: p.code };
    }),
  };
  for (const p of c.points) {
    ++points;
    const shown = typeof p.colour === "string" ? colour(p.colour) : null;
    const hit = H.findObject(assets, objectIndex, p.choice || [], p.frames || [0, 0],
                             p.at[0], p.at[1], () => shown);
    const got = hit.found ? hit.key : "";
    if (got !== p.expect) {
      ++failures;
      console.log(`${c.name}: at ${p.at} found "${got}", expected "${p.expect}"`);
    }
  }
}
// Positions are turned into whole pixels with halves to the even neighbour, as on the desktop.
assert.equal([2.5, 3.5, -0.5, 1.2].map(H.roundHalfEven).join(), "2,4,0,1");
assert.ok(points >= 20, "the case table is nearly empty");
console.log(`${points} points, ${failures} differ`);
process.exit(failures ? 1 : 0);
