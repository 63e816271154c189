"""The release package as a user gets it: unpacked, and quorvel.exe started
from where it was unpacked, under Wine, also beside a library named after a
system one; and the header of the exe that ships."""
import shutil
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import BITS, BUILD, ROOT, DesktopTestCase, process_ended, stays, wait_for  # noqa: E402

PACKAGE = BUILD / ("quorvel-1.04-win32.zip" if BITS == 32 else "quorvel-1.04-win64-test.zip")
# A library named after a system one that the program loads itself, which
# writes planted-dll-loaded.txt beside itself when it is loaded.
PLANTED = BUILD / "planted" / "dwmapi.dll"
# The package that ships, the 32-bit one: the one above where 32-bit Wine
# runs; where it cannot, the one the 32-bit build (build/windows) still makes.
SHIPPED = (BUILD if BITS == 32 else ROOT / "build" / "windows") / "quorvel-1.04-win32.zip"


def word(data, at):
    return int.from_bytes(data[at:at + 2], "little")


class ShippedExe(unittest.TestCase):
    """The shipped quorvel.exe's PE header, read, not run."""

    def test_it_is_32_bit_and_terminal_server_aware(self):
        if not SHIPPED.exists():
            self.fail(f"{SHIPPED} is missing: cmake --build --preset windows --target package")
        with zipfile.ZipFile(SHIPPED) as z:
            exe = z.read("quorvel.exe")
        pe = int.from_bytes(exe[0x3C:0x40], "little")
        self.assertEqual(exe[pe:pe + 4], b"PE\0\0")
        self.assertEqual(word(exe, pe + 4), 0x14C, "not an i386 program")
        optional = pe + 24
        self.assertEqual(word(exe, optional), 0x10B, "not a PE32 optional header")
        # IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE: without it a
        # Remote Desktop host gives the program a private Windows folder, and
        # the cleanup cleans that folder's TEMP instead of the system's.
        characteristics = word(exe, optional + 70)
        self.assertTrue(characteristics & 0x8000, f"DllCharacteristics {characteristics:#x}")


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

    def start_and_reveal_once(self, with_notepad=False):
        """The unpacked exe started, its button clicked: exactly one
        minimise-all."""
        d = self.desk
        d.reset()
        d.start_shell()
        if with_notepad:
            d.start_notepad()
        proc, taskbar_form = d.start_quorvel(self.folder / "quorvel.exe")
        button = wait_for("Desktop's taskbar button", lambda: d.button_of(taskbar_form.hwnd))
        d.click(*button.centre)
        wait_for("one minimise-all", lambda: d.reveals() == 1)
        stays("exactly one minimise-all", lambda: d.reveals() == 1)
        return proc, taskbar_form

    def test_the_unpacked_program_shows_its_button_reveals_once_and_ends(self):
        d = self.desk
        proc, taskbar_form = self.start_and_reveal_once()
        self.assertEqual(d.reg_query(), "2")  # it stored its default where it reads it
        d.probe("close", hex(taskbar_form.hwnd))
        wait_for("the program to end", lambda: process_ended(proc))

    def test_a_library_named_after_a_system_one_beside_it_is_never_loaded(self):
        """A Downloads folder holds whatever was downloaded into it: a
        dwmapi.dll there, looked for beside the program first, would run in
        it. The program needs dwmapi when it hands the activation on (at
        start-up) and before a minimise-all, and takes the system's own."""
        if not PLANTED.exists():
            self.fail(f"{PLANTED} is missing: cmake --build --preset windows --target planted_dll")
        shutil.copy(PLANTED, self.folder / "dwmapi.dll")
        marker = self.folder / "planted-dll-loaded.txt"
        d = self.desk
        proc, taskbar_form = self.start_and_reveal_once(with_notepad=True)
        loaded = [m.lower() for m in d.probe("modules", str(taskbar_form.pid))
                  if m.lower().endswith("\\dwmapi.dll")]
        if marker.exists():
            self.fail(f"the planted dwmapi.dll ran in {marker.read_text().strip()}")
        # The path that needs the library did run, with the system's own.
        self.assertTrue(loaded, "dwmapi.dll was never loaded")
        self.assertTrue(all(m.rpartition("\\")[0] in (r"c:\windows\system32", r"c:\windows\syswow64")
                            for m in loaded), loaded)
        d.probe("close", hex(taskbar_form.hwnd))
        wait_for("the program to end", lambda: process_ended(proc))


if __name__ == "__main__":
    unittest.main()
