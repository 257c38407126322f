#!/usr/bin/env bash
# vireka-kb export web timed on a synthetic key of 10,000 species and on a flora imported
# from a synthetic DELTA dataset of 506 taxa x 432 characters, the import itself, and the
# printable key of the 10,000 species; CPU time (user + system, every thread) beside the wall
# clock, each beside its goal. The fastest of RUNS runs is kept. Given an older vireka-kb
# as BEFORE, its runs alternate with the build's, and both are printed, so that a before and
# after come from the same minutes of a shared machine. Needs the benchmarks built
# (-DVIREKA_BENCH=ON).
#
#   bash bench/exportweb.sh [BUILD_DIR] [RUNS] [BEFORE]      (default build, 3)
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-3}
before=${3:+$(realpath "$3")}
kb=$build/tools/vireka-kb
work=$build/bench-exportweb
mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen
[[ -f $work/kb10k/MATRICE.DAT ]] || "$kb" synth "$work/kb10k" --species 10000 >/dev/null
[[ -f $work/delta/items ]] || "$build/bench/bench_import" --write-delta "$work/delta" 506 432

# One run of a command with the output path last; prints "CPU WALL".
timed() {
    rm -rf "$work/out"
    /usr/bin/time -o "$work/time.txt" -f "%U %S %e" "$@" "$work/out" >/dev/null
    local user sys wall
    read -r user sys wall <"$work/time.txt"
    echo "$(echo "$user + $sys" | bc) $wall"
}

# Runs the command (its program first) RUNS times, alternating with BEFORE's program when
# given; prints the fastest CPU and wall seconds of each.
fastest() {
    local program=$1
    shift
    local -A cpu=() wall=()
    local who
    for ((r = 0; r < runs; ++r)); do
        for who in after ${before:+before}; do
            local c w
            read -r c w < <(timed "$([[ $who == after ]] && echo "$program" || echo "$before")" "$@")
            if [[ -z ${cpu[$who]:-} ]] || (($(echo "$c < ${cpu[$who]}" | bc))); then cpu[$who]=$c; fi
            if [[ -z ${wall[$who]:-} ]] || (($(echo "$w < ${wall[$who]}" | bc))); then wall[$who]=$w; fi
        done
    done
    local line="${cpu[after]} s CPU, ${wall[after]} s wall"
    [[ -n $before ]] && line+="  (before: ${cpu[before]} s CPU, ${wall[before]} s wall)"
    echo "$line"
}

echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "import delta 506 x 432:        $(fastest "$kb" import delta "$work/delta")  goal <= 1 s CPU"
rm -rf "$work/flora"
"$kb" import delta "$work/delta" "$work/flora" >/dev/null
echo "export web, 506-species flora: $(fastest "$kb" export web "$work/flora")  goal <= 2 s"
echo "export web, 10,000 species:    $(fastest "$kb" export web "$work/kb10k")  goal <= 5 s"
echo "key, 10,000 species:           $(fastest "$kb" key "$work/kb10k" --date 2026-01-01)"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
