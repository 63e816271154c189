#!/usr/bin/env bash
# Builds everything and runs every test: the host unit tests on the simulated
# desktop, the conformance tests of the Win32 backend under Wine, and the
# end-to-end tests of the real quorvel.exe under Wine on Xvfb.
#
# On a kernel without 32-bit support, 32-bit Wine runs only through QEMU's
# user-mode emulator (see setup-debian.sh), where a new Wine prefix alone
# takes many minutes and every Wine process start costs seconds: the Wine
# tests are then left out, loudly, unless QUORVEL_WINE_EMULATED=1 asks for
# them anyway.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset host >/dev/null
cmake --build --preset host

if grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386 && [ "${QUORVEL_WINE_EMULATED:-0}" != 1 ]; then
  cat <<'NOTE'
==========================================================================
NOT RUN: the Wine tests (wine.conformance and every e2e.* test).
This kernel runs no 32-bit programs ("32-bit emulation disabled"), so 32-bit
Wine would run emulated by qemu-i386, far too slowly for this suite. Run them
on a machine whose kernel runs 32-bit programs, or here with
QUORVEL_WINE_EMULATED=1 bash tools/test.sh (hours, not minutes).
==========================================================================
NOTE
  exec ctest --preset host --output-on-failure -LE e2e "$@"
fi
exec ctest --preset host --output-on-failure "$@"
