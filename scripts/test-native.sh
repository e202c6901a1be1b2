#!/usr/bin/env bash
# Sets up, builds and runs every test of the native build (Linux; window
# tests under a private X server).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh native
ctest --preset native
