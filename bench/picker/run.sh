#!/usr/bin/env bash
# Runs the picker benchmark in a private X server with a tray host, as the X11 e2e tests do.
# Usage: bench/picker/run.sh [BUILD_DIR]   (default build/release; built first)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build/release}"
cmake --build "$build" --target bench_picker >&2
source "$here/../../tests/e2e/lib.sh"
e2e_init "$build/src/swatchbar"
e2e_start_x 1920x1080
e2e_start_tray
xsetroot -solid '#3A7BD5' 2>/dev/null || true
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bench/picker/bench_picker" "${@:2}"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
