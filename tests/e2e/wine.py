"""A Wine virtual desktop on Xvfb for the end-to-end tests of quorvel.exe.

Everything is observed from outside the program: windows and taskbar buttons
through the probe (qvprobe.exe), the registry through `wine reg`, the files of
the prefix, the stand-in shell's log, the processes. Input is real X11 input
(xdotool). Every wait polls observable state against a deadline.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = Path(os.environ.get("QUORVEL_WINDOWS_BUILD_DIR", ROOT / "build/windows"))
# The prefix stands for a Windows: "win32" for 32-bit Windows, "win64" for
# 64-bit Windows, where the program runs under WoW64 and its registry view is
# the 32-bit one (HKLM\SOFTWARE\WOW6432Node).
ARCH = os.environ.get("QUORVEL_WINE_ARCH", "win32")
PREFIX = Path(os.environ.get("QUORVEL_WINE_PREFIX",
                             ROOT / "build/host/wine" / ("prefix" if ARCH == "win32" else "prefix64")))
ARTEFACTS = Path(os.environ.get("QUORVEL_ARTEFACTS", ROOT / "artefacts"))
SETTINGS_KEY = r"HKLM\SOFTWARE\Orbrix\Quorvel"
WINE64 = "/usr/lib/wine/wine64"


def program_bits(exe):
    """32 or 64: the machine of a Windows program, from its PE header. The
    64-bit build of the same sources stands in for the program on kernels
    that run no 32-bit Linux programs, which 32-bit Wine needs."""
    with open(exe, "rb") as f:
        data = f.read(4096)
    at = int.from_bytes(data[0x3C:0x40], "little")
    return 64 if int.from_bytes(data[at + 4:at + 6], "little") == 0x8664 else 32


BITS = program_bits(BUILD / "quorvel.exe") if (BUILD / "quorvel.exe").exists() else 32
# `reg` reads and writes the program's own view of the registry: the 32-bit
# one for the 32-bit program (WOW6432Node in a 64-bit prefix).
REG_VIEW = "/reg:32" if BITS == 32 else "/reg:64"
# The loader: in a 64-bit prefix, Wine's own programs given by name (wineboot,
# reg, notepad) are the 64-bit ones, started by the 64-bit loader; our
# programs, given by path, start with the loader of their own width.
WINE = "wine" if ARCH == "win32" else WINE64


def loader(exe):
    if Path(str(exe)).suffix.lower() != ".exe":
        return WINE
    return "wine" if BITS == 32 else WINE64


class Timeout(AssertionError):
    pass


@dataclass
class Window:
    hwnd: int
    pid: int
    visible: bool
    iconic: bool
    enabled: bool
    x: int
    y: int
    width: int
    height: int
    owner: int
    cls: str
    title: str

    @staticmethod
    def parse(line):
        fields = line.split(" ", 10)
        cls, _, title = fields[10].partition("|")
        return Window(int(fields[0], 16), int(fields[1]), fields[2] == "1", fields[3] == "1",
                      fields[4] == "1", int(fields[5]), int(fields[6]), int(fields[7]),
                      int(fields[8]), int(fields[9], 16), cls, title.rstrip("\r"))

    @property
    def centre(self):
        return self.x + self.width // 2, self.y + self.height // 2


@dataclass
class Button:
    target: int
    x: int
    y: int
    width: int
    height: int

    @property
    def centre(self):
        return self.x + self.width // 2, self.y + self.height // 2


def wait_for(what, predicate, timeout=10.0, interval=0.05):
    """Polls predicate() until it returns something true; returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = predicate()
        if result:
            waited = time.monotonic() - (deadline - timeout)
            if waited > timeout / 2:
                print(f"[slow: {waited:.1f} s waiting for {what}]", file=sys.stderr, flush=True)
            return result
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def stays(what, predicate, duration=0.6, interval=0.05):
    """Checks that predicate() holds for the whole duration (no late extra event)."""
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if not predicate():
            raise AssertionError(f"{what} did not hold")
        time.sleep(interval)


