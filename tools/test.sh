#!/usr/bin/env bash
# Builds everything and runs every test: the host unit tests on the simulated
# desktop, the conformance tests of the Win32 backend under Wine, and the
# end-to-end tests of quorvel.exe (and of the release package) under Wine on
# Xvfb, in a 32-bit and a 64-bit prefix.
#
# 32-bit Wine runs its programs as 32-bit Linux processes, and some kernels
# are booted without 32-bit support ("32-bit emulation disabled" in the kernel
# log, "Exec format error"): there the same sources are built for 64-bit
# Windows and the Wine tests run on that build in a 64-bit prefix instead,
# and this says so.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
cmake --preset windows >/dev/null

host=host
if bash tools/runs-32-bit.sh; then
  cmake --build --preset windows
  cmake --build --preset windows --target package
else
  cat <<'NOTE'
==========================================================================
This kernel runs no 32-bit programs, so 32-bit Wine cannot run here: the
Wine tests run on the 64-bit build of the same sources (build/windows64)
in a 64-bit prefix. The shipped 32-bit quorvel.exe and its package are
built but not run.
==========================================================================
NOTE
  # Of the 32-bit flavour only what ships: nothing else of it can run here.
  cmake --build --preset windows --target quorvel
  (cd build/windows && cpack >/dev/null)
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64
  cmake --build --preset windows64 --target package
  host=host-wine64
fi
cmake --preset "$host" >/dev/null
cmake --build --preset "$host"
# Two at a time: the Wine tests of the two prefixes run side by side (each
# prefix's own tests one after another, see cmake/wine_tests.cmake).
status=0
ctest --preset "$host" --output-on-failure --parallel 2 "$@" || status=$?
if [ "$status" -ne 0 ] && [ -d artefacts/failed ]; then
  echo "The Wine log (with the program's trace) and the stand-in shell's log of each"
  echo "failed end-to-end test are in $(pwd)/artefacts/failed/<module>.<test>-<arch>/:"
  ls -1t artefacts/failed | head -20
fi
exit "$status"
