#!/usr/bin/env bash
# Builds the fuzzer of the context-menu script readers with clang (in its own
# build folder, apart from the gcc presets) and runs it for a bounded time:
#   scripts/fuzz-qxm.sh [SECONDS]      (default 60)
# Fails on any crash, leak or sanitizer report; the failing input is kept in
# build/fuzz/ as crash-*, leak-* or timeout-*.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
./scripts/setup-deps.sh --tests
cmake -S qxm -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQXM_BUILD_TESTS=OFF -DQXM_BUILD_FUZZER=ON -DVEILOR_WERROR=ON >/dev/null
cmake --build build/fuzz --target qxm_script_fuzzer -j2
# New inputs go to a corpus in the build folder; the committed seeds are only read.
mkdir -p build/fuzz/corpus
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  build/fuzz/fuzz/qxm_script_fuzzer -max_total_time="$seconds" -max_len=8192 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=build/fuzz/ \
  build/fuzz/corpus qxm/fuzz/corpus
