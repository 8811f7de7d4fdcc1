#!/usr/bin/env bash
# Builds Kivo with its tests (installing what is missing) and runs every test: on Linux,
# then the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
cmake --preset linux
cmake --build --preset linux
ctest --preset linux
cmake --preset windows
cmake --build --preset windows
ctest --preset windows
