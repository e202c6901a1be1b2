#!/usr/bin/env bash
# Installs what the Windows cross build (QXM.dll, veilor.exe, the installer)
# and its tests under Wine need, on top of the native packages. Only what is
# missing is asked for.
set -euo pipefail
cd "$(dirname "$0")"
exec ./setup-deps.sh --tests g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 libwine-dev \
  googletest xvfb xauth nsis age python3 "$@"
