#!/usr/bin/env bash
# Installs what building and testing Quorvel needs on Debian 12: the host
# toolchain and GoogleTest, the MinGW-w64 cross compilers (i686 for the
# program, x86_64 for testing it on kernels that run no 32-bit programs),
# 32-bit and 64-bit Wine (the program under WoW64, like on 64-bit Windows),
# Xvfb and the X11 tools the end-to-end tests drive it with.
# Idempotent: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build googletest python3
  clang-14 libclang-rt-14-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine
  xvfb xdotool x11-utils imagemagick fonts-dejavu-core
)

sudo_if_needed() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_if_needed dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  sudo_if_needed apt-get update -qq
  sudo_if_needed apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
elif [ "${need_update:-0}" = 1 ]; then
  sudo_if_needed apt-get update -qq
fi
echo "setup: all packages present"
