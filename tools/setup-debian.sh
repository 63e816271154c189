#!/usr/bin/env bash
# Installs what building and testing Quorvel needs on Debian 12: the host
# toolchain and GoogleTest, the MinGW-w64 cross compilers (i686 for the
# program, x86_64 for testing it on kernels that run no 32-bit programs),
# 32-bit and 64-bit Wine (the program under WoW64, like on 64-bit Windows),
# Xvfb and the X11 tools the end-to-end tests drive it with.
# Idempotent: it installs only what is missing.
#
# A mirror caught mid-sync can serve one architecture's index of a suite
# newer than the other's ("File has unexpected size ... Mirror sync in
# progress?"); 32-bit and 64-bit packages of one library must then match and
# cannot both be installed. So a failed index update is tried again, and if
# the install still fails, it is tried from the release suites alone (without
# the security suite), whose indexes agree; that is said when it happens.
set -euo pipefail

packages=(
  build-essential cmake ninja-build googletest python3
  clang-14 libclang-rt-14-dev
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine
  xvfb xdotool x11-utils imagemagick fonts-dejavu-core
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing_packages() {
  local p status
  for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || echo "$p"
  done
}

# apt-get update, three tries; false when the last one still failed (apt
# keeps whatever indexes it did get, and the old ones of the rest).
update_indexes() {
  local try
  for try in 1 2 3; do
    if as_root apt-get "$@" update -qq; then return 0; fi
    echo "setup: updating the package indexes failed (try $try of 3)" >&2
    [ "$try" -lt 3 ] && sleep $((try * 15))
  done
  return 1
}

install() {
  as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get "$@" install -y -qq --no-install-recommends $(missing_packages) >/dev/null
}

# The configured sources without the security suite, in a folder of their
# own with indexes of their own, so that the system's own are left alone.
release_suites_only() {
  local dir=$1
  mkdir -p "$dir/parts" "$dir/lists/partial"
  # apt fetches as its own user where it can.
  chmod 755 "$dir" "$dir/lists"
  chown _apt "$dir/lists/partial" 2>/dev/null || true
  : >"$dir/sources.list"
  if [ -f /etc/apt/sources.list ]; then
    grep -v -e '-security' /etc/apt/sources.list >>"$dir/sources.list" || true
  fi
  local f
  for f in /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && { grep -v -e '-security' "$f" >>"$dir/sources.list" || true; }
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    # deb822: one stanza a paragraph; drop the security suite's.
    [ -f "$f" ] && awk 'BEGIN { RS = ""; ORS = "\n\n" } !/-security/' "$f" >"$dir/parts/$(basename "$f")"
  done
  echo "-o Dir::Etc::SourceList=$dir/sources.list -o Dir::Etc::SourceParts=$dir/parts -o Dir::State::Lists=$dir/lists"
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  need_update=1
fi

if [ -z "$(missing_packages)" ]; then
  [ "${need_update:-0}" = 1 ] && { update_indexes || true; }
  echo "setup: all packages present"
  exit 0
fi

echo "setup: installing $(missing_packages | tr '\n' ' ')"
update_indexes || echo "setup: going on with the indexes apt has" >&2
if ! install 2>/tmp/quorvel-setup-apt.err; then
  echo "setup: the install failed with the configured suites:" >&2
  tail -n 20 /tmp/quorvel-setup-apt.err >&2
  echo "setup: trying again from the release suites alone, without the security suite," \
    "whose indexes agree" >&2
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  read -r -a release <<<"$(release_suites_only "$work")"
  update_indexes "${release[@]}" || echo "setup: going on with the release indexes apt has" >&2
  if ! install "${release[@]}" 2>/tmp/quorvel-setup-apt.err; then
    echo "setup: cannot install: $(missing_packages | tr '\n' ' ')" >&2
    echo "setup: apt said:" >&2
    cat /tmp/quorvel-setup-apt.err >&2
    exit 1
  fi
  echo "setup: installed from the release suites without the security suite"
fi
if [ -n "$(missing_packages)" ]; then
  echo "setup: still missing after the install: $(missing_packages | tr '\n' ' ')" >&2
  exit 1
fi
echo "setup: all packages present"
