#!/usr/bin/env bash
# The web engine against the desktop on a synthetic key of 10,000 species (5,000 states,
# 1,500 questions): random descriptions ranked and searched by `vireka-kb rank|best` and by
# the exported site's `node engine/cli.mjs`, every line compared; then the answer benchmark.
#
#   bash bench/web/crosscheck-10k.sh [BUILD_DIR] [DESCRIPTIONS]   (default build, 300)
set -euo pipefail
build=$(realpath "${1:-build}")
count=${2:-300}
here=$(dirname "$(realpath "$0")")
work=$build/web-crosscheck-10k
kb=$work/kb
site=$work/site
mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen
if [[ ! -f $kb/MATRICE.DAT ]]; then
    rm -rf "$kb"
    /usr/bin/time -f "synth: %e s" "$build/tools/vireka-kb" synth "$kb" --species 10000 >/dev/null
fi
rm -rf "$site"
/usr/bin/time -f "export: %e s, %M KB" "$build/tools/vireka-kb" export web "$kb" "$site"

# Random descriptions: up to 12 states chosen, frames answered at random.
node - "$site" "$work/qnt" "$count" <<'JS'
const fs = require("fs"), path = require("path");
const [site, dir, count] = process.argv.slice(2);
const text = fs.readFileSync(path.join(site, "data", "key.js"), "utf8").trim();
const counts = JSON.parse(text.slice("globalThis.VIREKA_KEY = ".length, -1)).counts;
fs.rmSync(dir, { recursive: true, force: true });
fs.mkdirSync(dir, { recursive: true });
let seed = 2024;
const next = (n) => ((seed = (seed * 1103515245 + 12345) % 2147483648) % n);
const list = [];
for (let n = 0; n < Number(count); ++n) {
  const v = new Int16Array(counts.states + counts.frames);
  for (let c = next(13); c > 0; --c) v[next(counts.states)] = 1;
  for (let f = 0; f < counts.frames; ++f) v[counts.states + f] = next(2) ? -1 : 0;
  const file = path.join(dir, n + ".qnt");
  fs.writeFileSync(file, Buffer.from(v.buffer));
  list.push(file);
}
fs.writeFileSync(path.join(dir, "list.txt"), list.join("\n") + "\n");
JS

status=0
for command in "rank" "rank --threshold 60" "best --scores"; do
    # shellcheck disable=SC2086
    /usr/bin/time -o "$work/time.txt" -f "desktop $command: %e s" "$build/tools/vireka-kb" $command --data "$kb" \
        --base vireka.db --qnt-list "$work/qnt/list.txt" >"$work/desktop.txt" 2>"$work/desktop.err"
    cat "$work/time.txt"
    # shellcheck disable=SC2086
    /usr/bin/time -o "$work/time.txt" -f "web $command: %e s" node "$site/engine/cli.mjs" $command \
        --qnt-list "$work/qnt/list.txt" >"$work/web.txt" 2>"$work/web.err"
    cat "$work/time.txt"
    lines=$(wc -l <"$work/desktop.txt")
    if cmp -s "$work/desktop.txt" "$work/web.txt"; then
        echo "$command: $count descriptions, $lines lines identical"
    else
        echo "$command: DIFFERENT"; diff "$work/desktop.txt" "$work/web.txt" | head -20; status=1
    fi
done
# Search on large ties against a native pass, when the benchmarks were built.
native=$build/bench/bench_nativepass
if [[ -x $native ]]; then node "$here/answer_bench.mjs" "$site" 15 "$native"; else node "$here/answer_bench.mjs" "$site"; fi
exit $status
