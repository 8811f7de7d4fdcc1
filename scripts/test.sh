#!/usr/bin/env bash
# Builds Kivo with its tests (installing what is missing) and runs every test: on Linux,
# then the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh run test
cmake --preset linux -DKIVO_BUILD_TESTS=ON -DKIVO_BUILD_BENCH=ON
cmake --build --preset linux
ctest --preset linux
cmake --preset windows
cmake --build --preset windows
ctest --preset windows
