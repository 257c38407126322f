#!/usr/bin/env bash
# vireka-kb export web timed on a synthetic key of 10,000 species and on a flora imported
# from a synthetic DELTA dataset of 506 taxa x 432 characters, and the import itself; CPU
# time (user + system, every thread) beside the wall clock, each beside its goal. The
# fastest of RUNS runs is kept. Needs the benchmarks built (-DVIREKA_BENCH=ON).
#
#   bash bench/exportweb.sh [BUILD_DIR] [RUNS]      (default build, 3)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-3}
kb=$build/tools/vireka-kb
work=$build/bench-exportweb
mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen
[[ -f $work/kb10k/MATRICE.DAT ]] || "$kb" synth "$work/kb10k" --species 10000 >/dev/null
[[ -f $work/delta/items ]] || "$build/bench/bench_import" --write-delta "$work/delta" 506 432

# Runs the command RUNS times; prints the fastest CPU and wall seconds.
fastest() {
    local best_cpu="" best_wall=""
    for ((r = 0; r < runs; ++r)); do
        rm -rf "$work/out"
        /usr/bin/time -o "$work/time.txt" -f "%U %S %e" "$@" "$work/out" >/dev/null
        read -r user sys wall <"$work/time.txt"
        local cpu
        cpu=$(echo "$user + $sys" | bc)
        if [[ -z $best_cpu ]] || (($(echo "$cpu < $best_cpu" | bc))); then best_cpu=$cpu; fi
        if [[ -z $best_wall ]] || (($(echo "$wall < $best_wall" | bc))); then best_wall=$wall; fi
    done
    echo "$best_cpu s CPU, $best_wall s wall"
}

echo "import delta 506 x 432:        $(fastest "$kb" import delta "$work/delta")  goal <= 1 s CPU"
rm -rf "$work/flora"
"$kb" import delta "$work/delta" "$work/flora" >/dev/null
echo "export web, 506-species flora: $(fastest "$kb" export web "$work/flora")  goal <= 2 s"
echo "export web, 10,000 species:    $(fastest "$kb" export web "$work/kb10k")  goal <= 5 s"
