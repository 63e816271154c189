"""The ways the real quorvel.exe ends, and the faults it lives through, under
Wine: a task-manager close, the end of the session, bad stored settings, the
shell's taskbar coming back without the icon."""
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import DesktopTestCase, process_ended, stays, wait_for  # noqa: E402


class Lifecycle(DesktopTestCase):
    desktop = "lifecycle"

    def start(self, mode):
        d = self.desk
        d.reset(mode)
        d.start_shell()
        proc, form1 = d.start_quorvel()
        return proc, form1, d.form2_of(form1)

    def test_a_task_manager_close_or_the_end_of_the_session_ends_it_and_removes_the_icon(self):
        d = self.desk
        for how in ("close", "endsession"):
            with self.subTest(how=how):
                proc, form1, form2 = self.start("3")
                wait_for("the icon", lambda: d.has_tray_icon(form2.hwnd))
                d.probe(how, hex(form1.hwnd))
                wait_for("the program to end", lambda: process_ended(proc))
                self.assertFalse(d.has_tray_icon(form2.hwnd))

    def test_bad_stored_settings_keep_the_program_reachable(self):
        d = self.desk
        for stored, after in (("7", "7"), ("abc", "abc"), ("3" * 40, "2")):
            with self.subTest(stored=stored):
                proc, form1, _ = self.start(stored)
                self.assertIsNotNone(d.button_of(form1.hwnd))
                self.assertEqual(d.reg_query(), after)
                d.click(*d.button_of(form1.hwnd).centre)
                wait_for("a reveal", lambda: d.reveals() == 1)
                wait_for("Form1 minimised", lambda: d.window(form1.hwnd).iconic)
                wait_for("the button back", lambda: d.button_of(form1.hwnd))

    def test_the_icon_comes_back_when_the_taskbar_is_recreated(self):
        d = self.desk
        _, form1, form2 = self.start("1")
        wait_for("the icon", lambda: d.has_tray_icon(form2.hwnd))
        d.probe("traydel", hex(form2.hwnd), "1")  # the shell restarted: its icons are gone
        self.assertFalse(d.has_tray_icon(form2.hwnd))
        d.probe("broadcast", "TaskbarCreated")
        wait_for("the icon back", lambda: d.has_tray_icon(form2.hwnd))
        self.assertIsNone(d.button_of(form1.hwnd))


if __name__ == "__main__":
    unittest.main()
