#!/usr/bin/env bash
# Runs one fuzz target from its seeds for a number of seconds, at the lowest priority, in one
# process. New inputs are kept in build-fuzz/corpus/<target>; crashes in build-fuzz/findings.
set -euo pipefail
target=${1:?usage: scripts/fuzz.sh TARGET SECONDS}
seconds=${2:-900}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
mkdir -p "$build/corpus/$target" "$build/findings/$target"
cd "$build/findings/$target"
export QT_QPA_PLATFORM=offscreen
exec nice -n 19 "$build/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 \
    -print_final_stats=1 "$build/corpus/$target" "$root/fuzz/corpus/$target"
