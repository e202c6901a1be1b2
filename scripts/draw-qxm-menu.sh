#!/usr/bin/env bash
# Draws docs/qxm-menu.png: the context menu that the shipped script gives for
# one selected ".aes" file, painted by QXM.dll's own code under Wine and Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup-windows-deps.sh imagemagick
cmake --preset windows
cmake --build --preset windows --target qxm_menu_picture

. scripts/wine-prefix.sh
make_wine_prefix qxm-wine
bmp="$prefix/qxm-menu.bmp"
xvfb-run -a -s "-screen 0 1024x768x24" \
  wine build/windows/qxm-shell-bin/qxm_menu_picture.exe "$(winepath -w "$bmp")"
convert "$bmp" -strip docs/qxm-menu.png
echo "Wrote docs/qxm-menu.png"
