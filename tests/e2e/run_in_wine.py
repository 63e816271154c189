#!/usr/bin/env python3
"""Runs one Windows program (a cross-compiled test binary) under Wine in the
test prefix, on a display of its own, and exits with its exit code."""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import WineDesktop  # noqa: E402


def main():
    exe, *args = sys.argv[1:]
    with WineDesktop("run") as desk:
        result = desk.run(exe, *args, timeout=240)
    sys.stdout.write(result.stdout.replace("\r\n", "\n"))
    sys.stderr.write(result.stderr.replace("\r\n", "\n"))
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
