#!/usr/bin/env python3
"""Runs quorvel.exe under Wine with the stand-in shell and Notepad, until
quorvel.exe ends (its "E&xit Quorvel"), Ctrl+C, SIGTERM, or SIGHUP (its
terminal closed): each way, Xvfb, Wine and the programs end with it."""
import os
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
os.environ.setdefault("QUORVEL_WINE_PREFIX", str(ROOT / "build/run/prefix"))
os.environ.setdefault("QUORVEL_ARTEFACTS", str(ROOT / "build/run"))
sys.path.insert(0, str(ROOT / "tests/e2e"))
import make_prefix  # noqa: E402
from wine import BUILD, WineDesktop, wait_for  # noqa: E402


class Demo(WineDesktop):
    def start_display(self):
        if os.environ.get("DISPLAY"):
            self.display = os.environ["DISPLAY"]
        else:
            super().start_display()


def end_on_signal(signum, _frame):
    # Raised where the demo waits, so that its clean-up runs.
    raise SystemExit(128 + signum)


def main():
    for sig in (signal.SIGHUP, signal.SIGTERM):
        signal.signal(sig, end_on_signal)
    make_prefix.main()
    desk = Demo("demo")
    desk.start_display()
    try:
        desk.kill_wine()
        desk.start_shell()
        desk.start_notepad()
        quorvel, taskbar_form = desk.start_quorvel()
        print(f"Quorvel is running on display {desk.display}: click its \"Desktop\" button on the taskbar.")
        if desk.xvfb is not None:
            shot = desk.screenshot("demo")
            print(f"No display was set, so it runs on Xvfb {desk.display}. To look:")
            print(f"  import -display {desk.display} -window root shot.png   (a screenshot, as in {shot})")
            print(f"  DISPLAY={desk.display} xdotool ...                  (to click)")
        print("Ctrl+C ends it.", flush=True)
        while quorvel.poll() is None:
            time.sleep(0.5)
    except KeyboardInterrupt:
        pass
    finally:
        desk.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
