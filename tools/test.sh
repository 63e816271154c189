#!/usr/bin/env bash
# Builds everything and runs every test: the host unit tests on the simulated
# desktop, the conformance tests of the Win32 backend under Wine, and the
# end-to-end tests of the real quorvel.exe (and of the release package) under
# Wine on Xvfb, in a 32-bit and a 64-bit prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --build --preset windows --target package
cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host --output-on-failure "$@"
