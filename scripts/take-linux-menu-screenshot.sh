#!/bin/bash
# Shows the menu that `qxm install` writes in a real file manager: installs the
# shipped Linux menu script (with the build tree's veilor in place of
# /usr/bin/veilor) for a private user, opens the file manager on a folder with
# "a b.txt" and "c,d.txt", selects both, right-clicks them and takes a
# screenshot of the window with its open menu. Everything runs under a private
# X server (Xvfb) with openbox, a private session bus, HOME and XDG folders.
# Not run by CI: it needs the file manager installed (apt install nemo).
#
# Usage: scripts/take-linux-menu-screenshot.sh [--mixed] [--open 'KEY...'] [--keys 'KEY...']
#                                               thunar|nemo|nautilus|dolphin [OUT.png]
#   --mixed  the folder also holds a folder "e f", selected with the files.
#   --open   keys to press in the open menu before the screenshot (xdotool
#            names); a word @X,Y clicks there instead, at X,Y in the
#            screenshot (whose top left corner is the window's).
#   --keys   after the screenshot, press these keys (xdotool names, e.g.
#            'Down Down Return', or @X,Y) to choose an entry; the menu then starts a
#            recorder instead of veilor, and its arguments are printed one a
#            line and compared with the two selected paths.
#   VEILOR_BUILD_DIR  the build with qxm, veilor and linux/menu/veilor.qxm
#                     (default build/package, configured and built if missing).
# Examples, the last four choosing "Veilor: Encrypt with AES" (Debian 12's versions):
#   scripts/take-linux-menu-screenshot.sh nemo           # docs/linux/nemo-menu.png
#   scripts/take-linux-menu-screenshot.sh --keys 'Down Down Return' nemo /tmp/nemo.png
#   scripts/take-linux-menu-screenshot.sh --keys 'Down Down Down Down Down Down Down Return' \
#     thunar /tmp/thunar.png
#   scripts/take-linux-menu-screenshot.sh --open '@340,262 @340,185' --keys '@374,377' \
#     nautilus /tmp/nautilus.png
#   scripts/take-linux-menu-screenshot.sh --open '@370,381' --keys '@750,381' dolphin /tmp/dolphin.png
# Needs: xvfb, openbox, xdotool, imagemagick, dbus. Root runs it as nobody,
# since the file managers show a warning bar to root.
set -euo pipefail

open="" keys="" mixed=""
while [ "${1-}" = --open ] || [ "${1-}" = --keys ] || [ "${1-}" = --mixed ]; do
  case $1 in
    --mixed) mixed=yes && shift && continue ;;
    --open) open=$2 ;;
    *) keys=$2 ;;
  esac
  shift 2
done
manager=${1:?"usage: $0 [--open 'KEY...'] [--keys 'KEY...'] thunar|nemo|nautilus|dolphin [OUT.png]"}
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${2:-$root/docs/linux/$manager-menu.png}")
case $manager in
  thunar) class=Thunar ;;
  nemo) class=Nemo ;;
  nautilus) class=org.gnome.Nautilus ;;
  dolphin) class=dolphin ;;
  *) echo "unknown file manager: $manager" >&2; exit 2 ;;
esac
command -v "$manager" >/dev/null || { echo "$manager is not installed" >&2; exit 2; }

build=$(realpath -m "${VEILOR_BUILD_DIR:-$root/build/package}")
if [ ! -x "$build/qxm/tool/qxm" ] || [ ! -x "$build/veilor/7_app/veilor" ]; then
  (cd "$root" && cmake --preset package >/dev/null && cmake --build --preset package --target qxm veilor)
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
home=$work/home
mkdir -p "$home/files" "$work/run"
: >"$home/files/a b.txt"
: >"$home/files/c,d.txt"
selected=("$home/files/a b.txt" "$home/files/c,d.txt")
if [ -n "$mixed" ]; then
  mkdir "$home/files/e f"
  selected+=("$home/files/e f")
fi

