#!/usr/bin/env bash
# Installs the Debian packages that building and testing veilor need.
# Safe to run again: it only asks apt for what is missing. Extra package
# names given as arguments are installed as well.
set -euo pipefail

packages=(
  build-essential cmake clang-format pkg-config
  libwxgtk3.2-dev libcrypto++-dev
  googletest libgtest-dev libgmock-dev
  xvfb xauth xdotool x11-apps imagemagick
  clang libclang-rt-14-dev
  strace
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
