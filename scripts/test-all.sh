#!/usr/bin/env bash
# Every test: the native build's, the sanitizer build's, a one-minute fuzz run
# of the context-menu script readers, the Windows libraries built (or found
# cached), QXM.dll, veilor.exe and their tests cross-built and run under Wine,
# the installer tested end to end under Wine, the format check. Each step
# installs the Debian packages it needs. Runs every step, fails if any failed.
set -uo pipefail
cd "$(dirname "$0")/.."

status=0
step() {
  echo "=== $*"
  if ! "$@"; then
    echo "=== FAILED: $*"
    status=1
  fi
}

step ./scripts/test-native.sh
step ./scripts/build.sh sanitize
step ctest --preset sanitize
step ./scripts/fuzz-qxm.sh 60
step ./scripts/test-windows.sh
step ./scripts/test-windows-program.sh
step ./scripts/check-format.sh
exit $status
