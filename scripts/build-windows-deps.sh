#!/usr/bin/env bash
# Builds static libpng, Crypto++ and wxMSW for x86_64-w64-mingw32 from
# Debian's source packages into a cache folder outside the repository, keyed
# by their versions, and libsodium into a cache folder of its own (added
# later; its own folder keeps the others' cache valid). Does nothing when
# the caches are complete. Prints the first cache folder on its last line.
#
#   VEILOR_WINDEPS_DIR   the cache folder (default: ~/.cache/veilor-windeps/<versions>)
#   VEILOR_SODIUM_DIR    libsodium's (default: ~/.cache/veilor-windeps/sodium<version>)
#   VEILOR_WINDEPS_JOBS  parallel make jobs (default: number of processors)
#
# About 25 minutes on 2 cores, most of it wxWidgets.
set -euo pipefail
cd "$(dirname "$0")"

PNG_VERSION=1.6.39
CRYPTOPP_VERSION=8.7.0
WX_VERSION=3.2.2
SODIUM_VERSION=1.0.18
TRIPLET=x86_64-w64-mingw32
# The posix thread model matches the compilers of the cross toolchain file;
# mixing models in one static program breaks std::thread and friends.
CC_W=${TRIPLET}-gcc-posix
CXX_W=${TRIPLET}-g++-posix

prefix=${VEILOR_WINDEPS_DIR:-$HOME/.cache/veilor-windeps/png${PNG_VERSION}-cryptopp${CRYPTOPP_VERSION}-wx${WX_VERSION}}
jobs=${VEILOR_WINDEPS_JOBS:-$(nproc)}
stamp="$prefix/.complete"
sodium_prefix=${VEILOR_SODIUM_DIR:-$HOME/.cache/veilor-windeps/sodium${SODIUM_VERSION}}

if [ -f "$stamp" ] && [ -f "$sodium_prefix/.complete" ]; then
  echo "Windows libraries already built in $prefix"
  echo "$prefix"
  exit 0
fi

./setup-deps.sh g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev \
  dpkg-dev make autoconf automake libtool

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

# The source packages need a deb-src entry; it lives in a file of its own so
# that the system's own entries stay as they are.
src_list=/etc/apt/sources.list.d/veilor-deb-src.sources
if [ ! -f "$src_list" ]; then
  "${sudo_cmd[@]}" tee "$src_list" >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
fi

work=$(mktemp -d /tmp/veilor-windeps.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$prefix/include" "$prefix/lib"
cd "$work"

if [ ! -f "$sodium_prefix/.complete" ]; then
echo "=== libsodium $SODIUM_VERSION"
apt-get source -q --download-only libsodium
mkdir -p src/sodium
tar -xf "$(ls libsodium_${SODIUM_VERSION}*.orig.tar.* | head -n1)" -C src/sodium
(
  cd src/sodium/libsodium-*
  # The upstream tarball carries no configure script; Debian makes it too.
  ./autogen.sh -s >/dev/null
  ./configure -q --host=$TRIPLET --disable-shared --enable-static --prefix="$sodium_prefix" \
    CC=$CC_W
  make -j"$jobs" >/dev/null
  make install >/dev/null
)
touch "$sodium_prefix/.complete"
fi
if [ -f "$stamp" ]; then
  echo "Windows libraries already built in $prefix"
  echo "$prefix"
  exit 0
fi

apt-get source -q --download-only wxwidgets3.2 libcrypto++ libpng1.6

unpack() { # $1: glob of the upstream tarball
  local tarball
  tarball=$(ls $1 | head -n1)
  mkdir -p src
  tar -xf "$tarball" -C src
}

mingw_inc=/usr/$TRIPLET/include
mingw_lib=/usr/$TRIPLET/lib

# Each library marks itself done, so that a run that stopped half-way goes on
# where it stopped.
if [ ! -f "$prefix/.libpng-done" ]; then
echo "=== libpng $PNG_VERSION"
unpack "libpng1.6_${PNG_VERSION}*.orig.tar.*"
(
  cd src/libpng-$PNG_VERSION
  ./configure -q --host=$TRIPLET --disable-shared --prefix="$prefix" CC=$CC_W \
    CPPFLAGS="-I$mingw_inc" LDFLAGS="-L$mingw_lib"
  make -j"$jobs" >/dev/null
  make install >/dev/null
)
touch "$prefix/.libpng-done"
fi

if [ ! -f "$prefix/.cryptopp-done" ]; then
echo "=== Crypto++ $CRYPTOPP_VERSION"
mkdir -p src/cryptopp
tar -xf "$(ls libcrypto++_${CRYPTOPP_VERSION}*.orig.tar.* | head -n1)" -C src/cryptopp
(
  cd src/cryptopp
  # Some tarballs unpack into a folder of their own.
  if [ ! -f GNUmakefile ]; then cd "$(dirname "$(ls */GNUmakefile | head -n1)")"; fi
  make -f GNUmakefile -j"$jobs" CXX=$CXX_W AR=${TRIPLET}-ar RANLIB=${TRIPLET}-ranlib \
    CXXFLAGS="-O2 -DNDEBUG" static >/dev/null
  # Not its install target: that rebuilds the native library and test program.
  mkdir -p "$prefix/include/cryptopp"
  cp ./*.h "$prefix/include/cryptopp/"
  cp libcryptopp.a "$prefix/lib/"
)
touch "$prefix/.cryptopp-done"
fi

echo "=== wxWidgets $WX_VERSION (the longest part)"
unpack "wxwidgets3.2_${WX_VERSION}*.orig.tar.*"
(
  cd src/wxWidgets-$WX_VERSION
  mkdir -p build-msw
  cd build-msw
  ../configure -q --host=$TRIPLET --prefix="$prefix" CC=$CC_W CXX=$CXX_W \
    --disable-shared --with-msw --enable-unicode \
    --with-libpng=sys --with-zlib=sys --without-libjpeg --without-libtiff --without-expat \
    --without-liblzma --disable-xrc --disable-html --disable-webview \
    --disable-mediactrl --disable-propgrid --disable-ribbon --disable-richtext --disable-stc \
    --disable-aui --without-opengl --without-regex --disable-sound --disable-svg \
    CPPFLAGS="-I$prefix/include -I$mingw_inc" LDFLAGS="-L$prefix/lib -L$mingw_lib"
  make -j"$jobs" >/dev/null
  make install >/dev/null
)

touch "$stamp"
echo "Windows libraries built in $prefix"
echo "$prefix"
