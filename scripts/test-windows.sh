#!/usr/bin/env bash
# Builds veilor's Windows libraries (or finds them cached), cross-builds
# QXM.dll, qxm.exe, veilor.exe, the installer and their tests with mingw-w64,
# and runs the tests under Wine in a fresh Wine prefix inside a private X
# server (menus and windows need a display).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${VEILOR_WINE_UNDER_X:-}" ]; then
  ./scripts/setup-windows-deps.sh
  ./scripts/build-windows-deps.sh
  cmake --preset windows
  cmake --build --preset windows
  # The prefix must be made inside the X server too: Wine's desktop process,
  # started with the prefix, would otherwise have no display, and every
  # dialog created later would fail.
  exec env VEILOR_WINE_UNDER_X=1 xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$@"
fi

. scripts/wine-prefix.sh
make_wine_prefix veilor-wine
start_wine_prefix
ctest --preset windows
