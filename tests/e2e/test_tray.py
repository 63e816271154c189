"""The notification-area icon's pop-up menu of the real quorvel.exe under
Wine, with real clicks: every item, the icon silent while the dialog is
open, and the keyboard given back when the menu is left without a choice."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import DesktopTestCase, process_ended, stays, wait_for  # noqa: E402

TRAY_MENU = [17, 9, 17, 17, 9, 17]  # Show Desktop, -, Configure, About Quorvel, -, Exit Quorvel
SHOW_DESKTOP, CONFIGURE, ABOUT, EXIT = 0, 2, 3, 5
# Keys as Windows delivers them to the thread in front ("Keystroke Message
# Flags"): xdotool's do not reach a tray menu under Wine, whose loop reads
# its thread's queue. Esc typed once; F4 with Alt down, to a window without
# focus.
WM_KEYDOWN, WM_SYSKEYDOWN, VK_ESCAPE, VK_F4 = 0x100, 0x104, 0x1B, 0x73
ESCAPE_TYPED, ALT_F4_TYPED = 0x00010001, 0x203E0001


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

    def in_front(self, window):
        fg = self.desk.foreground()
        return fg is not None and fg.hwnd == window.hwnd

    def test_a_menu_left_with_esc_gives_the_keyboard_back_and_alt_f4_leaves_the_icon(self):
        d = self.desk
        d.probe("activate", hex(self.notepad.hwnd))
        wait_for("Notepad in front", lambda: self.in_front(self.notepad))
        d.click(*d.tray_icon_position(), button=3)
        wait_for("the pop-up menu", d.popup_menu)
        d.probe("post", hex(self.icon_host.hwnd), hex(WM_KEYDOWN), hex(VK_ESCAPE), hex(ESCAPE_TYPED))
        wait_for("the menu to close", lambda: d.popup_menu() is None)
        wait_for("Notepad in front again", lambda: self.in_front(self.notepad))
        # Alt+F4 to the host, as it would have reached it left in front.
        d.probe("post", hex(self.icon_host.hwnd), hex(WM_SYSKEYDOWN), hex(VK_F4), hex(ALT_F4_TYPED))
        stays("the icon", lambda: d.has_tray_icon(self.icon_host.hwnd))
        d.click(*d.tray_icon_position())
        wait_for("one minimise-all", lambda: d.reveals() == 1)
        wait_for("Notepad minimised", lambda: d.window(self.notepad.hwnd).iconic)

    def test_a_menu_closed_elsewhere_takes_the_keyboard_from_no_one(self):
        d = self.desk
        d.start("notepad")
        second = wait_for("a second Notepad", lambda: next(
            (w for w in d.windows() if w.title == "Untitled - Notepad" and w.visible
             and w.hwnd != self.notepad.hwnd), None))
        # Side by side, so that a click reaches the second.
        d.probe("move", hex(self.notepad.hwnd), "0", "0")
        d.probe("move", hex(second.hwnd), "520", "0")
        second = d.window(second.hwnd)

        # A click on the second Notepad closes the menu. Wine's menu keeps
        # the click (Windows' lets it through, and it activates the window
        # clicked: the simulated desktop's case), so the host is left in
        # front, and the keyboard goes back to the Notepad the user had.
        d.probe("activate", hex(self.notepad.hwnd))
        wait_for("the first Notepad in front", lambda: self.in_front(self.notepad))
        d.click(*d.tray_icon_position(), button=3)
        wait_for("the pop-up menu", d.popup_menu)
        d.click(second.x + second.width // 2, second.y + 10)  # its caption
        wait_for("the menu to close", lambda: d.popup_menu() is None)
        wait_for("the first Notepad in front again", lambda: self.in_front(self.notepad))

        # The second Notepad brought forward while the menu is open (Wine's
        # menu stays): closed after, the menu leaves it in front.
        d.click(*d.tray_icon_position(), button=3)
        wait_for("the pop-up menu", d.popup_menu)
        d.probe("activate", hex(second.hwnd))
        wait_for("the second Notepad in front", lambda: self.in_front(second))
        d.probe("post", hex(self.icon_host.hwnd), hex(WM_KEYDOWN), hex(VK_ESCAPE), hex(ESCAPE_TYPED))
        wait_for("the menu to close", lambda: d.popup_menu() is None)
        stays("the second Notepad in front", lambda: self.in_front(second))

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
