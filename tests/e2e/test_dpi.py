"""The Configure dialog of the real quorvel.exe at 96, 120, 144 and 192 dots
per inch: every control where its twips put it at that density, every
caption fitting its control, and a screenshot of both views at each density.

The density is a setting of the Wine prefix (HKCU\\Control Panel\\Desktop,
LogPixels) read when the wineserver starts; the module changes it in a copy
of the shared prefix of its own, so that no other module sees it.

Wine 8 has that one density for every monitor and window, and never tells a
window of another (WM_DPICHANGED): what this shows is the dialog opened at
each density; a move to a monitor of another scale is shown on the
simulated desktop (tests/unit/density_test.cpp), and the real backend's
answer to the message, told by the test itself, by
tests/conformance/density_conformance_test.cpp. The running dialog is also
asked for its size at each density as Windows 10 asks (WM_GETDPISCALEDSIZE,
sent by the probe with its SIZE in the dialog's process)."""
import math
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import DesktopTestCase, wait_for  # noqa: E402

DENSITIES = (96, 120, 144, 192)
WM_SYSCOMMAND, SC_CLOSE = 0x112, 0xF060
DIALOG_CLIENT = (4845, 2235)
# Caption (or class for the captionless), left, top, width, height in twips
# from the client area of the container.
BUTTONS = {
    "&About": (3825, 105, 855, 375),
    "Con&figure": (3825, 105, 855, 375),
    "&OK": (3825, 585, 855, 375),
    "&Cancel": (3825, 1065, 855, 375),
    "E&xit": (3825, 1545, 855, 375),
    "Show icon in &Tray": (240, 360, 2055, 195),
    "Show icon in Task&bar and ALT/TAB": (240, 720, 2055, 375),
    "&Show both icons": (240, 1200, 2055, 195),
}
FRAME = (1110, 210, 2415, 1575)
ABOUT_BOX = (105, 90, 3600, 1740)
ABOUT_TEXT = (15, 30, 3495, 1635)


def pixels(twips, dpi):
    return math.floor(twips * dpi / 1440 + 0.5)


def expected(rect, dpi):
    left, top, width, height = rect
    x, y = pixels(left, dpi), pixels(top, dpi)
    return x, y, pixels(left + width, dpi) - x, pixels(top + height, dpi) - y


class Control:
    def __init__(self, line):
        visible, rest = line.split(" ", 1)
        self.visible = visible == "1"
        self.cls, self.text, rect, fit = rest.split("|")
        self.rect = tuple(map(int, rect.split()))
        self.room, self.need_width, self.need_height = map(int, fit.split())

    def __repr__(self):
        return f"{self.cls} {self.text!r} at {self.rect}, room {self.room}, " \
               f"needs {self.need_width}x{self.need_height}"


class Densities(DesktopTestCase):
    desktop = "dpi"
    own_prefix = True

    def layout(self, hwnd):
        lines = self.desk.probe("layout", hex(hwnd))
        return int(lines[0].split()[1]), [Control(line) for line in lines[1:]]

    def assert_at(self, control, rect, dpi):
        want = expected(rect, dpi)
        for got, wanted in zip(control.rect, want):
            self.assertLessEqual(abs(got - wanted), 1, f"{control}: expected {want} at {dpi} dpi")

    def assert_view(self, dialog, dpi, panel_rect, captions):
        measured_dpi, controls = self.layout(dialog.hwnd)
        self.assertEqual(measured_dpi, dpi)
        shown = [c for c in controls if c.visible]
        for caption in captions:
            control = next((c for c in shown if c.text == caption), None)
            self.assertIsNotNone(control, f"{caption!r} not shown at {dpi} dpi: {shown}")
            self.assert_at(control, BUTTONS[caption], dpi)
            self.assertLessEqual(control.need_width, control.room, f"{control} at {dpi} dpi")
            # The last line may lose the pixel of leading below it, no more.
            self.assertLessEqual(control.need_height, control.rect[3] + 1,
                                 f"{control} at {dpi} dpi")
        panels = [c for c in shown if c.cls == "QuorvelPanel"]
        self.assertEqual(len(panels), 1, shown)
        self.assert_at(panels[0], panel_rect, dpi)
        return shown

    def assert_asked_size(self, dialog, dpi):
        """Asked as Windows 10 asks before it moves the dialog to a monitor
        of another scale (WM_GETDPISCALEDSIZE: wParam the density, lParam a
        SIZE in the dialog's process), the dialog wants room for its client
        area in twips there and a frame; no size at all for a density of 0
        or less, which leaves Windows its linear scaling."""
        for asked in DENSITIES:
            answer, width, height = map(int, self.desk.probe("dpisize", hex(dialog.hwnd),
                                                              str(asked))[0].split())
            message = f"asked at {asked} dpi from {dpi} dpi: {width} x {height}"
            self.assertEqual(answer, 1, message)
            for size, twips in ((width, DIALOG_CLIENT[0]), (height, DIALOG_CLIENT[1])):
                client = pixels(twips, asked)
                # A frame of a few pixels a side, a caption at most a third of an inch.
                self.assertGreaterEqual(size, client, message)
                self.assertLessEqual(size, client + asked // 2, message)
        for asked in (0, -1):
            answer = int(self.desk.probe("dpisize", hex(dialog.hwnd), str(asked))[0].split()[0])
            self.assertEqual(answer, 0, f"asked at {asked} dpi")

    def test_both_views_at_every_density(self):
        d = self.desk
        for dpi in DENSITIES:
            with self.subTest(dpi=dpi):
                d.reset("2")
                d.run("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t",
                      "REG_DWORD", "/d", str(dpi), "/f")
                d.kill_wine()  # the density is read when the wineserver starts
                d.start_shell()
                _, taskbar_form = d.start_quorvel()
                # "&Configure" of the window menu is its Close command.
                d.probe("post", hex(taskbar_form.hwnd), hex(WM_SYSCOMMAND), hex(SC_CLOSE), "0")
                dialog = wait_for("the dialog", lambda: d.find("Configure Quorvel"))
                wait_for("the dialog in front",
                         lambda: (fg := d.foreground()) and fg.hwnd == dialog.hwnd)
                _, _, width, height = d.client(dialog.hwnd)
                self.assertLessEqual(abs(width - pixels(DIALOG_CLIENT[0], dpi)), 1)
                self.assertLessEqual(abs(height - pixels(DIALOG_CLIENT[1], dpi)), 1)
                self.assert_view(dialog, dpi, FRAME,
                                 ["&About", "&OK", "&Cancel", "E&xit", "Show icon in &Tray",
                                  "Show icon in Task&bar and ALT/TAB", "&Show both icons"])
                d.screenshot(f"configure-view-{dpi}dpi")
                self.assert_asked_size(dialog, dpi)

                d.keys("alt+a")
                wait_for("the About view", lambda: d.find("About Quorvel"))
                shown = self.assert_view(dialog, dpi, ABOUT_BOX,
                                         ["Con&figure", "&OK", "&Cancel", "E&xit"])
                text = next(c for c in shown if c.cls == "Edit")
                self.assert_at(text, ABOUT_TEXT, dpi)
                d.screenshot(f"about-view-{dpi}dpi")
                d.keys("Escape")
                wait_for("the dialog to close", lambda: d.find("About Quorvel") is None)


if __name__ == "__main__":
    unittest.main()
