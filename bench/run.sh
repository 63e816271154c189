#!/usr/bin/env bash
# Builds the release exe and prints the benchmark table (see bench/run.py).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --preset host-release >/dev/null
cmake --build build/host-release --target bench_cleanup
exec python3 bench/run.py "$@"
