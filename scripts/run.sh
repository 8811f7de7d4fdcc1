#!/usr/bin/env bash
# Builds Kivo (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh run
# A new build folder leaves out the tests and measuring programs, whose packages scripts/test.sh
# installs; one that scripts/test.sh configured keeps them.
without_tests=()
[ -f build/linux/CMakeCache.txt ] || without_tests=(-DKIVO_BUILD_TESTS=OFF -DKIVO_BUILD_BENCH=OFF)
cmake --preset linux "${without_tests[@]}" >/dev/null
cmake --build --preset linux --target kivo
exec build/linux/kivo "$@"
