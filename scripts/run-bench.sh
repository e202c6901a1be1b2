#!/usr/bin/env bash
# Builds the program and measures the file procedures against cp and openssl:
# throughput on a 1 GiB file, then peak memory on a 4 GiB file. Needs about
# 12 GiB free in the folder given (default /tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
folder="${1:-/tmp}"

scripts/setup-deps.sh openssl
cmake --preset native >/dev/null
cmake --build --preset native --target veilor_file_bench

bench=build/native/bench/veilor_file_bench
echo "== Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
echo "== Throughput, 1 GiB, median of 3 runs"
"$bench" 1024 "$folder" 3
echo "== Memory, 4 GiB, one run"
"$bench" 4096 "$folder" 1
