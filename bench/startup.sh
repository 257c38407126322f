#!/usr/bin/env bash
# Whole-process start-up: `vireka --quit-after-start` on the demo and on synthetic keys of
# 10,000 and 30,000 species, runs interleaved (demo, 10k, 30k, demo, ...) so that every key
# sees the same machine; the figure kept for each is its fastest run, and each key is given
# against the demo of the same run. Peak memory (maximum resident set) and the CPU time of the
# process (user + system, with the helper processes it waited for) are reported too.
#
#   bash bench/startup.sh [BUILD_DIR] [RUNS] [--instructions]   (default build-bench, 7 runs)
#
# With --instructions each key also runs once under callgrind (all threads): the instructions
# of the whole run, which a loaded machine does not change, given against the demo's.
set -euo pipefail
build=$(realpath "${1:-build-bench}")
runs=${2:-7}
instructions=${3:-}
work=$build/startup-bench
mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1

declare -A data=([demo]=$build/demo)
for n in 10000 30000; do
    data[$n]=$work/synth$n
    if [[ ! -f ${data[$n]}/MATRICE.DAT ]]; then
        "$build/tools/vireka-kb" synth "${data[$n]}" --species "$n" >/dev/null
    fi
done
keys=(demo 10000 30000)
for k in "${keys[@]}"; do
    mkdir -p "$work/config-$k" "$work/run-$k"
    chmod 700 "$work/run-$k"
    XDG_CONFIG_HOME=$work/config-$k "$build/tools/vireka-setup" --data "${data[$k]}" \
        --program "$build" >/dev/null
done

declare -A best rss cpu
for ((r = 0; r < runs; r++)); do
    for k in "${keys[@]}"; do
        start=$EPOCHREALTIME
        # The child's resource use from wait4: CPU to the microsecond, peak RSS in kB.
        read -r kb used < <(XDG_CONFIG_HOME=$work/config-$k XDG_RUNTIME_DIR=$work/run-$k \
            python3 -c 'import os, subprocess, sys
child = subprocess.Popen(sys.argv[1:], stdout=subprocess.DEVNULL)
_, _, ru = os.wait4(child.pid, 0)
print(ru.ru_maxrss, ru.ru_utime + ru.ru_stime)' "$build/src/app/vireka" --quit-after-start \
            2>/dev/null)
        seconds=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN{print b - a}')
        if [[ -z ${best[$k]:-} ]] || awk "BEGIN{exit !($seconds < ${best[$k]})}"; then
            best[$k]=$seconds
        fi
        if [[ -z ${rss[$k]:-} ]] || ((kb > rss[$k])); then rss[$k]=$kb; fi
        if [[ -z ${cpu[$k]:-} ]] || awk "BEGIN{exit !($used < ${cpu[$k]})}"; then
            cpu[$k]=$used
        fi
    done
done
for k in "${keys[@]}"; do
    awk -v k="$k" -v s="${best[$k]}" -v d="${best[demo]}" -v m="${rss[$k]}" -v runs="$runs" \
        -v c="${cpu[$k]}" -v dc="${cpu[demo]}" \
        'BEGIN{printf "%-6s fastest of %d runs %.3f s  vs_demo %.2f  CPU %.3f s  vs_demo %.2f  peak RSS %.1f MB\n",
               k, runs, s, s / d, c, c / dc, m / 1024}'
done

if [[ $instructions == --instructions ]]; then
    declare -A irs
    for k in "${keys[@]}"; do
        out=$work/callgrind-$k.out
        XDG_CONFIG_HOME=$work/config-$k XDG_RUNTIME_DIR=$work/run-$k \
            valgrind --tool=callgrind --separate-threads=no --callgrind-out-file="$out" \
            "$build/src/app/vireka" --quit-after-start >/dev/null 2>&1
        irs[$k]=$(awk '/^summary:/{print $2}' "$out")
    done
    for k in "${keys[@]}"; do
        awk -v k="$k" -v i="${irs[$k]}" -v d="${irs[demo]}" \
            'BEGIN{printf "%-6s instructions %.1f M  vs_demo %.2f\n", k, i / 1e6, i / d}'
    done
fi
