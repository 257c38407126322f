#!/usr/bin/env bash
# The real main window timed where a user sees it: bench_window (bench/window_bench.cpp) run
# on a virtual X display with a window manager, so that every paint goes through the window
# system as on a desktop; then the same pieces counted in instructions by callgrind, every
# thread of the process included, each against the streaming pass dumped just before it.
#
#   bash bench/window.sh [BUILD_DIR] [DISPLAY_NUMBER] [FILTER]
#     (default build-bench, display 29, every benchmark of bench_window)
# Set CALLGRIND=0 to skip the instruction counts (they take minutes); CALLGRIND_PLATFORM=xcb
# counts them on the virtual display rather than offscreen; CALLGRIND_OUT=DIR keeps the
# profiles.
set -euo pipefail
build=$(realpath "${1:-build-bench}")
display=${2:-29}
filter=${3:-.}
bench=$build/bench/bench_window
export QTWEBENGINE_DISABLE_SANDBOX=1

Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
openbox=
trap 'kill $openbox "$xvfb" 2>/dev/null; wait 2>/dev/null || true' EXIT
# The server is ready once its lock names it (a socket may be left by an earlier one).
for _ in $(seq 100); do
    [[ $(tr -d ' \n' </tmp/.X$display-lock 2>/dev/null) == "$xvfb" ]] && break
    sleep 0.1
done
DISPLAY=:$display openbox >/dev/null 2>&1 &
openbox=$!
sleep 1

echo "== wall and CPU under Xvfb + openbox (minimum of interleaved samples)"
DISPLAY=:$display QT_QPA_PLATFORM=xcb nice -n 5 "$bench" --benchmark_filter="$filter" \
    --benchmark_counters_tabular=true

[[ ${CALLGRIND:-1} == 0 ]] && exit 0
platform=${CALLGRIND_PLATFORM:-offscreen}
echo "== instructions (callgrind, all threads), $platform"
out=${CALLGRIND_OUT:-$(mktemp -d)}
mkdir -p "$out"
# Without a document the piece is the window's own; with one, the browser's threads in this
# process are counted too (its renderer is another process and is not).
DISPLAY=:$display QT_QPA_PLATFORM=$platform nice -n 5 valgrind --tool=callgrind --separate-threads=no \
    --callgrind-out-file="$out/cg.%p" "$bench" \
    --benchmark_filter="${CALLGRIND_FILTER:-ConfirmToLastPaint/species:10000/document:1}" \
    >"$out/log" 2>&1 || { tail -20 "$out/log"; exit 1; }
# Each dump names its piece ("pass", "confirm", "search"); the minimum of each is kept.
for f in "$out"/cg.*; do
    awk '/^desc: Trigger: Client Request: /{piece=$NF} /^summary:|^totals:/{
             if (piece != "") print piece, $2; piece=""}' "$f"
done | awk '{ if (!($1 in m) || $2 < m[$1]) m[$1] = $2 }
    END { for (k in m) printf "%-8s %14d instructions\n", k, m[k];
          if ("pass" in m) for (k in m) if (k != "pass")
              printf "%s / pass = %.3f\n", k, m[k] / m["pass"] }'
[[ -n ${CALLGRIND_OUT:-} ]] || rm -rf "$out"
