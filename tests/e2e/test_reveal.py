"""Exactly one reveal per request and none without one, with the real
quorvel.exe under Wine and each kind of stand-in shell: one that minimises
every window, the program's own included, by ShowWindowAsync and (--sync) by
ShowWindow, (--windows) one that minimises only windows with a minimise
button, as Windows' own shell does, and (--layout) one laid out as Windows'
shell, its desktop and taskbar on two threads. Requests: clicks on the taskbar button,
on the notification-area icon, second starts (also from a hotkey still
held), and clicks after the Configure dialog closed; no request: the
activation Windows hands on when the user's window is closed or minimised.
And the dialog stays in front of another program's window titled
"Quorvel"."""
import subprocess
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import BUILD, DesktopTestCase, process_ended, stays, wait_for  # noqa: E402

VARIANTS = ((), ("--sync",), ("--windows",), ("--layout",))
SC_MINIMIZE = ("0x112", "0xF020", "0")  # WM_SYSCOMMAND
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
        self.proc, self.taskbar_form = d.start_quorvel()
        self.assertEqual(d.reveals(), 0, "the start-up activation revealed")

    def expect_reveals(self, count, what):
        """Exactly `count` minimise-alls in all, none late."""
        d = self.desk
        wait_for(what, lambda: d.reveals() >= count, timeout=60)
        stays(f"no minimise-all beyond {count} ({what})", lambda: d.reveals() <= count, duration=1.0)
        return d.reveals()

    def click_button(self, times=1):
        d = self.desk
        x, y = wait_for("the button", lambda: d.button_of(self.taskbar_form.hwnd)).centre
        # The prefix's double-click time is 100 ms: clicks 250 ms apart are single clicks.
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "--repeat", str(times),
                        "--delay", "250", "1"], env=d.env, check=True)

    def click_icon(self, times=1):
        d = self.desk
        x, y = d.tray_icon_position()
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "--repeat", str(times),
                        "--delay", "250", "1"], env=d.env, check=True)

    def assert_taskbar_form_at_rest(self):
        """The taskbar form minimised after a reveal, by the shell or, where the shell
        spares it (Windows' own, or a shell that acted while it was hidden),
        by itself: so the next click restores it, whatever the shell."""
        d = self.desk
        wait_for("the taskbar form minimised", lambda: d.window(self.taskbar_form.hwnd).iconic)

    def test_clicks_icon_clicks_and_second_starts_are_one_reveal_each(self):
        d = self.desk
        for variant in VARIANTS:
            with self.subTest(shell=variant):
                self.start(variant)
                # Clicks in a row, each one reveal under every shell (e2e.load
                # clicks the button 200 times under one shell in each prefix).
                self.click_button(15)
                count = self.expect_reveals(15, "15 clicks on the button")
                self.assert_taskbar_form_at_rest()
                self.assertTrue(d.window(self.notepad.hwnd).iconic)

                self.click_icon(15)
                count = self.expect_reveals(count + 15, "15 clicks on the icon")

                for _ in range(2):
                    self.click_button()
                    count += 1
                    self.expect_reveals(count, "a click on the button")
                    self.assert_taskbar_form_at_rest()
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
            button = wait_for("the taskbar button", lambda: d.button_of(self.taskbar_form.hwnd))
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
                ("--sync",): (("OK", True), ("Cancel", False), ("Escape", True)),
                ("--windows",): (("OK", False), ("Escape", True)),
                ("--layout",): (("Cancel", True),)}
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
                    self.assert_taskbar_form_at_rest()

    def test_the_activation_handed_on_after_a_close_or_a_minimise_reveals_nothing(self):
        """When the user's window is closed or minimised, Windows hands the
        activation to the next window in the z-order, which may be the taskbar form,
        off the screen and, under Windows' own shell, restored: no reveal,
        right after start-up or after reveals; then each click is one."""
        d = self.desk

        def notepad_goes(how, what):
            count = d.reveals()
            if how == "close":
                d.probe("close", hex(self.notepad.hwnd))
                wait_for("Notepad closed", lambda: d.window(self.notepad.hwnd) is None)
                self.notepad = d.start_notepad()
                wait_for("Notepad in front",
                         lambda: (fg := d.foreground()) and fg.hwnd == self.notepad.hwnd)
            else:
                d.probe("post", hex(self.notepad.hwnd), *SC_MINIMIZE)
                wait_for("Notepad minimised", lambda: d.window(self.notepad.hwnd).iconic)
            stays(f"no reveal when Notepad was {what}", lambda: d.reveals() == count,
                  duration=1.0)

        def restore_notepad():
            d.click(*wait_for("Notepad's button", lambda: d.button_of(self.notepad.hwnd)).centre)
            wait_for("Notepad restored and in front",
                     lambda: not d.window(self.notepad.hwnd).iconic
                     and (fg := d.foreground()) and fg.hwnd == self.notepad.hwnd)

        for variant in VARIANTS:
            with self.subTest(shell=variant):
                self.start(variant, mode="2")
                count = 0
                for how, what in (("close", "closed right after start-up"),
                                  ("minimise", "minimised right after start-up")):
                    notepad_goes(how, what)
                for how, what in (("close", "closed after a reveal"),
                                  ("minimise", "minimised after a reveal")):
                    self.click_button()
                    count += 1
                    self.expect_reveals(count, "a click on the button")
                    restore_notepad()
                    notepad_goes(how, what)
                self.click_button(3)
                count += 3
                self.expect_reveals(count, "three clicks after the hand-offs")
                self.assert_taskbar_form_at_rest()

    def test_held_modifiers_leave_the_keys_alone(self):
        """A second start from a hotkey whose Ctrl and Alt are still held, and
        a click on the icon with Shift held: one reveal each, and the shell
        sees Tab and Alt+M alone."""
        d = self.desk
        self.start((), mode="3")
        d.click(*d.at_twips(self.notepad.hwnd, 0, 0, 0, 0))  # the X focus in a Wine window
        count = d.reveals()
        subprocess.run(["xdotool", "keydown", "ctrl", "alt"], env=d.env, check=True)
        try:
            second = d.start(BUILD / "quorvel.exe")
            wait_for("the second start to end", lambda: process_ended(second), timeout=30)
            count += 1
            self.expect_reveals(count, "a second start with Ctrl+Alt held")
        finally:
            subprocess.run(["xdotool", "keyup", "ctrl", "alt"], env=d.env, check=True)
        subprocess.run(["xdotool", "keydown", "shift"], env=d.env, check=True)
        try:
            x, y = d.tray_icon_position()
            subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], env=d.env,
                           check=True)
            count += 1
            self.expect_reveals(count, "a click on the icon with Shift held")
        finally:
            subprocess.run(["xdotool", "keyup", "shift"], env=d.env, check=True)
        modified = [line for line in d.shell_log.read_text().splitlines()
                    if line.startswith("modified-key")]
        self.assertEqual(modified, [], "keys that reached the shell with a modifier held")

    def test_the_dialog_stays_in_front_of_another_programs_window_titled_quorvel(self):
        d = self.desk
        d.reset("2")
        d.start_shell()
        _, self.taskbar_form = d.start_quorvel()
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
