"""Icon modes with the real quorvel.exe: the taskbar button and the
notification-area icon are there exactly as the stored mode says; the
taskbar button's window menu; a left click on the icon reveals."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import DesktopTestCase, stays, wait_for  # noqa: E402


class IconModes(DesktopTestCase):
    desktop = "icon-modes"

    def test_each_mode_shows_what_it_says(self):
        d = self.desk
        for mode, button, icon in (("1", False, True), ("2", True, False), ("3", True, True)):
            with self.subTest(mode=mode):
                d.reset(mode)
                d.start_shell()
                _, taskbar_form = d.start_quorvel()
                icon_host = wait_for("the icon host form", lambda: d.icon_host_of(taskbar_form))
                if icon:
                    wait_for("the notification-area icon", lambda: d.has_tray_icon(icon_host.hwnd))
                if button:
                    wait_for("the taskbar button", lambda: d.button_of(taskbar_form.hwnd))
                # The shell's library is loaded for the icon only.
                shell32 = any(m.lower().endswith("\\shell32.dll")
                              for m in d.probe("modules", str(taskbar_form.pid)))
                self.assertEqual(shell32, icon)
                stays("the mode's presence",
                      lambda: (d.button_of(taskbar_form.hwnd) is not None) == button
                      and d.has_tray_icon(icon_host.hwnd) == icon, duration=0.5)
                if mode == "3":
                    d.screenshot("taskbar-button-and-tray-icon")

    def test_left_click_on_the_icon_reveals_once(self):
        d = self.desk
        d.reset("1")
        d.start_shell()
        notepad = d.start_notepad()
        _, taskbar_form = d.start_quorvel()
        icon_host = wait_for("the icon host form", lambda: d.icon_host_of(taskbar_form))
        wait_for("the icon", lambda: d.has_tray_icon(icon_host.hwnd))
        d.click(*d.tray_icon_position())
        wait_for("one minimise-all", lambda: d.reveals() == 1)
        wait_for("Notepad minimised", lambda: d.window(notepad.hwnd).iconic)
        stays("one only", lambda: d.reveals() == 1)
        self.assertIsNone(d.button_of(taskbar_form.hwnd), "tray-only mode shows a taskbar button")

    def test_the_window_menu_offers_configure(self):
        d = self.desk
        d.reset("2")
        d.start_shell()
        _, taskbar_form = d.start_quorvel()
        button = wait_for("the taskbar button", lambda: d.button_of(taskbar_form.hwnd))
        d.click(*button.centre, button=3)
        menu = wait_for("the window menu", d.popup_menu)
        d.screenshot("window-menu")
        self.assertGreater(menu.height, 40)
        d.click(500, 300)  # the keyboard reaches no menu of a window that is not active
        wait_for("the menu to close", lambda: d.popup_menu() is None)


if __name__ == "__main__":
    unittest.main()
