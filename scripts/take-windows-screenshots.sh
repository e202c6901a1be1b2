#!/usr/bin/env bash
# Takes pictures of the program's windows as the Windows build draws them,
# under Wine (its own desktop, with Windows frames) in a private X server, and
# writes them to docs/windows/: at 96 DPI, and the password window, the report
# and the settings again at 144 DPI (150 %) as "<name>-144dpi.png". Needs the
# Windows build (scripts/test-windows.sh or the windows preset after
# scripts/build-windows-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${VEILOR_SHOTS_UNDER_X:-}" ]; then
  ./scripts/setup-windows-deps.sh imagemagick xdotool
  cmake --build --preset windows --target veilor_window_gallery
  exec env VEILOR_SHOTS_UNDER_X=1 xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$@"
fi

gallery=build/windows/veilor/6_ui/tests/veilor_window_gallery.exe
out=docs/windows
mkdir -p "$out"
. scripts/wine-prefix.sh
make_wine_prefix veilor-shots
export VEILOR_GALLERY_AREA=1
start_wine_prefix
# The pointer rests in the screen's corner, where no window shows a tooltip.
xdotool mousemove 1599 1199

# Wine takes the display's DPI from the user's LogPixels when a program starts.
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

# shoot DPI DESKTOP SUFFIX WHAT...: one picture per window, named WHAT+SUFFIX.
shoot() {
  local dpi=$1 desktop=$2 suffix=$3
  shift 3
  set_dpi "$dpi"
  for what in "$@"; do
    picture="$PWD/$out/$what$suffix.png"
    rm -f "$picture.area"
    wine explorer /desktop=veilor,"$desktop" "$gallery" "$what" "$(winepath -w "$picture")" &
    for _ in $(seq 300); do
      [ -f "$picture.area" ] && break
      sleep 0.1
    done
    # The desktop window lies at the screen's origin: its coordinates are the screen's.
    import -window root -crop "$(cat "$picture.area")" +repage "$picture"
    rm -f "$picture.area"
    wait
    echo "wrote $out/$what$suffix.png"
  done
}

shoot 96 1280x800 "" skin report password-manager password-add password-edit settings about
# At 150 % the report is 1.5 times as large: a larger desktop.
shoot 144 1600x1200 -144dpi skin report settings
