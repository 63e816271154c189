#!/usr/bin/env bash
# Builds the release exe and prints the benchmark tables (see bench/run.py):
# in the 32-bit prefix, and in a 64-bit one where wine64 is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset host-release >/dev/null
cmake --build build/host-release --target bench_cleanup
QUORVEL_WINEARCH=win32 python3 bench/run.py "$@"
if [ -x /usr/lib/wine/wine64 ] || command -v wine64 >/dev/null; then
  QUORVEL_WINEARCH=win64 python3 bench/run.py "$@"
else
  echo "bench: wine64 is not installed; no 64-bit prefix figures"
fi
