"""The release package as a user gets it: unpacked, and quorvel.exe started
from where it was unpacked, under Wine."""
import shutil
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import BITS, BUILD, DesktopTestCase, process_ended, stays, wait_for  # noqa: E402

PACKAGE = BUILD / ("quorvel-1.04-win32.zip" if BITS == 32 else "quorvel-1.04-win64-test.zip")


class Package(DesktopTestCase):
    desktop = "package"

    def setUp(self):
        if not PACKAGE.exists():
            self.fail(f"{PACKAGE} is missing: cmake --build --preset windows --target package")
        self.folder = Path(tempfile.mkdtemp(prefix="quorvel-package-"))
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        with zipfile.ZipFile(PACKAGE) as z:
            self.assertEqual(sorted(z.namelist()), ["README.txt", "quorvel.exe"])
            z.extractall(self.folder)

    def test_the_readme_is_for_windows_users(self):
        text = (self.folder / "README.txt").read_bytes()
        self.assertTrue(text.isascii())
        self.assertEqual(text.count(b"\n"), text.count(b"\r\n"), "not every line ends in CRLF")
        for needed in (rb"SOFTWARE\WOW6432Node\Orbrix\Quorvel", b"VirtualStore", b"shell:startup",
                       b"Shortcut key"):
            self.assertIn(needed, text)

    def test_the_unpacked_program_shows_its_button_reveals_once_and_ends(self):
        d = self.desk
        d.reset()
        d.start_shell()
        proc, form1 = d.start_quorvel(self.folder / "quorvel.exe")
        button = wait_for("Desktop's taskbar button", lambda: d.button_of(form1.hwnd))
        d.click(*button.centre)
        wait_for("one minimise-all", lambda: d.reveals() == 1)
        stays("exactly one minimise-all", lambda: d.reveals() == 1)
        self.assertEqual(d.reg_query(), "2")  # it stored its default where it reads it
        d.probe("close", hex(form1.hwnd))
        wait_for("the program to end", lambda: process_ended(proc))


if __name__ == "__main__":
    unittest.main()
