#!/usr/bin/env bash
# Builds Swatchbar and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release -DSWATCHBAR_BUILD_BENCH=OFF >/dev/null
cmake --build --preset release --target swatchbar
exec build/release/src/swatchbar "$@"
