#!/usr/bin/env bash
# Takes the README's pictures of the program's windows under a private X
# server with a window manager (so that windows have their title bars), and
# writes them to docs/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh --tests openbox

cmake --preset native >/dev/null
cmake --build --preset native --target veilor_window_gallery -j2

gallery="$PWD/build/native/veilor/6_ui/tests/veilor_window_gallery"
mkdir -p docs
xvfb-run -a -s "-screen 0 1280x800x24" bash -c "
  openbox >/dev/null 2>&1 &
  sleep 1
  '$gallery' skin docs/password-window.png
  '$gallery' report docs/report-window.png
  '$gallery' password-manager docs/password-manager.png
  '$gallery' password-add docs/add-password.png
  '$gallery' password-edit docs/edit-password.png
  '$gallery' settings docs/settings.png
  '$gallery' about docs/about.png
"
echo "Wrote the window pictures to docs/"