# The recorder writes its arguments NUL-terminated, the file whole or not at all.
cat >"$work/record" <<EOF
#!/bin/sh
printf '%s\\0' "\$@" >"$work/args.partial" && mv "$work/args.partial" "$work/args"
EOF
chmod 755 "$work/record"
program=$build/veilor/7_app/veilor
[ -n "$keys" ] && program=$work/record
# The menu's icons in the private user's hicolor theme, as the package puts
# them in the system's, and Veilor's file types.
icons=$home/.local/share/icons/hicolor/32x32/apps
mkdir -p "$icons" "$home/.local/share/mime/packages"
cp "$root/linux/icons/32x32/veilor.png" "$icons/veilor.png"
for icon in "$root"/linux/menu-icons/*.png; do
  [ "$(basename "$icon")" = veilor.png ] || cp "$icon" "$icons/veilor-$(basename "$icon")"
done
cp "$root/linux/mime/veilor.xml" "$home/.local/share/mime/packages/"
# Menus with their icons, which GTK 3 hides unless asked.
mkdir -p "$home/.config/gtk-3.0"
printf '[Settings]\ngtk-menu-images=true\n' >"$home/.config/gtk-3.0/settings.ini"
update-mime-database "$home/.local/share/mime" >/dev/null 2>&1 || true
sed -e "s|/usr/bin/veilor|$program|" -e "s|/usr/share/icons/hicolor/|$home/.local/share/icons/hicolor/|" \
  "$build/linux/menu/veilor.qxm" >"$work/veilor.qxm"

cat >"$work/session" <<'EOF'
#!/bin/bash
# In the private X server and session bus: install, open, select, right-click, shoot.
set -eu
cd "$HOME"
"$QXM" install "$WORK/veilor.qxm"
openbox >/dev/null 2>&1 &
sleep 1
case $MANAGER in
  thunar) thunar "$HOME/files" ;;
  nemo) nemo --no-desktop "$HOME/files" ;;
  nautilus) nautilus --new-window "$HOME/files" ;;
  dolphin) dolphin --new-window "$HOME/files" ;;
esac >"$WORK/manager.log" 2>&1 &
window=""
for _ in $(seq 120); do
  window=$(xdotool search --onlyvisible --class "$CLASS" 2>/dev/null | tail -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.5
done
[ -n "$window" ] || { echo "no $MANAGER window" >&2; cat "$WORK/manager.log" >&2; exit 1; }
xdotool windowmove "$window" 40 40 windowsize "$window" 900 560
sleep 3
xdotool windowactivate "$window" 2>/dev/null || xdotool windowfocus "$window"
sleep 1
# Where the window and its frame begin: the screenshot's corner, what
# positions are counted from.
import -window root "$WORK/empty.png"
corner=$(convert "$WORK/empty.png" -format '%@' info:)  # WxH+X+Y
corner=${corner#*+}
left=${corner%+*} top=${corner#*+}
click() { xdotool mousemove $((left + $1)) $((top + $2)) click "$3"; }
# The first file's icon, where each file manager's default icon view puts it.
case $MANAGER in
  thunar) x=213 y=165 ;;
  nemo) x=253 y=170 ;;
  nautilus) x=300 y=130 ;;
  dolphin) x=325 y=138 ;;
esac
# A click on the empty part of the view gives it the keyboard, then select all.
click $((x + 300)) $((y + 250)) 1
sleep 1
xdotool key ctrl+a
sleep 1
click "$x" "$y" 3
sleep 2
press() {
  for word in "$@"; do
    case $word in
      @*,*)
        local at=${word#@}
        click "${at%,*}" "${at#*,}" 1
        ;;
      *) xdotool key "$word" ;;
    esac
    sleep 0.5
  done
}
# shellcheck disable=SC2086 # one key or click a word
press $OPEN
sleep 1
import -window root "$WORK/screen.png"
if [ -n "$KEYS" ]; then
  # shellcheck disable=SC2086 # one key or click a word
  press $KEYS
  for _ in $(seq 40); do
    [ -e "$WORK/args" ] && break
    sleep 0.5
  done
fi
EOF
chmod 755 "$work/session"

run=(env -i PATH=/usr/local/bin:/usr/bin:/bin HOME="$home" LANG=C.UTF-8
  XDG_RUNTIME_DIR="$work/run" XDG_DATA_HOME="$home/.local/share" XDG_CONFIG_HOME="$home/.config"
  XDG_CACHE_HOME="$home/.cache" GSK_RENDERER=cairo NO_AT_BRIDGE=1
  QXM="$build/qxm/tool/qxm" WORK="$work" MANAGER="$manager" CLASS="$class" KEYS="$keys" OPEN="$open")
if [ "$(id -u)" = 0 ]; then
  chown -R nobody:nogroup "$work"
  run=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${run[@]}")
fi
chmod 700 "$work/run"
"${run[@]}" xvfb-run -a -s '-screen 0 1280x800x24 -br' dbus-run-session -- "$work/session"

# The window and its menus, without the black root around them.
mkdir -p "$(dirname "$out")"
convert "$work/screen.png" -trim +repage "$out"
echo "screenshot: $out"

if [ -n "$keys" ]; then
  [ -e "$work/args" ] || { echo "the chosen entry started nothing" >&2; exit 1; }
  echo "arguments:"
  tr '\0' '\n' <"$work/args" | sed 's/^/  /'
  # The verb, then each selected path as an argument of its own, in any order.
  paths=$(tail -z -n +2 "$work/args" | sort -z | tr '\0' '\n')
  if [ "$paths" = "$(printf '%s\n' "${selected[@]}" | sort)" ]; then
    echo "the program got the ${#selected[@]} selected paths, one argument each"
  else
    echo "the program did not get exactly the ${#selected[@]} selected paths" >&2
    exit 1
  fi
fi