class WineDesktop:
    """One Xvfb display and the shared test prefix, reset to a known state."""

    def __init__(self, name):
        self.name = name if ARCH == "win32" else f"{name}-{ARCH}"
        self.xvfb = None
        self.display = None
        self.processes = []
        ARTEFACTS.mkdir(parents=True, exist_ok=True)
        self.shell_log = ARTEFACTS / f"{self.name}-shell.log"
        self.wine_log = ARTEFACTS / f"{self.name}-wine.log"
        self.wine_log.unlink(missing_ok=True)
        if not (BUILD / "quorvel.exe").exists():
            raise AssertionError(f"{BUILD / 'quorvel.exe'} is missing: build the windows preset first")

    # --- life ---
    def __enter__(self):
        self.start_display()
        self.reset()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start_display(self):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise AssertionError("Xvfb did not start")
        self.display = f":{number}"

    @property
    def env(self):
        env = dict(os.environ)
        # Wine's error messages, and the program's trace (OutputDebugStringA)
        # with times: they go to the logs of started programs, among the
        # artefacts, and to a failed probe's report.
        env.update(WINEPREFIX=str(PREFIX), WINEARCH=ARCH,
                   WINEDEBUG="-all,err+all,+debugstr,+timestamp",
                   WINEDLLOVERRIDES="mscoree,mshtml=", DISPLAY=self.display)
        if BITS == 64:
            # Wine starts further processes with this loader (the 32-bit one
            # may be unable to run here at all).
            env.update(WINELOADER=WINE64)
        return env

    def stop(self):
        self.kill_wine()
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(10)
            self.xvfb = None

    def kill_wine(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=30)
        for p in self.processes:
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
        self.processes = []

    def reset(self, mode=None):
        """No program running, no stored setting (or `mode`), an empty TEMP."""
        self.kill_wine()
        self.reg_delete_key()
        if mode is not None:
            self.set_mode(mode)
        temp = self.windows_temp
        if temp.exists():
            shutil.rmtree(temp)
        temp.mkdir(parents=True)
        if self.shell_log.exists():
            # Kept for a failed test's reading, beside the Wine log.
            with open(ARTEFACTS / f"{self.name}-shell-history.log", "a") as history:
                history.write(f"--- reset at {time.strftime('%H:%M:%S')}\n")
                history.write(self.shell_log.read_text())
            self.shell_log.unlink()

    # --- programs ---
    def start(self, exe, *args):
        """Starts a program; Wine's own error messages about it go to this
        desktop's log among the artefacts."""
        with open(self.wine_log, "a") as log:
            log.write(f"--- {time.strftime('%H:%M:%S')} {Path(str(exe)).name} {' '.join(map(str, args))}\n")
            log.flush()
            p = subprocess.Popen([loader(exe), str(exe), *map(str, args)], env=self.env,
                                 stdout=subprocess.DEVNULL, stderr=log)
        self.processes.append(p)
        return p

    def wait_for_start(self, what, proc, predicate, timeout=30.0):
        """wait_for() for a program's first window. Once in CI the stand-in
        shell's window was not seen within 10 s of a reset (here it comes
        within half a second; a probe run Wine failed to start, see probe(),
        may have been the cause): the wait is longer, a slow wait is reported,
        and a timeout says whether the program is still running and which
        windows there are."""
        try:
            return wait_for(what, predicate, timeout)
        except Timeout as e:
            state = "running" if proc.poll() is None else f"ended with {proc.returncode:#x}"
            windows = "\n".join(self.probe("windows", check=False))
            raise Timeout(f"{e}; the program is {state}; see {self.wine_log}; windows:\n{windows}")

    def run(self, exe, *args, timeout=120):
        """Runs a program to its end and returns its output.

        The output goes through files, not pipes: the first Wine program of a
        session starts the wineserver and the desktop, which inherit its
        standard handles and would hold a pipe open long after it ended.

        Now and then (seen once in the 64-bit prefix) Wine's loader cannot lay
        out a new process ("failed to map the shared user data"), and nothing
        of the program runs: such a start is tried again, twice at most."""
        for _ in range(3):
            with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
                p = subprocess.run([loader(exe), str(exe), *map(str, args)], env=self.env,
                                   stdout=out, stderr=err, stdin=subprocess.DEVNULL,
                                   timeout=timeout)
                out.seek(0)
                err.seek(0)
                result = subprocess.CompletedProcess(p.args, p.returncode, out.read(), err.read())
            if "failed to map the shared user data" not in result.stderr:
                break
        return result

    def start_shell(self, *options):
        """The stand-in shell; "--sync" minimises with ShowWindow instead of
        ShowWindowAsync, "--windows" only windows with a minimise button, as
        Windows' own shell does; "--layout" puts the taskbar that takes Alt+M
        in a window of another thread, "--no-alt-m" has it take Windows key
        + M instead, "--shell-window" registers the shell window,
        "--view-sibling" has the desktop's keys go to a WorkerW beside it
        (see tools/shell/standin_shell.cpp)."""
        proc = self.start(BUILD / "standin_shell.exe", *options, self.windows_path(self.shell_log))
        return self.wait_for_start("the stand-in shell", proc,
                                   lambda: self.find("Program Manager"))

    def start_notepad(self):
        self.start("notepad")
        return wait_for("Notepad", lambda: self.find("Untitled - Notepad"))

    def start_quorvel(self, exe=None):
        """Starts quorvel.exe (the build's, or `exe`) and waits until it is ready:
        its taskbar button or notification-area icon is there and the start-up
        activation is over."""
        proc = self.start(exe or BUILD / "quorvel.exe")
        taskbar_form = self.wait_for_start("Quorvel's start-up", proc, lambda: self.find("Desktop"))

        def ready():
            if self.button_of(taskbar_form.hwnd):
                return True
            icon_host = self.icon_host_of(taskbar_form)
            return icon_host is not None and self.has_tray_icon(icon_host.hwnd)

        wait_for("Quorvel's taskbar button or icon", ready)
        # The start-up activation is handed back, or a first click on the
        # button would minimise it instead of activating it.
        wait_for("the start-up activation to end",
                 lambda: (fg := self.foreground()) is None or fg.hwnd != taskbar_form.hwnd)
        return proc, taskbar_form

    # --- looking ---
    def probe(self, *args, check=True):
        """The probe's answer, without its closing line. A run that did not
        reach its end (Wine failed to start it: seen once in a full test run)
        is no observation: it is reported and run again."""
        for attempt in range(3):
            result = self.run(BUILD / "qvprobe.exe", *args)
            lines = [line.rstrip("\r") for line in result.stdout.splitlines() if line.strip()]
            if lines and lines[-1] == "qvprobe: done":
                break
            print(f"[probe {args} did not finish (exit {result.returncode:#x}): "
                  f"{result.stderr.strip()[-500:]}]", file=sys.stderr, flush=True)
        else:
            raise AssertionError(f"probe {args} never finished")
        if check and result.returncode not in (0, 1):
            raise AssertionError(f"probe {args} failed: {result.stderr}")
        return lines[:-1]

    def windows(self):
        return [Window.parse(line) for line in self.probe("windows")]

    def find(self, title):
        lines = self.probe("find", title)
        return Window.parse(lines[0]) if lines else None

    def window(self, hwnd):
        return next((w for w in self.windows() if w.hwnd == hwnd), None)

    def foreground(self):
        lines = self.probe("fg")
        return Window.parse(lines[0]) if lines else None

    def taskbar(self):
        buttons = []
        for line in self.probe("taskbar"):
            f = line.split()
            buttons.append(Button(int(f[0], 16), int(f[1]), int(f[2]), int(f[3]), int(f[4])))
        return buttons

    def button_of(self, hwnd):
        return next((b for b in self.taskbar() if b.target == hwnd), None)

    def icon_host_of(self, taskbar_form):
        """The program's hidden icon host: its captionless form."""
        return next((w for w in self.windows() if w.pid == taskbar_form.pid and w.cls == "QuorvelForm"
                     and w.title == "" and w.owner != 0), None)

    def tray_icon_position(self, slot=0):
        """The centre of a notification-area icon: newest at the right end... of
        the taskbar, in 20-pixel slots (slot 0 is the rightmost)."""
        bar = next(w for w in self.windows() if w.cls == "Shell_TrayWnd")
        return bar.x + bar.width - 10 - 20 * slot, bar.y + bar.height // 2

    def client(self, hwnd):
        x, y, w, h = map(int, self.probe("client", hex(hwnd))[0].split())
        return x, y, w, h

    def at_twips(self, hwnd, left, top, width, height):
        """The screen point at the middle of a control given in twips (15 to
        the pixel) from the top-left corner of a form's client area."""
        x, y, _, _ = self.client(hwnd)
        return x + round((left + width / 2) / 15), y + round((top + height / 2) / 15)

    def checked(self, hwnd, caption):
        return self.probe("checked", hex(hwnd), caption) == ["1"]

    @staticmethod
    def menu_item_centre(menu, index, heights, border=3):
        """The middle of a menu item, from the heights of the items (separators
        are short), as this prefix's fonts draw them."""
        top = menu.y + border + sum(heights[:index])
        return menu.x + menu.width // 2, top + heights[index] // 2

    def popup_menu(self):
        lines = self.probe("menu")
        return Window.parse(lines[0]) if lines else None

    def has_tray_icon(self, hwnd, icon_id=1):
        return self.probe("tray", hex(hwnd), str(icon_id)) == ["1"]

    def reveals(self):
        if not self.shell_log.exists():
            return 0
        return sum(1 for line in self.shell_log.read_text().splitlines() if line.startswith("minimise-all"))

    def minimised_by_shell(self):
        """For each minimise-all so far, the handles of the windows it minimised."""
        if not self.shell_log.exists():
            return []
        return [{int(h, 16) for h in line.split()[3:]}
                for line in self.shell_log.read_text().splitlines() if line.startswith("minimise-all")]

    def shell_lines(self, prefix):
        """The stand-in shell's log lines that start with `prefix`
        ("start-menu", "menu-bar", "way", "ignored-alt-m", ...), in order."""
        if not self.shell_log.exists():
            return []
        return [line for line in self.shell_log.read_text().splitlines()
                if line.startswith(prefix)]

    def screenshot(self, name):
        path = ARTEFACTS / (f"{name}.png" if ARCH == "win32" else f"{name}-{ARCH}.png")
        subprocess.run(["import", "-display", self.display, "-window", "root", str(path)], check=True)
        return path

    # --- input ---
    def click(self, x, y, button=1):
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", str(button)],
                       env=self.env, check=True)
        # Two clicks on one spot within the double-click time would lose one.
        time.sleep(0.6)

    def keys(self, *keys):
        subprocess.run(["xdotool", "key", *keys], env=self.env, check=True)

    def type_text(self, text):
        subprocess.run(["xdotool", "type", "--delay", "20", text], env=self.env, check=True)

    # --- registry and files ---
    def reg_query(self, name="Icon"):
        r = self.run("reg", "query", SETTINGS_KEY, "/v", name, REG_VIEW)
        if r.returncode != 0:
            return None
        for line in r.stdout.splitlines():
            parts = line.split(None, 2)
            if len(parts) >= 2 and parts[0] == name:
                return parts[2].rstrip("\r") if len(parts) == 3 else ""
        return None

    def set_mode(self, text):
        r = self.run("reg", "add", SETTINGS_KEY, "/v", "Icon", "/t", "REG_SZ", "/d", text, "/f",
                     REG_VIEW)
        assert r.returncode == 0, r.stderr

    def reg_delete_key(self):
        self.run("reg", "delete", SETTINGS_KEY, "/f", REG_VIEW)

    @property
    def windows_temp(self):
        return PREFIX / "drive_c" / "windows" / "temp"

    @staticmethod
    def windows_path(path):
        return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def process_ended(proc):
    return proc.poll() is not None


