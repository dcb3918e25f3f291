#!/usr/bin/env bash
# Start-up counts that a busy machine leaves alone, for the program and the bare tray program
# side by side in one X session (Xvfb with a tray host), with 10 palettes of 50 colours
# (SWATCHBAR_BENCH_PALETTES for another number):
#   - instructions from exec to the first idle event loop, every thread (callgrind);
#   - the data layer's first load in a new process (callgrind, from the first call of
#     Manager::loadAllPalettes to its return, with its helper threads);
#   - page faults and system calls to idle (perf stat, strace -c).
# Each program ends itself at the idle point (SWATCHBAR_TIMING=exit), so nothing after it is
# counted. Before the runs the program starts and quits once, as a user's would have: the
# settings file exists and every palette is in its written form.
# Usage: bench/startup/count.sh [BUILD_DIR] [RUNS]   (default build/release, 3 runs)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../../build/release}" && pwd)"
runs="${2:-3}"
export SWATCHBAR_BENCH_PALETTES="${SWATCHBAR_BENCH_PALETTES:-10}"
palettes=$SWATCHBAR_BENCH_PALETTES
cmake --build "$build" --target bench_startup >&2
for tool in valgrind strace perf; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 1; }
done
bare="$build/bench/startup/bare_tray"
program="$build/bench/startup/swatchbar_timed"
loader="$build/bench/startup/bench_startup"

source "$here/../../tests/e2e/lib.sh"
e2e_init "$build/src/swatchbar"
e2e_start_x 1920x1080
e2e_start_tray
e2e_make_palettes "$palettes" 50
SWATCHBAR_TIMING=1 "$program" >/dev/null 2>&1 &
first=$!
E2E_PIDS+=("$first")
e2e_wait 20 test -s "$XDG_CONFIG_HOME/Swatchbar/Swatchbar.conf" || true
sleep 1
kill -TERM "$first" 2>/dev/null || true
wait "$first" 2>/dev/null || true

out="$E2E_TMP/counts"
mkdir -p "$out"
instructions() { # FILE: the total a callgrind run collected
    grep -m1 -oP '^(summary|totals): \K[0-9]+' "$1"
}
spread() { # NAME VALUES...: min, median and max
    local name=$1
    shift
    printf '%s\n' "$@" | sort -n | awk -v name="$name" '{v[NR] = $1}
        END {printf "  %-34s min %12d  median %12d  max %12d  (%d runs)\n", name, v[1],
             v[int((NR + 1) / 2)], v[NR], NR}'
}

declare -a bareIr programIr loadIr bareFaults programFaults bareCalls programCalls
for ((i = 1; i <= runs; i++)); do
    SWATCHBAR_TIMING=exit valgrind -q --tool=callgrind --callgrind-out-file="$out/bare.$i" \
        "$bare" >/dev/null 2>&1 || true
    bareIr+=("$(instructions "$out/bare.$i")")
    SWATCHBAR_TIMING=exit valgrind -q --tool=callgrind --callgrind-out-file="$out/program.$i" \
        "$program" >/dev/null 2>&1 || true
    programIr+=("$(instructions "$out/program.$i")")
    # The load's helper threads start in std::thread's run function.
    valgrind -q --tool=callgrind --collect-atstart=no --callgrind-out-file="$out/load.$i" \
        '--toggle-collect=Manager::loadAllPalettes*' '--toggle-collect=std::thread::_State_impl*' \
        "$loader" --load-once >/dev/null 2>&1 || true
    loadIr+=("$(instructions "$out/load.$i")")
    bareFaults+=("$(SWATCHBAR_TIMING=exit perf stat -x, -e page-faults "$bare" 2>&1 >/dev/null |
        grep page-faults | cut -d, -f1)")
    programFaults+=("$(SWATCHBAR_TIMING=exit perf stat -x, -e page-faults "$program" 2>&1 \
        >/dev/null | grep page-faults | cut -d, -f1)")
    SWATCHBAR_TIMING=exit strace -f -c -o "$out/bare.calls" "$bare" >/dev/null 2>&1 || true
    bareCalls+=("$(awk '$NF == "total" {print $4}' "$out/bare.calls")")
    SWATCHBAR_TIMING=exit strace -f -c -o "$out/program.calls" "$program" >/dev/null 2>&1 || true
    programCalls+=("$(awk '$NF == "total" {print $4}' "$out/program.calls")")
done

median() { printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
echo "Counts to idle with $palettes palettes x 50 colours, load average $(cut -d' ' -f1 /proc/loadavg):"
spread "bare instructions" "${bareIr[@]}"
spread "swatchbar instructions" "${programIr[@]}"
spread "data layer first load instructions" "${loadIr[@]}"
spread "bare page faults" "${bareFaults[@]}"
spread "swatchbar page faults" "${programFaults[@]}"
spread "bare system calls" "${bareCalls[@]}"
spread "swatchbar system calls" "${programCalls[@]}"
b=$(median "${bareIr[@]}")
p=$(median "${programIr[@]}")
l=$(median "${loadIr[@]}")
awk -v b="$b" -v p="$p" -v l="$l" 'BEGIN {
    printf "  swatchbar - bare = %.2f M instructions = %.2f x the first load (%.2f M)\n",
        (p - b) / 1e6, (p - b) / l, l / 1e6
    printf "  budget bare + 1.2 x first load = %.2f M: %s (%.3f x)\n", (b + 1.2 * l) / 1e6,
        p <= b + 1.2 * l ? "met" : "MISSED", p / (b + 1.2 * l) }'
