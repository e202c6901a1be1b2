#!/usr/bin/env bash
# Installs the Debian packages that veilor needs, asking apt only for what is
# missing:
#   scripts/setup-deps.sh [--tests] [PACKAGE...]
# Without --tests, what building and running the program need; with --tests,
# also what the tests, the format check and the fuzzer need. Extra package
# names given as arguments are installed as well.
set -euo pipefail

build_packages=(
  build-essential cmake pkg-config
  libwxgtk3.2-dev libcrypto++-dev libexpat1-dev libsodium-dev libssl-dev
)
test_packages=(
  clang-format
  googletest libgtest-dev libgmock-dev
  xvfb xauth xdotool x11-apps imagemagick
  clang libclang-rt-14-dev
  strace
  python3
  age
)

packages=("${build_packages[@]}")
if [ "${1:-}" = "--tests" ]; then
  shift
  packages+=("${test_packages[@]}")
fi
packages+=("$@")

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
# Another apt at work (an unattended upgrade, a parallel setup) is waited for
# rather than failing the run.
apt=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
"${apt[@]}" update -q
"${apt[@]}" install -y -q --no-install-recommends "${missing[@]}"
