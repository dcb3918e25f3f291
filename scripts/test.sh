#!/usr/bin/env bash
# Builds Swatchbar and runs every test. Usage: scripts/test.sh [dev|asan]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-dev}"
bash scripts/install-deps.sh --test
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j2
