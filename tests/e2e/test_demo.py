"""The README's command that runs the program (tools/run.sh, through
tools/run_demo.py): however it is ended (Ctrl+C, SIGTERM, or SIGHUP when its
terminal closes), nothing of it is left running: neither its Xvfb nor Wine
nor the programs it started."""
import os
import re
import signal
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import PREFIX, ROOT, wait_for  # noqa: E402


def processes_of(prefix, display):
    """Processes whose environment names this prefix and this display."""
    found = []
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            env = (entry / "environ").read_bytes().split(b"\0")
        except OSError:
            continue
        if f"WINEPREFIX={prefix}".encode() in env and f"DISPLAY={display}".encode() in env:
            found.append(int(entry.name))
    return found


class Demo(unittest.TestCase):
    def test_every_way_of_ending_it_leaves_nothing_running(self):
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        env["QUORVEL_WINE_PREFIX"] = str(PREFIX)
        for name, sig in (("Ctrl+C", signal.SIGINT), ("SIGTERM", signal.SIGTERM),
                          ("SIGHUP", signal.SIGHUP)):
            with self.subTest(name):
                demo = subprocess.Popen([sys.executable, str(ROOT / "tools/run_demo.py")], env=env,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        text=True)
                display = None
                try:
                    for line in demo.stdout:
                        found = re.search(r"on display (:\d+)", line)
                        display = display or (found and found.group(1))
                        if line.startswith("Ctrl+C ends it."):
                            break
                    self.assertIsNotNone(display, "the demo never said its display")
                    self.assertTrue(processes_of(PREFIX, display), "nothing of the demo runs")
                    demo.send_signal(sig)
                    demo.wait(60)
                finally:
                    if demo.poll() is None:
                        demo.kill()
                wait_for(f"everything of the demo to end after {name}",
                         lambda: not processes_of(PREFIX, display), timeout=20)
                self.assertNotEqual(subprocess.run(["xdpyinfo", "-display", display],
                                                   capture_output=True).returncode, 0,
                                    f"Xvfb {display} still runs")
                time.sleep(0.5)


if __name__ == "__main__":
    unittest.main()
