#!/usr/bin/env bash
# Tests the Debian package on this machine (Debian 12, as root): builds it from
# the native build (scripts/make-deb.sh native: only brings that build up to
# date), checks it with lintian (no errors), installs it with dpkg, runs the
# installed program, validates the desktop entry and the AppStream metainfo,
# checks that the package's post-install step stored the shipped menu and wrote
# Nautilus's extension, that the desktop knows Veilor's file types and the
# menu's icons by name, and that a user with a Thunar list of their own gets
# the menu at login; then removes it and checks that nothing it brought or
# wrote is left in /etc or /usr, and that the user's next login takes the menu
# out of their list again.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
  echo "test-package.sh installs a package: run it as root" >&2
  exit 1
fi
./scripts/setup-deps.sh lintian desktop-file-utils appstream man-db python3-nautilus libglib2.0-bin
deb=$(./scripts/make-deb.sh native | tail -n 1)
version=$(dpkg-deb -f "$deb" Version)
echo "--- $deb: version $version"
dpkg-deb -f "$deb" Depends

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

echo "--- lintian"
lintian --fail-on error --display-info "$deb"

# A package left from an earlier run would hide what this one leaves behind.
if dpkg-query -W -f='${Status}' veilor 2>/dev/null | grep -q 'installed'; then
  dpkg -r veilor >/dev/null
fi

# Every file and folder in /etc and /usr, except the caches that the
# desktop's dpkg triggers rebuild whenever an icon or desktop entry comes or goes.
snapshot() {
  find /etc /usr -xdev 2>/dev/null |
    grep -v -E '/(icon-theme\.cache|mimeinfo\.cache|desktop\.[a-z]+\.cache)$|^/usr/share/info/dir' |
    sort
}
before=$(mktemp)
after=$(mktemp)
selected=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$before" "$after" "$selected" "$home"' EXIT
snapshot >"$before"

echo "--- dpkg -i"
dpkg -i "$deb"
[ "$(command -v veilor)" = /usr/bin/veilor ] || fail "veilor is not /usr/bin/veilor"
[ "$(command -v qxm)" = /usr/bin/qxm ] || fail "qxm is not /usr/bin/qxm"
printed=$(cd / && /usr/bin/veilor --version)
echo "veilor --version: $printed"
[ "$printed" = "Veilor $version" ] || fail "veilor --version printed '$printed'"
[ -f /usr/share/veilor/themes/PassEnterFrm.png ] || fail "no skin in /usr/share/veilor/themes"

echo "--- desktop entry and metainfo"
desktop-file-validate /usr/share/applications/veilor.desktop
appstreamcli validate --no-net /usr/share/metainfo/app.veilor.Veilor.metainfo.xml
for page in veilor qxm; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $page(1): $warnings"
done

echo "--- the menu the package installed"
# The stored script is the shipped one with the installed paths: an .aes file
# is offered decryption by /usr/bin/veilor.
touch "$selected/report.pdf.aes"
menu=$(env -u QXM_REGISTRY_DIR qxm menu "$selected/report.pdf.aes")
echo "$menu"
grep -q 'Decrypt AES file  =>  "/usr/bin/veilor" aesd' <<<"$menu" ||
  fail "qxm menu does not show the installed script's decryption entry"

echo "--- Nautilus's extension for all users"
# Loaded as Nautilus loads it, by the system Python against the real Nautilus API.
extension=/usr/share/nautilus-python/extensions/qxm_menu.py
[ -f "$extension" ] || fail "the menu for Nautilus is not in $extension"
/usr/bin/python3 - "$extension" <<'EOF' || fail "Nautilus cannot load $extension"
import importlib.util
import sys

import gi

gi.require_version("Nautilus", "4.0")
spec = importlib.util.spec_from_file_location("qxm_menu", sys.argv[1])
module = importlib.util.module_from_spec(spec)
spec.loader.exec_module(module)
module.QxmMenuProvider()
EOF

