#!/usr/bin/env bash
# Takes pictures of the program's windows as the Windows build draws them,
# under Wine (its own desktop, with Windows frames) in a private X server, and
# writes them to docs/windows/. Needs the Windows build (scripts/test-windows.sh
# or the windows preset after scripts/build-windows-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${VEILOR_SHOTS_UNDER_X:-}" ]; then
  ./scripts/setup-windows-deps.sh imagemagick
  cmake --build --preset windows --target veilor_window_gallery
  exec env VEILOR_SHOTS_UNDER_X=1 xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

gallery=build/windows/veilor/ui/tests/veilor_window_gallery.exe
out=docs/windows
mkdir -p "$out"
prefix=$(mktemp -d /tmp/veilor-shots.XXXXXX)
trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; rm -rf "$prefix"' EXIT
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" VEILOR_GALLERY_AREA=1
wineboot -i >/dev/null 2>&1 || true

for what in skin report password-manager password-add password-edit settings about; do
  picture="$PWD/$out/$what.png"
  rm -f "$picture.area"
  wine explorer /desktop=veilor,1280x800 "$gallery" "$what" "$(winepath -w "$picture")" &
  for _ in $(seq 300); do
    [ -f "$picture.area" ] && break
    sleep 0.1
  done
  # The desktop window lies at the screen's origin: its coordinates are the screen's.
  import -window root -crop "$(cat "$picture.area")" +repage "$picture"
  rm -f "$picture.area"
  wait
  echo "wrote $out/$what.png"
done
