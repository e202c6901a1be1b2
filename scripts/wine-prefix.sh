# shellcheck shell=bash
# Sourced by the scripts that run Windows programs under Wine.
#
# make_wine_prefix NAME: a fresh, quiet Wine prefix /tmp/NAME.XXXXXX in
# $prefix and WINEPREFIX, with its server stopped and the folder removed when
# the script exits. Wine's own .NET and browser installers stay off.
# start_wine_prefix: creates the prefix now and keeps its server running for
# every program that follows (inside the X server when windows will open: the
# desktop process started here needs a display).

make_wine_prefix() {
  prefix=$(mktemp -d "/tmp/$1.XXXXXX")
  trap 'WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; rm -rf "$prefix"' EXIT
  export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

start_wine_prefix() {
  wineboot -i >/dev/null 2>&1 || wine cmd /c exit >/dev/null 2>&1 || true
}
