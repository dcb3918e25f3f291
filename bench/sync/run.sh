#!/usr/bin/env bash
# How fast two local Syncthing instances (as the sync end-to-end test sets them up) start and
# connect, and how long a new 4 KB file takes to reach the other folder.
# Floors, measured in the same run: a bare start of the syncthing program (--device-id) for
# the start-up, and the folder watcher's configured 1 s delay for a file.
# Usage: bench/sync/run.sh [RUNS]   (default 10, at least 7)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
runs=${1:-10}
((runs >= 7)) || runs=7
source "$here/../../tests/e2e/lib.sh"
source "$here/../../tests/e2e/sync_lib.sh"
E2E_TMP="$(mktemp -d "${TMPDIR:-/tmp}/swatchbar-syncbench.XXXXXX")"
trap e2e_cleanup EXIT
sync_init

now() { echo "$EPOCHREALTIME"; }
elapsed() { bc <<<"$(now) - $1"; }
# stats VALUES...: "min median max"
stats() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {printf "%.3f %.3f %.3f\n", v[1], v[int((NR+1)/2)], v[NR]}'; }

syncthing generate --home="$E2E_TMP/floor" --no-default-folder --skip-port-probing >/dev/null 2>&1
floor_start=()
for ((i = 0; i < runs; i++)); do
    t=$(now)
    syncthing serve --home="$E2E_TMP/floor" --device-id >/dev/null
    floor_start+=("$(elapsed "$t")")
done

e2e_on_fail() { sync_on_fail; }
start=()
for ((i = 0; i < runs; i++)); do
    # Fresh homes each time: a first start, as in the test.
    a=a$i b=b$i
    sync_create "$a" "$E2E_TMP/run$i/a"
    sync_create "$b" "$E2E_TMP/run$i/b"
    sync_configure_pair "$a" "$b"
    t=$(now)
    sync_start_pair "$a" "$b"
    start+=("$(elapsed "$t")")
    if ((i < runs - 1)); then
        sync_stop "$a"
        sync_stop "$b"
    fi
done

# The last pair stays up for the files.
sync_wait_in_sync 30 "$a" "$b"
transfer=()
for ((i = 0; i < runs; i++)); do
    head -c 4096 /dev/urandom >"$E2E_TMP/probe"
    t=$(now)
    mv "$E2E_TMP/probe" "${SYNC_DATA[$a]}/probe-$i.bin"
    deadline=$((SECONDS + 30))
    until cmp -s "${SYNC_DATA[$a]}/probe-$i.bin" "${SYNC_DATA[$b]}/probe-$i.bin" 2>/dev/null; do
        ((SECONDS < deadline)) || e2e_fail "probe $i did not arrive"
        sleep 0.02
    done
    transfer+=("$(elapsed "$t")")
    sync_wait_in_sync 30 "$a" "$b"
done

read -r fmin fmed fmax < <(stats "${floor_start[@]}")
read -r smin smed smax < <(stats "${start[@]}")
read -r tmin tmed tmax < <(stats "${transfer[@]}")
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores, $runs runs"
printf 'floor: syncthing program start       min %s  median %s  max %s s\n' "$fmin" "$fmed" "$fmax"
printf 'pair start and connect               min %s  median %s  max %s s  (median %.1f x floor)\n' \
    "$smin" "$smed" "$smax" "$(bc -l <<<"$smed / $fmed")"
printf 'new 4 KB file in the other folder    min %s  median %s  max %s s  (median %.2f x the 1 s watcher delay)\n' \
    "$tmin" "$tmed" "$tmax" "$tmed"
