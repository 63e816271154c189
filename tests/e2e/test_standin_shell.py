"""The stand-in shell itself under Wine, since the other tests judge the
program by its log: a lone Windows key or Alt is logged as the Start menu or
the menu bar, one used with another key is not; with --layout a taskbar
window of its own thread, Alt+M ignored on the desktop; with --no-alt-m
Windows key + M as a hot key; with --view-sibling the desktop's keys in a
WorkerW beside it; with --shell-window the registered shell window. And the
probe's window that hides itself when minimised.

Keys are typed with xdotool while a window of another program or one that
the probe brought to the front has the keyboard. (This Wine loses typed keys
for a while after the shell itself handed the foreground from one of its
threads to another; keys a program sends with SendInput are not lost, so the
program's own Tab, Alt+M are judged by the reveal tests.)"""
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import BUILD, DesktopTestCase, stays, wait_for  # noqa: E402

# xdotool commands, one run each, and the lines they add to the log.
LONE_KEYS = (
    ("Windows key alone", [["keydown", "super"], ["keyup", "super"]], ["start-menu"]),
    ("right Windows key alone", [["keydown", "Super_R"], ["keyup", "Super_R"]], ["start-menu"]),
    ("Alt alone", [["key", "alt"]], ["menu-bar"]),
    ("Windows key with A", [["keydown", "super"], ["key", "a"], ["keyup", "super"]], []),
    ("Alt with Shift", [["keydown", "alt"], ["key", "shift"], ["keyup", "alt"]], []),
    ("Windows key held, repeating", [["keydown", "super"], ["keydown", "super"], ["keyup", "super"]],
     ["start-menu"]),
)


