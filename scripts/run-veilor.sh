#!/usr/bin/env bash
# Sets up and builds veilor, then runs it with the given arguments, e.g.
#   scripts/run-veilor.sh aese "/home/me/report.pdf,/home/me/photos"
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh" native >&2
exec "$root/build/native/veilor/veilor" "$@"
