#!/usr/bin/env bash
# The exported player of a synthetic key of 10,000 species and 1,500 questions in the tests'
# browser engine: bytes before first use (gzip), ready time, page update per answer, page
# memory, against their goals. With a second vireka-kb (an earlier build) the same key is
# exported by it too and measured in the same run, for the figures of before and after.
#
#   bash bench/web/page-10k.sh [BUILD_DIR] [EARLIER_VIREKA_KB]
# BUILD_DIR must be configured with -DVIREKA_BENCH=ON (target bench_webpage).
set -euo pipefail
build=$(realpath "${1:-build}")
earlier=${2:-}
work=$build/web-page-10k
mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1
if [[ ! -f $work/kb/MATRICE.DAT ]]; then
    rm -rf "$work/kb"
    "$build/tools/vireka-kb" synth "$work/kb" --species 10000 >/dev/null
fi
rm -rf "$work/site"
"$build/tools/vireka-kb" export web "$work/kb" "$work/site" >/dev/null
if [[ -n $earlier ]]; then
    rm -rf "$work/site-earlier"
    "$earlier" export web "$work/kb" "$work/site-earlier" >/dev/null
    echo "== earlier build ($earlier)"
    nice -n 5 "$build/bench/bench_webpage" "$work/site-earlier" 40
fi
echo "== this build"
nice -n 5 "$build/bench/bench_webpage" "$work/site" 40
