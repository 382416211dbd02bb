#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks for both builds and the tests.
# Idempotent: when every package is present it prints nothing and touches nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  g++-mingw-w64-i686-posix mingw-w64-i686-dev
  wine wine32:i386 xvfb xdotool xclip x11-apps imagemagick
  libboost-regex1.81-dev googletest libgtest-dev libbenchmark-dev
  libcurl4-openssl-dev fonts-wqy-microhei python3 clang-format
  wine64 g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev file util-linux
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "installing: ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
