"""The real quorvel.exe under Wine: start-up, clicks on its taskbar button, a
second start, and a click while no shell window exists."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import BUILD, DesktopTestCase, process_ended, stays, wait_for  # noqa: E402


class Smoke(DesktopTestCase):
    desktop = "smoke"

    def setUp(self):
        self.desk.reset()

    def click_button(self, taskbar_form):
        button = wait_for("Desktop's taskbar button", lambda: self.desk.button_of(taskbar_form.hwnd))
        self.desk.click(*button.centre)

    def test_clicks_reveal_once_each_and_a_second_start_reveals_once(self):
        d = self.desk
        d.start_shell()
        notepad = d.start_notepad()
        first, taskbar_form = d.start_quorvel()
        self.assertEqual(d.reveals(), 0, "the start-up activation revealed")
        self.assertIsNotNone(d.button_of(taskbar_form.hwnd))

        self.click_button(taskbar_form)
        wait_for("one minimise-all", lambda: d.reveals() == 1)
        wait_for("Notepad minimised", lambda: d.window(notepad.hwnd).iconic)
        wait_for("the taskbar button back", lambda: d.button_of(taskbar_form.hwnd))
        stays("exactly one minimise-all", lambda: d.reveals() == 1)

        self.click_button(taskbar_form)
        self.click_button(taskbar_form)
        wait_for("two more minimise-alls", lambda: d.reveals() == 3)
        stays("no extra minimise-all", lambda: d.reveals() == 3)
        # The taskbar form minimised at rest between clicks, so each click restores it.
        wait_for("the taskbar form minimised", lambda: d.window(taskbar_form.hwnd).iconic)

        second = d.start(BUILD / "quorvel.exe")
        wait_for("the second start to end", lambda: process_ended(second), timeout=10)
        wait_for("its one minimise-all", lambda: d.reveals() == 4)
        stays("no extra minimise-all", lambda: d.reveals() == 4)
        self.assertFalse(process_ended(first))
        self.assertIsNotNone(d.button_of(taskbar_form.hwnd), "the first instance lost its button")

    def test_without_a_shell_window_nothing_is_typed_and_the_button_returns(self):
        d = self.desk
        notepad = d.start_notepad()
        _, taskbar_form = d.start_quorvel()
        d.click(*notepad.centre)
        d.type_text("hello")
        wait_for("the typing", lambda: d.probe("childtext", hex(notepad.hwnd), "Edit") == ["hello"])
        self.click_button(taskbar_form)
        wait_for("the taskbar button back", lambda: d.button_of(taskbar_form.hwnd) and d.window(taskbar_form.hwnd).visible)
        stays("Notepad's text unchanged",
              lambda: d.probe("childtext", hex(notepad.hwnd), "Edit") == ["hello"], duration=1.0)


if __name__ == "__main__":
    unittest.main()
