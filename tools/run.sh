#!/usr/bin/env bash
# Builds quorvel.exe and runs it under Wine in a virtual desktop, together with
# the stand-in desktop shell ("Program Manager") and Notepad to minimise.
# Uses $DISPLAY when there is one; otherwise starts Xvfb and says how to look.
# On a kernel that runs no 32-bit programs (see tools/test.sh) it runs the
# 64-bit build of the same sources in a 64-bit prefix instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
preset=windows
if ! bash tools/runs-32-bit.sh; then
  echo "run: this kernel runs no 32-bit programs; running the 64-bit build"
  preset=windows64
  export QUORVEL_WINE_ARCH=win64 QUORVEL_WINDOWS_BUILD_DIR="$PWD/build/windows64"
  export QUORVEL_WINE_PREFIX="$PWD/build/run/prefix64"
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target quorvel standin_shell qvprobe
exec python3 tools/run_demo.py "$@"
