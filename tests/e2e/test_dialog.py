"""The Configure dialog of the real quorvel.exe under Wine: opened from the
taskbar button's window menu with real clicks, its two views, Enter and
Escape (also from the About text), Tab to Cancel, the exit confirmation, a
stored choice put into effect, and bad stored values."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import DesktopTestCase, process_ended, stays, wait_for  # noqa: E402

WINDOW_MENU = [19, 19, 19, 19, 19, 9, 19]  # Restore, Size, Minimize, Maximize, Configure, -, About Wine
COMMAND1 = (3825, 105, 855, 375)
COMMAND4 = (3825, 1545, 855, 375)
OPTION_TRAY = (1110 + 240, 210 + 360, 2055, 195)
OPTION_BOTH = (1110 + 240, 210 + 1200, 2055, 195)
TRAY_MENU = [17, 9, 17, 17, 9, 17]
ABOUT_TEXT = (105 + 15, 90 + 30, 3495, 1635)  # the About text in its panel


def focus(desk, hwnd):
    """Class and text of the control that has the focus in hwnd's program."""
    lines = desk.probe("focus", hex(hwnd))
    return lines[0].split("|", 1) if lines else None


class Dialog(DesktopTestCase):
    desktop = "dialog"

    def open_from_window_menu(self, taskbar_form):
        d = self.desk
        button = wait_for("the taskbar button", lambda: d.button_of(taskbar_form.hwnd))
        d.click(*button.centre, button=3)
        menu = wait_for("the window menu", d.popup_menu)
        d.click(*d.menu_item_centre(menu, 4, WINDOW_MENU))
        dialog = wait_for("the dialog", lambda: d.find("Configure Quorvel"), timeout=5)
        # In front within a second: the timer brings it there.
        wait_for("the dialog in front", lambda: (fg := d.foreground()) and fg.hwnd == dialog.hwnd,
                 timeout=1.5)
        return dialog

    def test_views_confirmation_and_cancel(self):
        d = self.desk
        d.reset("2")
        d.start_shell()
        proc, taskbar_form = d.start_quorvel()
        common_controls_6 = lambda: any("common-controls_6595b64144ccf1df_6." in m.lower()
                                        for m in d.probe("modules", str(taskbar_form.pid)))
        self.assertFalse(common_controls_6(), "loaded before any button was made")
        dialog = self.open_from_window_menu(taskbar_form)
        # The dialog's buttons are those of the manifest's common controls 6.
        self.assertTrue(common_controls_6())
        self.assertTrue(d.checked(dialog.hwnd, "Show icon in Task&bar and ALT/TAB"))
        d.screenshot("configure-view")

        d.click(*d.at_twips(dialog.hwnd, *COMMAND1))
        wait_for("the About view", lambda: d.find("About Quorvel"))
        d.screenshot("about-view")
        d.click(*d.at_twips(dialog.hwnd, *COMMAND1))
        wait_for("the configure view", lambda: d.find("Configure Quorvel"))

        d.click(*d.at_twips(dialog.hwnd, *COMMAND4))
        box = wait_for("the exit confirmation", lambda: d.find("Exit Quorvel"))
        d.screenshot("exit-confirmation")
        d.keys("Escape")  # Cancel
        wait_for("the confirmation to close", lambda: d.find("Exit Quorvel") is None)
        self.assertIsNotNone(d.find("Configure Quorvel"))
        self.assertFalse(process_ended(proc))
        self.assertIsNotNone(box)

        d.keys("Escape")  # the dialog's Cancel
        wait_for("the dialog to close", lambda: d.find("Configure Quorvel") is None)
        self.assertEqual(d.reg_query(), "2")
        stays("no reveal on closing", lambda: d.reveals() == 0)
        self.assertFalse(process_ended(proc))

    def test_tray_option_and_enter_store_one_and_hide_the_button(self):
        d = self.desk
        d.reset("2")
        d.start_shell()
        _, taskbar_form = d.start_quorvel()
        dialog = self.open_from_window_menu(taskbar_form)
        d.click(*d.at_twips(dialog.hwnd, *OPTION_TRAY))
        wait_for("the option selected", lambda: d.checked(dialog.hwnd, "Show icon in &Tray"))
        d.keys("Return")  # Enter presses OK
        wait_for("the dialog to close", lambda: d.find("Configure Quorvel") is None)
        wait_for("the stored mode", lambda: d.reg_query() == "1")
        try:
            wait_for("the taskbar button to go", lambda: d.button_of(taskbar_form.hwnd) is None)
        except AssertionError:
            d.screenshot("failed-tray-option")
            raise AssertionError(f"The taskbar form is {d.window(taskbar_form.hwnd)}; buttons {d.taskbar()}")
        icon_host = d.icon_host_of(taskbar_form)
        wait_for("the icon", lambda: d.has_tray_icon(icon_host.hwnd))

        # And back to both icons, from the icon's menu: the button returns.
        d.click(*d.tray_icon_position(), button=3)
        menu = wait_for("the pop-up menu", d.popup_menu)
        d.click(*d.menu_item_centre(menu, 2, TRAY_MENU))
        dialog = wait_for("the dialog", lambda: d.find("Configure Quorvel"))
        self.assertTrue(d.checked(dialog.hwnd, "Show icon in &Tray"))
        d.click(*d.at_twips(dialog.hwnd, *OPTION_BOTH))
        wait_for("the option selected", lambda: d.checked(dialog.hwnd, "&Show both icons"))
        d.keys("Return")
        wait_for("the stored mode", lambda: d.reg_query() == "3")
        wait_for("the taskbar button back", lambda: d.button_of(taskbar_form.hwnd))
        self.assertTrue(d.has_tray_icon(icon_host.hwnd))

    def test_escape_in_the_about_text_cancels(self):
        d = self.desk
        d.reset("2")
        d.start_shell()
        proc, taskbar_form = d.start_quorvel()
        dialog = self.open_from_window_menu(taskbar_form)
        d.click(*d.at_twips(dialog.hwnd, *OPTION_TRAY))
        wait_for("the option selected", lambda: d.checked(dialog.hwnd, "Show icon in &Tray"))
        d.click(*d.at_twips(dialog.hwnd, *COMMAND1))
        wait_for("the About view", lambda: d.find("About Quorvel"))
        d.click(*d.at_twips(dialog.hwnd, *ABOUT_TEXT))
        wait_for("the focus in the About text", lambda: (focus(d, dialog.hwnd) or [""])[0] == "Edit")
        d.keys("Escape")
        wait_for("the dialog to close", lambda: d.find("About Quorvel") is None)
        self.assertEqual(d.reg_query(), "2")
        self.assertFalse(process_ended(proc))
        self.assertIsNotNone(d.button_of(taskbar_form.hwnd))
        # The program is still there for the user: its dialog opens again.
        self.open_from_window_menu(taskbar_form)
        d.keys("Escape")
        wait_for("the dialog to close", lambda: d.find("Configure Quorvel") is None)
        self.assertEqual(d.reg_query(), "2")

    def test_cancel_reached_with_tab_stores_nothing(self):
        d = self.desk
        d.reset("2")
        d.start_shell()
        _, taskbar_form = d.start_quorvel()
        dialog = self.open_from_window_menu(taskbar_form)
        self.assertEqual(focus(d, dialog.hwnd), ["Button", "Show icon in Task&bar and ALT/TAB"])
        d.click(*d.at_twips(dialog.hwnd, *OPTION_TRAY))
        wait_for("the option selected", lambda: d.checked(dialog.hwnd, "Show icon in &Tray"))
        d.keys("Tab", "Tab", "Tab")  # "&About", "&OK", "&Cancel"
        wait_for("the focus on Cancel", lambda: focus(d, dialog.hwnd) == ["Button", "&Cancel"])
        d.keys("Return")
        wait_for("the dialog to close", lambda: d.find("Configure Quorvel") is None)
        self.assertEqual(d.reg_query(), "2")
        stays("the taskbar button", lambda: d.button_of(taskbar_form.hwnd) is not None)

    def test_bad_stored_values_select_the_default_and_ok_stores_it(self):
        d = self.desk
        d.reset("2")
        d.start_shell()
        _, taskbar_form = d.start_quorvel()
        for value in ("7", "0", "abc", "99999"):
            d.set_mode(value)
            dialog = self.open_from_window_menu(taskbar_form)
            self.assertTrue(d.checked(dialog.hwnd, "Show icon in Task&bar and ALT/TAB"), value)
            d.keys("Return")
            wait_for(f"2 stored over {value!r}", lambda: d.reg_query() == "2")
            wait_for("the dialog to close", lambda: d.find("Configure Quorvel") is None)

    def test_exit_confirmed_ends_the_program(self):
        d = self.desk
        d.reset("3")
        d.start_shell()
        proc, taskbar_form = d.start_quorvel()
        icon_host = d.icon_host_of(taskbar_form)
        dialog = self.open_from_window_menu(taskbar_form)
        d.click(*d.at_twips(dialog.hwnd, *COMMAND4))
        wait_for("the exit confirmation", lambda: d.find("Exit Quorvel"))
        d.keys("Return")  # OK
        wait_for("the program to end", lambda: process_ended(proc))
        self.assertFalse(d.has_tray_icon(icon_host.hwnd))
        self.assertEqual(d.reg_query(), "3")


if __name__ == "__main__":
    unittest.main()
