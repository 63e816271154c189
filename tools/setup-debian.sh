#!/usr/bin/env bash
# Installs what building and testing Quorvel needs on Debian 12: the host
# toolchain and GoogleTest, the MinGW-w64 i686 cross compiler, 32-bit Wine,
# Xvfb and the X11 tools the end-to-end tests drive it with.
# Idempotent: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build googletest python3
  clang-14 libclang-rt-14-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  wine wine32:i386 fonts-wine
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

# 32-bit Wine runs its programs as 32-bit Linux processes. Some kernels are
# booted without 32-bit emulation ("32-bit emulation disabled" in the kernel
# log; exec gives "Exec format error"): there the i386 programs run through
# QEMU's user-mode emulator, registered with binfmt_misc. Much slower, but
# the same Wine and the same program.
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  if [ "$(dpkg-query -W -f='${Status}' qemu-user-static 2>/dev/null || true)" != "install ok installed" ]; then
    echo "setup: this kernel runs no 32-bit programs; installing qemu-user-static"
    DEBIAN_FRONTEND=noninteractive sudo_if_needed apt-get install -y -qq --no-install-recommends qemu-user-static >/dev/null
  fi
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || sudo_if_needed mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -e "$binfmt/qemu-i386" ]; then
    # ELF, 32-bit, little-endian, i386, executable or shared object.
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
      sudo_if_needed tee "$binfmt/register" >/dev/null
  fi
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 || { echo "setup: 32-bit programs still cannot run" >&2; exit 1; }
  echo "setup: 32-bit programs run through qemu-i386 (this kernel has no 32-bit emulation)"
fi
echo "setup: all packages present"
