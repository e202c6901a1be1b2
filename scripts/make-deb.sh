#!/usr/bin/env bash
# Builds the Debian package of veilor and qxm:
#   scripts/make-deb.sh [PRESET]    (default: package, the release build without tests)
# Installs what building needs, configures and builds the preset (tests and
# all, for a preset that has them, so that an existing build is only brought
# up to date), then packs it with CPack. The package lands in build/, as
# build/veilor_VERSION_ARCH.deb; its path is the last line printed.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-package}"
# dpkg-shlibdeps (dpkg-dev) and file compute the dependencies from the binaries.
./scripts/setup-deps.sh dpkg-dev file
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
binary_dir=build/$preset  # every native preset builds in build/<its name>
rm -f "$binary_dir"/veilor_*.deb
(cd "$binary_dir" && cpack -G DEB >/dev/null)
package=$(ls "$binary_dir"/veilor_*.deb)
mv -f "$package" build/
echo "build/$(basename "$package")"
