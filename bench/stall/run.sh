#!/usr/bin/env bash
# Runs the UI-thread stall probe in a private X server with a tray host and a window manager.
# Usage: bench/stall/run.sh [BUILD_DIR] [-- probe options, e.g. --palettes 2000 --runs 9]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$here/../../build/release"
if [[ $# -gt 0 && "$1" != "--" ]]; then build="$1"; shift; fi
[[ "${1:-}" == "--" ]] && shift
cmake --build "$build" --target bench_stall swatchbar >&2
source "$here/../../tests/e2e/lib.sh"
e2e_init "$build/src/swatchbar"
e2e_start_x 1920x1080
e2e_start_tray
e2e_start_wm
"$build/bench/stall/bench_stall" "$@"
