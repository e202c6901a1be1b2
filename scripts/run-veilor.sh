#!/usr/bin/env bash
# Sets up and builds veilor (only what building and running need: no test
# tools), then runs it with the given arguments, e.g.
#   scripts/run-veilor.sh aese /home/me/report.pdf /home/me/photos
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh" package veilor >&2
exec "$root/build/package/veilor/7_app/veilor" "$@"
