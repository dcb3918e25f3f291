#!/usr/bin/env bash
# Runs the start-up benchmark in a private X server with a tray host.
# Usage: bench/startup/run.sh [BUILD_DIR]   (default build/release; built first)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build/release}"
cmake --build "$build" --target bench_startup >&2
source "$here/../../tests/e2e/lib.sh"
e2e_init "$build/src/swatchbar"
e2e_start_x 1920x1080
e2e_start_tray
"$build/bench/startup/bench_startup"