echo "--- Veilor's file types and the menu's icons"
content_type() {
  gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
}
head -c 64 /dev/urandom >"$selected/x.aes"
head -c 64 /dev/urandom >"$selected/x.des3"
printf 'age-encryption.org/v1\n-> X25519 x\n' >"$selected/age file without extension"
while read -r expected name; do
  type=$(content_type "$selected/$name")
  echo "$name: $type"
  [ "$type" = "$expected" ] || fail "the desktop takes $name for $type, not $expected"
done <<'TYPES'
application/x-veilor-aes x.aes
application/x-veilor-des3 x.des3
application/x-age age file without extension
TYPES
# Every icon of the installed script lies in the hicolor theme, and Nemo,
# which takes names only, gets them by name.
icons=$(grep -o '/usr/share/icons/hicolor/[^;]*\.png' /usr/share/veilor/menu/veilor.qxm | sort -u)
[ -n "$icons" ] || fail "the installed script names no icon of the hicolor theme"
for icon in $icons; do
  [ -f "$icon" ] || fail "the menu's icon $icon is not installed"
done
grep -q '^Icon-Name=veilor-aes-encrypt$' /usr/share/nemo/actions/*.nemo_action ||
  fail "Nemo's actions do not name their icons"

echo "--- a Thunar user with a list of their own, at login"
login=/etc/xdg/autostart/qxm-thunar.desktop
desktop-file-validate "$login"
mkdir -p "$home/.config/Thunar"
cat >"$home/.config/Thunar/uca.xml" <<'UCA'
<?xml version="1.0" encoding="UTF-8"?>
<actions>
<action>
	<icon>utilities-terminal</icon>
	<name>Open Terminal Here</name>
	<unique-id>1671234567-1</unique-id>
	<command>exo-open --working-directory %f --launch TerminalEmulator</command>
	<description>Example for a custom action</description>
	<patterns>*</patterns>
	<startup-notify/>
	<directories/>
</action>
</actions>
UCA
cp "$home/.config/Thunar/uca.xml" "$selected/uca.xml.before"
# What the session does at login: the entry's command, as the user.
run_entry() {
  local command
  command=$(sed -n 's/^Exec=//p' "$1")
  env -i HOME="$home" PATH=/usr/bin:/bin sh -c "$command"
}
# An X session's start-up sources its step first, with set -e, then the
# desktop runs the autostart entry: the same result, taken once.
session_step=/etc/X11/Xsession.d/90qxm-thunar
if [ -d /etc/X11/Xsession.d ]; then
  env -i HOME="$home" PATH=/usr/bin:/bin sh -ec ". $session_step" ||
    fail "the X session's step failed"
fi
run_entry "$login"
merged=$(grep -c '<unique-id>qxm-all-' "$home/.config/Thunar/uca.xml" || true)
echo "actions merged into the user's uca.xml: $merged"
[ "$merged" -gt 0 ] || fail "the login step merged nothing into the user's uca.xml"
grep -q '<name>Open Terminal Here</name>' "$home/.config/Thunar/uca.xml" ||
  fail "the login step lost the user's own action"
leftovers=$home/.config/autostart/qxm-thunar-leftovers.desktop
[ -f "$leftovers" ] || fail "the user has no step that takes the menu out once it is gone"

echo "--- dpkg -r"
dpkg -r veilor
snapshot >"$after"
if ! diff -u "$before" "$after"; then
  fail "removing the package left the files above behind (+) or took others (-)"
fi
[ ! -e /usr/share/veilor ] || fail "/usr/share/veilor is left"
status=$(dpkg-query -W -f='${db:Status-Status}' veilor 2>/dev/null || true)
[ -z "$status" ] || [ "$status" = not-installed ] || fail "dpkg still lists veilor as $status"
[ "$(content_type "$selected/x.aes")" != application/x-veilor-aes ] ||
  fail "the desktop still knows Veilor's file types"

echo "--- the Thunar user's next login"
run_entry "$leftovers"
cmp "$selected/uca.xml.before" "$home/.config/Thunar/uca.xml" ||
  fail "the user's uca.xml is not as it was before the package"
left=$(find "$home" ! -type d ! -path "$home/.config/Thunar/uca.xml")
[ -z "$left" ] || fail "the login after removal left $left"
echo "package test passed"
