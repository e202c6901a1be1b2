#!/usr/bin/env bash
# Installs what is missing, then configures and builds one preset (default: native).
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-native}"
./scripts/setup-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
