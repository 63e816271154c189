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
        proc, taskbar_form = d.start_quorvel()
        return proc, taskbar_form, d.icon_host_of(taskbar_form)

    def test_a_task_manager_close_or_the_end_of_the_session_ends_it_and_removes_the_icon(self):
        d = self.desk
        for how in ("close", "endsession"):
            with self.subTest(how=how):
                proc, taskbar_form, icon_host = self.start("3")
                wait_for("the icon", lambda: d.has_tray_icon(icon_host.hwnd))
                d.probe(how, hex(taskbar_form.hwnd))
                wait_for("the program to end", lambda: process_ended(proc))
                self.assertFalse(d.has_tray_icon(icon_host.hwnd))

    def test_bad_stored_settings_keep_the_program_reachable(self):
        d = self.desk
        for stored, after in (("7", "7"), ("abc", "abc"), ("3" * 40, "2")):
            with self.subTest(stored=stored):
                proc, taskbar_form, _ = self.start(stored)
                self.assertIsNotNone(d.button_of(taskbar_form.hwnd))
                self.assertEqual(d.reg_query(), after)
                d.click(*d.button_of(taskbar_form.hwnd).centre)
                wait_for("a reveal", lambda: d.reveals() == 1)
                wait_for("the taskbar form minimised", lambda: d.window(taskbar_form.hwnd).iconic)
                wait_for("the button back", lambda: d.button_of(taskbar_form.hwnd))

    def test_the_icon_comes_back_when_the_taskbar_is_recreated(self):
        d = self.desk
        _, taskbar_form, icon_host = self.start("1")
        wait_for("the icon", lambda: d.has_tray_icon(icon_host.hwnd))
        d.probe("traydel", hex(icon_host.hwnd), "1")  # the shell restarted: its icons are gone
        self.assertFalse(d.has_tray_icon(icon_host.hwnd))
        d.probe("broadcast", "TaskbarCreated")
        wait_for("the icon back", lambda: d.has_tray_icon(icon_host.hwnd))
        self.assertIsNone(d.button_of(taskbar_form.hwnd))


if __name__ == "__main__":
    unittest.main()
