#!/usr/bin/env bash
# Builds the release exe and prints the benchmark tables (see bench/run.py):
# in the 32-bit prefix, and in a 64-bit one where wine64 is installed. On a
# kernel without 32-bit support (see tools/test.sh) 32-bit Wine cannot run:
# there the 64-bit build of the same sources is measured in a 64-bit prefix,
# and this says so. Each run writes its table into docs/performance.md; the
# run of the shipped exe (or, there, of the 64-bit build) its headline
# figures into the README too.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
cmake --preset host-release >/dev/null
cmake --build build/host-release --target bench_cleanup
if bash tools/runs-32-bit.sh; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows
  QUORVEL_WINEARCH=win32 python3 bench/run.py --readme "$@"
  if [ -x /usr/lib/wine/wine64 ] || command -v wine64 >/dev/null; then
    QUORVEL_WINEARCH=win64 python3 bench/run.py --docs "$@"
  else
    echo "bench: wine64 is not installed; no 64-bit prefix figures"
  fi
else
  echo "bench: this kernel runs no 32-bit programs; measuring the 64-bit build in a 64-bit prefix"
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64
  QUORVEL_WINDOWS_BUILD_DIR=build/windows64 QUORVEL_WINE_ARCH=win64 QUORVEL_WINEARCH=win64 \
    python3 bench/run.py --readme "$@"
fi
