#!/usr/bin/env bash
# Every test: the native build's, the Debian package made from it (installed,
# checked and removed again), the sanitizer build's, a one-minute fuzz run
# of the context-menu script readers, the Windows libraries built (or found
# cached), QXM.dll, veilor.exe and their tests cross-built and run under Wine,
# the installer tested end to end under Wine, the format check. Each step
# installs the Debian packages it needs. Runs every step, fails if any failed.
#
# Each step's output is also kept in build/test-logs/; the run ends with a
# summary that repeats what a failed step said about its failure, so that the
# tail of a CI log is enough to see what broke.
set -uo pipefail
cd "$(dirname "$0")/.."

logs=build/test-logs
rm -rf "$logs"
mkdir -p "$logs"
status=0
summary=()
failed_logs=()
step() {
  local log
  log="$logs/$(printf '%02d' $((${#summary[@]} + 1)))-$(basename "$1").log"
  echo "=== $*"
  local start=$SECONDS
  if "$@" 2>&1 | tee "$log"; then
    summary+=("ok      $((SECONDS - start)) s  $*")
  else
    echo "=== FAILED: $*"
    summary+=("FAILED  $((SECONDS - start)) s  $*")
    failed_logs+=("$log")
    status=1
  fi
}

step ./scripts/test-native.sh
step ./scripts/test-package.sh
step ./scripts/build.sh sanitize
step ctest --preset sanitize
step ./scripts/fuzz-qxm.sh 60
step ./scripts/test-windows.sh
step ./scripts/test-windows-program.sh
step ./scripts/check-format.sh

echo "=== summary"
printf '%s\n' "${summary[@]}"
for log in "${failed_logs[@]}"; do
  echo "=== what $log says about the failure"
  # Test names, assertion sites, compiler errors and sanitizer reports first,
  # then the step's last lines.
  grep -E '\[  FAILED  \]|Failure$|: error:|tests FAILED|\((Failed|Timeout|SEGFAULT|Subprocess aborted|Child aborted)\)|ERROR: (Address|Leak|libFuzzer)|runtime error:|^not ok|FAILED:' \
    "$log" | head -n 60
  echo "--- last lines"
  tail -n 40 "$log"
done
exit $status
