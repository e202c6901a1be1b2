#!/usr/bin/env bash
# Makes the PNG icons of the Linux package from the Windows icons, which stay
# the originals (run again after changing those, and commit the result):
#   linux/icons/NxN/veilor.png  the program's icon for the hicolor theme, from
#                               veilor/veilor.ico: a size the .ico holds is
#                               taken as it is, the others are scaled from its
#                               largest image
#   linux/menu-icons/NAME.png   the menu script's icons, from the 32 x 32 image
#                               of qxm/scripts/NAME.ico
# Needs ImageMagick (Debian package imagemagick).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup-deps.sh imagemagick

# PNG without time stamps, so that an unchanged icon gives an unchanged file.
# png INPUT [OPTIONS...] OUTPUT
png() {
  local out=${!#}
  convert "${@:1:$#-1}" -strip -define png:exclude-chunks=date,time "PNG32:$out"
}

# The index of the image of the given width in an .ico, or of its largest.
frame() {
  local ico=$1 width=$2
  identify -format '%p %w\n' "$ico" | sort -k2,2n |
    awk -v w="$width" '$2 == w { found = $1 } { last = $1 } END { print (found != "" ? found : last) }'
}

for size in 16 24 32 48 64 128 256; do
  mkdir -p "linux/icons/${size}x${size}"
  png "veilor/veilor.ico[$(frame veilor/veilor.ico "$size")]" -resize "${size}x${size}" \
    "linux/icons/${size}x${size}/veilor.png"
done

mkdir -p linux/menu-icons
for ico in qxm/scripts/*.ico; do
  name=$(basename "$ico" .ico)
  png "${ico}[$(frame "$ico" 32)]" "linux/menu-icons/$name.png"
done
identify linux/icons/*/veilor.png linux/menu-icons/*.png