def log_size(path):
    return path.stat().st_size if path.exists() else 0


def tail_from(path, offset):
    if not path.exists():
        return b""
    with open(path, "rb") as f:
        f.seek(offset)
        return f.read()


class DesktopTestCase(unittest.TestCase):
    """The tests of one module share one Wine desktop, named by `desktop`;
    each test resets it to the state it needs. A test that fails leaves what
    was logged while it ran (the Wine log with the program's trace, the
    stand-in shell's log) in artefacts/failed/<module>.<test>-<arch>/, which
    no later test or run overwrites."""
    desktop = None
    # A module that changes the prefix's settings for good (the screen's
    # density, the colour scheme) runs in a copy of it of its own, made anew.
    own_prefix = False

    @classmethod
    def setUpClass(cls):
        global PREFIX
        if cls.own_prefix:
            cls.shared_prefix = PREFIX
            PREFIX = PREFIX.parent / f"{PREFIX.name}-{cls.desktop}"  # one per platform
            if PREFIX.exists():
                shutil.rmtree(PREFIX)
            shutil.copytree(cls.shared_prefix, PREFIX, symlinks=True)
        cls.desk = WineDesktop(cls.desktop).__enter__()

    @classmethod
    def tearDownClass(cls):
        global PREFIX
        cls.desk.stop()
        if cls.own_prefix:
            shutil.rmtree(PREFIX, ignore_errors=True)
            PREFIX = cls.shared_prefix

    def run(self, result=None):
        result = result if result is not None else self.defaultTestResult()
        before = len(result.failures) + len(result.errors)
        desk = getattr(type(self), "desk", None)
        history = desk and ARTEFACTS / f"{desk.name}-shell-history.log"
        logged = desk and (log_size(desk.wine_log), log_size(history))
        super().run(result)
        if desk and len(result.failures) + len(result.errors) > before:
            self.keep_logs(desk, history, *logged)
        return result

    def keep_logs(self, desk, history, wine_from, history_from):
        name = f"{type(self).__module__}.{self._testMethodName}-{ARCH}"
        folder = ARTEFACTS / "failed" / name
        again = 1
        while folder.exists():  # an earlier failure of the same test stays
            again += 1
            folder = ARTEFACTS / "failed" / f"{name}.{again}"
        folder.mkdir(parents=True)
        (folder / "wine.log").write_bytes(tail_from(desk.wine_log, wine_from))
        # The shell's logs of the resets during the test, then the one running.
        shell = tail_from(history, history_from)
        if desk.shell_log.exists():
            shell += desk.shell_log.read_bytes()
        (folder / "shell.log").write_bytes(shell)
        print(f"\nthe logs of the failed {name} are in {folder}", file=sys.stderr)
