#!/usr/bin/env bash
# Builds everything and runs every test: the host unit tests on the simulated
# desktop, the conformance tests of the Win32 backend under Wine, and the
# end-to-end tests of the real quorvel.exe under Wine on Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host --output-on-failure "$@"
