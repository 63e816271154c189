"""Exactly one reveal per click with the real quorvel.exe under Wine and a
stand-in shell that minimises every window, the program's own included, by
ShowWindowAsync and (--sync) by ShowWindow: clicks on the taskbar button, on
the notification-area icon, second starts, and clicks after the Configure
dialog closed. And the dialog stays in front of another program's window
titled "Quorvel"."""
import subprocess
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import BUILD, DesktopTestCase, process_ended, stays, wait_for  # noqa: E402

VARIANTS = ((), ("--sync",))
COMMAND2 = (3825, 585, 855, 375)  # OK
COMMAND3 = (3825, 1065, 855, 375)  # Cancel
WINDOW_MENU = [19, 19, 19, 19, 19, 9, 19]  # Restore, Size, Minimize, Maximize, Configure, -, About Wine
TRAY_MENU = [17, 9, 17, 17, 9, 17]  # Show Desktop, -, Configure, About Quorvel, -, Exit Quorvel


class Reveal(DesktopTestCase):
    desktop = "reveal"

    def start(self, variant, mode="3"):
        d = self.desk
        d.reset(mode)
        d.start_shell(*variant)
        self.notepad = d.start_notepad()
        self.proc, self.form1 = d.start_quorvel()
        self.assertEqual(d.reveals(), 0, "the start-up activation revealed")

    def expect_reveals(self, count, what):
        """Exactly `count` minimise-alls in all, none late."""
        d = self.desk
        wait_for(what, lambda: d.reveals() >= count, timeout=60)
        stays(f"no minimise-all beyond {count} ({what})", lambda: d.reveals() <= count, duration=1.0)
        return d.reveals()

    def click_button(self, times=1):
        d = self.desk
        x, y = wait_for("the button", lambda: d.button_of(self.form1.hwnd)).centre
        # The prefix's double-click time is 100 ms: clicks 250 ms apart are single clicks.
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "--repeat", str(times),
                        "--delay", "250", "1"], env=d.env, check=True)

    def click_icon(self, times=1):
        d = self.desk
        x, y = d.tray_icon_position()
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "--repeat", str(times),
                        "--delay", "250", "1"], env=d.env, check=True)

    def assert_form1_minimised_by_the_shell(self, since):
        """The shell minimised Form1 in every minimise-all from `since` on: a
        kind shell that spares it would make these counts meaningless."""
        d = self.desk
        spared = [i for i, handles in enumerate(d.minimised_by_shell()[since:], since)
                  if self.form1.hwnd not in handles]
        self.assertEqual(spared, [], "minimise-alls that did not minimise Form1")
        wait_for("Form1 minimised", lambda: d.window(self.form1.hwnd).iconic)

    def test_clicks_icon_clicks_and_second_starts_are_one_reveal_each(self):
        d = self.desk
        for variant in VARIANTS:
            with self.subTest(shell=variant):
                self.start(variant)
                self.click_button(50)
                count = self.expect_reveals(50, "50 clicks on the button")
                self.assert_form1_minimised_by_the_shell(0)
                self.assertTrue(d.window(self.notepad.hwnd).iconic)

                self.click_icon(20)
                count = self.expect_reveals(count + 20, "20 clicks on the icon")

                for _ in range(2):
                    self.click_button()
                    count += 1
                    self.expect_reveals(count, "a click on the button")
                    self.assert_form1_minimised_by_the_shell(count - 1)
                    self.click_icon()
                    count += 1
                    self.expect_reveals(count, "a click on the icon")
                    second = d.start(BUILD / "quorvel.exe")
                    wait_for("the second start to end", lambda: process_ended(second), timeout=30)
                    count += 1
                    self.expect_reveals(count, "a second start")
                self.assertFalse(process_ended(self.proc))

    def open_dialog(self, from_tray):
        d = self.desk
        if from_tray:
            d.click(*d.tray_icon_position(), button=3)
            menu = wait_for("the pop-up menu", d.popup_menu)
            d.click(*d.menu_item_centre(menu, 2, TRAY_MENU))
        else:
            button = wait_for("the taskbar button", lambda: d.button_of(self.form1.hwnd))
            d.click(*button.centre, button=3)
            menu = wait_for("the window menu", d.popup_menu)
            d.click(*d.menu_item_centre(menu, 4, WINDOW_MENU))
        dialog = wait_for("the dialog", lambda: d.find("Configure Quorvel"))
        wait_for("the dialog in front", lambda: (fg := d.foreground()) and fg.hwnd == dialog.hwnd)
        return dialog

    def test_after_the_dialog_closes_the_next_clicks_reveal(self):
        d = self.desk
        # Each shell variant closes the dialog each way once, opened from
        # the two menus in turn: together every combination.
        ways = {(): (("OK", False), ("Cancel", True), ("Escape", False)),
                ("--sync",): (("OK", True), ("Cancel", False), ("Escape", True))}
        for variant in VARIANTS:
            self.start(variant)
            count = 0
            for close, from_tray in ways[variant]:
                with self.subTest(shell=variant, close=close, from_tray=from_tray):
                    dialog = self.open_dialog(from_tray)
                    self.click_button()
                    stays("no reveal while the dialog is open", lambda: d.reveals() == count)
                    # The dialog in front again, for the keys.
                    d.click(dialog.x + dialog.width // 2, dialog.y + 8)
                    wait_for("the dialog in front",
                             lambda: (fg := d.foreground()) and fg.hwnd == dialog.hwnd)
                    if close == "OK":
                        d.click(*d.at_twips(dialog.hwnd, *COMMAND2))
                    elif close == "Cancel":
                        d.click(*d.at_twips(dialog.hwnd, *COMMAND3))
                    else:
                        d.keys("Escape")
                    wait_for("the dialog to close", lambda: d.find("Configure Quorvel") is None)
                    stays("no reveal on closing", lambda: d.reveals() == count)
                    self.click_button(3)
                    count += 3
                    self.expect_reveals(count, "three clicks after the dialog")
                    self.assert_form1_minimised_by_the_shell(count - 3)

    def test_the_dialog_stays_in_front_of_another_programs_window_titled_quorvel(self):
        d = self.desk
        d.reset("2")
        d.start_shell()
        _, self.form1 = d.start_quorvel()
        d.start(BUILD / "qvprobe.exe", "window", "Quorvel")
        # Not Quorvel's own hidden application window, which bears the title too.
        other = wait_for("the other program's window",
                         lambda: next((w for w in d.windows()
                                       if w.title == "Quorvel" and w.cls == "QvProbeWindow"), None))
        wait_for("it in front", lambda: (fg := d.foreground()) and fg.hwnd == other.hwnd)
        dialog = self.open_dialog(from_tray=False)
        stays("the dialog in front", lambda: (fg := d.foreground()) and fg.hwnd == dialog.hwnd,
              duration=2.0)
        d.keys("Escape")
        wait_for("the dialog to close", lambda: d.find("Configure Quorvel") is None)


if __name__ == "__main__":
    unittest.main()
