#!/usr/bin/env bash
# Cross-builds QXM.dll, qxm.exe and the Windows tests with mingw-w64 and runs
# the tests under Wine in a fresh Wine prefix, inside a private X server (the
# menu painting needs a display).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup-windows-deps.sh
cmake --preset windows
cmake --build --preset windows

prefix=$(mktemp -d /tmp/qxm-wine.XXXXXX)
cleanup() {
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The first start creates the prefix; keep its server running for all tests.
wineboot -i >/dev/null 2>&1 || wine cmd /c exit >/dev/null 2>&1 || true
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset windows
