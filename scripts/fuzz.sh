#!/usr/bin/env bash
# Builds the settings file reader's fuzz target with clang and libFuzzer and runs it for
# about a minute from the seed corpus in tests/. Fails when an input crashes, hangs or
# trips a sanitizer; that input is left in build/fuzz/ to reproduce it.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/fuzz
cmake -S tests/settings/fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build"

# New inputs go to the build folder; the seeds in tests/ are only read.
mkdir -p "$build/corpus"
"$build/kivo_profile_fuzz" "$build/corpus" tests/settings/fuzz/corpus \
  -max_total_time="${KIVO_FUZZ_SECONDS:-60}" -max_len=4096 -timeout=10 \
  -artifact_prefix="$build/" -print_final_stats=1
