#!/usr/bin/env bash
# Runs the age library on every vector of a folder of the public age test
# vectors and prints one line per vector and a summary; exits non-zero when
# a vector's result differs from its "expect" or the plaintext released
# differs from its "payload".
#
#   scripts/run-age-testkit.sh [FOLDER]
#
#   FOLDER   the vectors (default: ../shared/age/testkit beside the repository)
#
# Builds the runner in build/native (configured if need be) first.
set -euo pipefail
cd "$(dirname "$0")/.."

folder=${1:-../shared/age/testkit}
if [ ! -d build/native ]; then
  cmake --preset native >/dev/null
fi
cmake --build build/native --target age_testkit -j2 >/dev/null
exec build/native/veilor/1_age/tests/age_testkit "$folder"
