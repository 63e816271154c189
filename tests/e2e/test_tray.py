"""The notification-area icon's pop-up menu of the real quorvel.exe under
Wine, with real clicks: every item, and the icon silent while the dialog is
open."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import DesktopTestCase, process_ended, stays, wait_for  # noqa: E402

TRAY_MENU = [17, 9, 17, 17, 9, 17]  # Show Desktop, -, Configure, About Quorvel, -, Exit Quorvel
SHOW_DESKTOP, CONFIGURE, ABOUT, EXIT = 0, 2, 3, 5


class TrayMenu(DesktopTestCase):
    desktop = "tray"

    def setUp(self):
        d = self.desk
        d.reset("1")
        d.start_shell()
        self.notepad = d.start_notepad()
        self.proc, self.taskbar_form = d.start_quorvel()
        self.icon_host = d.icon_host_of(self.taskbar_form)
        wait_for("the icon", lambda: d.has_tray_icon(self.icon_host.hwnd))

    def choose(self, item, screenshot=None):
        d = self.desk
        d.click(*d.tray_icon_position(), button=3)
        menu = wait_for("the pop-up menu", d.popup_menu)
        if screenshot:
            d.screenshot(screenshot)
        d.click(*d.menu_item_centre(menu, item, TRAY_MENU))
        wait_for("the menu to close", lambda: d.popup_menu() is None)

    def test_show_desktop_and_exit(self):
        d = self.desk
        self.choose(SHOW_DESKTOP, screenshot="tray-menu")
        wait_for("one minimise-all", lambda: d.reveals() == 1)
        wait_for("Notepad minimised", lambda: d.window(self.notepad.hwnd).iconic)
        self.choose(EXIT)
        wait_for("the program to end", lambda: process_ended(self.proc))
        self.assertFalse(d.has_tray_icon(self.icon_host.hwnd))

    def test_configure_and_about_open_the_right_view_and_the_icon_is_silent_meanwhile(self):
        d = self.desk
        self.choose(CONFIGURE)
        wait_for("the configure view", lambda: d.find("Configure Quorvel"))
        d.click(*d.tray_icon_position())
        d.click(*d.tray_icon_position(), button=3)
        stays("no reveal and no menu", lambda: d.reveals() == 0 and d.popup_menu() is None)
        d.keys("Escape")
        wait_for("the dialog to close", lambda: d.find("Configure Quorvel") is None)

        self.choose(ABOUT)
        wait_for("the About view", lambda: d.find("About Quorvel"))
        d.keys("Escape")
        wait_for("the dialog to close", lambda: d.find("About Quorvel") is None)
        self.choose(CONFIGURE)
        wait_for("the configure view again", lambda: d.find("Configure Quorvel"))
        d.keys("Escape")
        wait_for("the dialog to close", lambda: d.find("Configure Quorvel") is None)
        self.assertEqual(d.reveals(), 0)


if __name__ == "__main__":
    unittest.main()
