#!/usr/bin/env python3
"""Runs the Win32 backend's conformance tests (a cross-compiled test binary)
under Wine in the test prefix, on a display of its own, and exits with its
exit code; and fails if the run changed the program's real settings key.

The tests work on HKLM\\SOFTWARE\\Orbrix\\Quorvel itself: on a user's machine
they must leave what is stored there as they found it."""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import REG_VIEW, SETTINGS_KEY, WineDesktop  # noqa: E402

STORED = [(SETTINGS_KEY, "Icon", "3"), (SETTINGS_KEY + r"\Kept", "Note", "left by the user")]


def snapshot(desk):
    result = desk.run("reg", "query", SETTINGS_KEY, "/s", REG_VIEW)
    return sorted(line.strip() for line in result.stdout.splitlines() if line.strip())


def main():
    exe, *args = sys.argv[1:]
    with WineDesktop("conformance") as desk:
        for key, name, value in STORED:
            r = desk.run("reg", "add", key, "/v", name, "/d", value, "/f", REG_VIEW)
            assert r.returncode == 0, r.stderr
        before = snapshot(desk)
        result = desk.run(exe, *args, timeout=240)
        after = snapshot(desk)
        desk.reg_delete_key()
    sys.stdout.write(result.stdout.replace("\r\n", "\n"))
    sys.stderr.write(result.stderr.replace("\r\n", "\n"))
    if after != before:
        print("the tests changed the settings key\nbefore:\n  " + "\n  ".join(before)
              + "\nafter:\n  " + "\n  ".join(after), file=sys.stderr)
        return 1
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
