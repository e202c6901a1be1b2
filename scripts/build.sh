#!/usr/bin/env bash
# Installs what is missing, then configures and builds one preset (default:
# native), all of it or the targets named:
#   scripts/build.sh [PRESET [TARGET...]]
# The "package" preset builds no tests and so needs none of the test tools.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-native}"
shift || true
if [ "$preset" = package ]; then
  ./scripts/setup-deps.sh
else
  ./scripts/setup-deps.sh --tests
fi
cmake --preset "$preset" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build --preset "$preset" --target "$@"
else
  cmake --build --preset "$preset"
fi
