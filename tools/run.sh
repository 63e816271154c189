#!/usr/bin/env bash
# Builds quorvel.exe and runs it under Wine in a virtual desktop, together with
# the stand-in desktop shell ("Program Manager") and Notepad to minimise.
# Uses $DISPLAY when there is one; otherwise starts Xvfb and says how to look.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target quorvel standin_shell qvprobe
exec python3 tools/run_demo.py "$@"