class StandInShell(DesktopTestCase):
    desktop = "standin"

    def setUp(self):
        self.desk.reset()

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.desk.env, check=True)

    def lines_after(self, before, expected, what):
        """The log's lines after the first `before` ones, once they are `expected`."""
        d = self.desk

        def new_lines():
            return d.shell_log.read_text().splitlines()[before:] if d.shell_log.exists() else []

        if expected:
            wait_for(what, lambda: len(new_lines()) >= len(expected))
        stays(f"nothing more ({what})", lambda: len(new_lines()) <= len(expected), duration=0.8)
        return new_lines()

    def log_length(self):
        d = self.desk
        return len(d.shell_log.read_text().splitlines()) if d.shell_log.exists() else 0

    def bring_to_front(self, hwnd):
        self.desk.probe("activate", hex(hwnd))

    def shell_windows(self, pid):
        return [w for w in self.desk.windows() if w.pid == pid]

    def test_a_lone_windows_key_or_alt_is_the_start_menu_or_the_menu_bar(self):
        d = self.desk
        d.start_shell()
        d.start_notepad()
        for what, commands, expected in LONE_KEYS:
            with self.subTest(what):
                before = self.log_length()
                for command in commands:
                    self.xdotool(*command)
                    time.sleep(0.1)
                self.assertEqual(self.lines_after(before, expected, what), expected)

    def test_layout_a_taskbar_window_of_its_own_takes_windows_key_m(self):
        d = self.desk
        shell = d.start_shell("--no-alt-m")
        taskbars = [w for w in self.shell_windows(shell.pid) if w.cls == "QuorvelStandInTaskbar"
                    and w.visible]
        self.assertEqual(len(taskbars), 1, taskbars)
        taskbar = taskbars[0]
        self.assertNotEqual(taskbar.title, "Program Manager")
        self.assertNotEqual(taskbar.owner, 0, "unowned: it would have a taskbar button")
        self.assertTrue(0 <= taskbar.x < 1024 and 0 <= taskbar.y < 768, "off the screen")
        notepad = d.start_notepad()
        self.assertIsNone(d.button_of(taskbar.hwnd))

        # Alt+M is no command of the desktop's.
        self.bring_to_front(d.find("Program Manager").hwnd)
        wait_for("Program Manager in front",
                 lambda: (fg := d.foreground()) and fg.title == "Program Manager")
        before = self.log_length()
        self.xdotool("key", "alt+m")
        self.assertEqual(self.lines_after(before, ["ignored-alt-m desktop"], "Alt+M"),
                         ["ignored-alt-m desktop"])
        self.assertFalse(d.window(notepad.hwnd).iconic)

        # Windows key + M is, wherever the keyboard is.
        self.bring_to_front(notepad.hwnd)
        wait_for("Notepad in front", lambda: (fg := d.foreground()) and fg.hwnd == notepad.hwnd)
        before = self.log_length()
        self.xdotool("key", "super+m")
        lines = self.lines_after(before, ["way hotkey", "minimise-all"], "Windows key + M")
        self.assertEqual(lines[0], "way hotkey")
        self.assertTrue(lines[1].startswith("minimise-all "), lines)
        self.assertIn(notepad.hwnd, d.minimised_by_shell()[-1])
        wait_for("Notepad minimised", lambda: d.window(notepad.hwnd).iconic)
        self.assertEqual(d.shell_lines("start-menu"), [], "the Windows key was not lone")

    def test_view_sibling_the_desktop_keys_go_to_a_worker_window(self):
        d = self.desk
        shell = d.start_shell("--view-sibling")
        workers = [w for w in self.shell_windows(shell.pid) if w.cls == "WorkerW"]
        self.assertEqual(len(workers), 1, workers)
        self.assertEqual(workers[0].title, "")
        notepad = d.start_notepad()
        self.bring_to_front(d.find("Program Manager").hwnd)
        wait_for("the WorkerW in front",
                 lambda: (fg := d.foreground()) and fg.hwnd == workers[0].hwnd)
        self.xdotool("key", "--delay", "100", "Tab", "alt+m")
        wait_for("a minimise-all", lambda: d.reveals() == 1)
        self.assertIn(notepad.hwnd, d.minimised_by_shell()[0])

    def test_shell_window_only_when_asked(self):
        d = self.desk
        for options, registered in (((), False), (("--shell-window",), True)):
            with self.subTest(options=options):
                d.reset()
                d.start_shell(*options)
                shell = d.probe("shellwindow")
                if registered:
                    self.assertEqual(len(shell), 1, shell)
                    self.assertTrue(shell[0].endswith("|Program Manager"), shell)
                    self.assertEqual(d.shell_lines("shell-window"), ["shell-window 1"])
                else:
                    self.assertEqual(shell, [])
                    self.assertEqual(d.shell_lines("shell-window"), [])

    def test_probe_window_that_hides_itself_when_minimised(self):
        d = self.desk
        d.start_shell()
        for way in ("its taskbar button", "the shell's minimise-all"):
            with self.subTest(way):
                title = f"Hider by {way}"
                d.start(BUILD / "qvprobe.exe", "window-hides", title)
                window = wait_for(title, lambda: (w := d.find(title)) and w.visible and w)
                wait_for(f"{title} in front",
                         lambda: (fg := d.foreground()) and fg.hwnd == window.hwnd)
                if way == "its taskbar button":
                    # The active window's button minimises it.
                    d.click(*wait_for("its button", lambda: d.button_of(window.hwnd)).centre)
                else:
                    self.bring_to_front(d.find("Program Manager").hwnd)
                    wait_for("Program Manager in front",
                             lambda: (fg := d.foreground()) and fg.title == "Program Manager")
                    self.xdotool("key", "--delay", "100", "Tab", "alt+m")
                    wait_for("its minimise-all",
                             lambda: any(window.hwnd in m for m in d.minimised_by_shell()))
                wait_for(f"{title} hidden", lambda: not d.window(window.hwnd).visible)
                if way == "its taskbar button":
                    wait_for("its button gone", lambda: d.button_of(window.hwnd) is None)
                # Hidden while another window is active, it keeps its button
                # on this Wine's taskbar until the next window comes or is
                # activated.


if __name__ == "__main__":
    unittest.main()
