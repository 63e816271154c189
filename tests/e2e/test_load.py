"""Load on the real quorvel.exe under Wine: 200 clicks in a row are 200
minimise-alls, and 20 dialog openings and 20 pop-up menus leave its GDI
objects, its windows and its memory flat."""
import subprocess
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import ARCH, ARTEFACTS, BITS, BUILD, DesktopTestCase, stays, wait_for  # noqa: E402

SC_CLOSE_COMMAND = ("0x112", "0xF060", "0")  # WM_SYSCOMMAND SC_CLOSE: the window menu's "&Configure"


def resources(d, proc, pid):
    """The process's GDI objects (GetGuiResources, or where this Wine answers
    0, its own GDI handle table, read by the probe), its windows (the USER
    objects that can be seen from outside; GetGuiResources' USER count is 0
    here too) and its anonymous memory, read from Linux, where the Windows
    process is one process."""
    f = d.probe("gui", str(pid))[0].split()
    status = Path(f"/proc/{proc.pid}/status").read_text()
    anon = next(int(line.split()[1]) for line in status.splitlines() if line.startswith("RssAnon:"))
    return {"user": int(f[1]), "gdi": int(f[3]), "windows": int(f[7]), "rss_anon_kib": anon}


class Load(DesktopTestCase):
    desktop = "load"

    def test_200_clicks_are_200_minimise_alls(self):
        d = self.desk
        d.reset("2")
        # One shell per prefix, to keep the test command short: Windows' own
        # kind in the 64-bit prefix, the harsh asynchronous one in the 32-bit.
        d.start_shell(*(("--windows",) if ARCH == "win64" else ()))
        # A window for every minimise-all: the program watches each reveal's
        # keys, and must never find them ignored where the shell takes them.
        d.start(BUILD / "qvprobe.exe", "window-returns", "Comes back")
        wait_for("the window that comes back", lambda: d.find("Comes back"))
        _, taskbar_form = d.start_quorvel()
        x, y = wait_for("the button", lambda: d.button_of(taskbar_form.hwnd)).centre
        # The prefix's double-click time is 100 ms: clicks 250 ms apart are single clicks.
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "--repeat", "200",
                        "--delay", "250", "1"], env=d.env, check=True)
        wait_for("200 minimise-alls", lambda: d.reveals() >= 200, timeout=30)
        stays("no extra one", lambda: d.reveals() <= 200, duration=1.0)
        # The taskbar form minimised at rest, whether or not the shell minimised it.
        wait_for("the taskbar form minimised", lambda: d.window(taskbar_form.hwnd).iconic)
        trace = d.wine_log.read_text(errors="replace")
        self.assertNotIn("the shell ignored its keys", trace)
        self.assertNotIn("minimise-all: ", trace, "the shell was asked the other way")
        self.assertGreater(trace.count("the shell acted on its keys"), 100,
                           "the keys' effect was hardly ever watched")

    # The probe reads a 32-bit program's GDI handle table in the 32-bit prefix
    # (and a 64-bit build's in a 64-bit prefix), not across WoW64, where it
    # finds none; the 32-bit prefix runs this for the shipped exe.
    @unittest.skipIf(ARCH == "win64" and BITS == 32, "the 32-bit prefix measures the shipped exe")
    def test_dialogs_and_menus_leave_objects_and_memory_flat(self):
        d = self.desk
        d.reset("3")
        d.start_shell()
        proc, taskbar_form = d.start_quorvel()
        icon_host = d.icon_host_of(taskbar_form)
        wait_for("the icon", lambda: d.has_tray_icon(icon_host.hwnd))

        def cycle_dialog():
            d.probe("post", hex(taskbar_form.hwnd), *SC_CLOSE_COMMAND)
            wait_for("the dialog", lambda: (w := d.find("Configure Quorvel")) and w.visible)
            wait_for("the dialog in front", lambda: (fg := d.foreground()) and fg.title == "Configure Quorvel")
            d.keys("Escape")
            wait_for("the dialog closed", lambda: d.find("Configure Quorvel") is None)

        def cycle_menu():
            d.click(*d.tray_icon_position(), button=3)
            wait_for("the menu", d.popup_menu)
            d.click(500, 300)
            wait_for("the menu closed", lambda: d.popup_menu() is None)

        for cycle in (cycle_dialog, cycle_menu):
            cycle()  # the first use allocates what later ones reuse
            before = resources(d, proc, taskbar_form.pid)
            for _ in range(20):
                cycle()
            after = resources(d, proc, taskbar_form.pid)
            moved = {k: after[k] - before[k] for k in before}
            with open(ARTEFACTS / "load-resources.txt", "a") as f:
                f.write(f"{cycle.__name__}: before {before} after {after} moved {moved}\n")
            self.assertGreater(before["gdi"], 0, "no GDI figure read")
            self.assertGreater(before["windows"], 0, "no window figure read")
            self.assertLessEqual(abs(moved["user"]), 2, moved)
            self.assertLessEqual(abs(moved["gdi"]), 2, moved)
            self.assertEqual(moved["windows"], 0, moved)
            self.assertGreater(before["rss_anon_kib"], 0, "no memory figure read")
            self.assertLess(moved["rss_anon_kib"], 512, moved)
        self.assertEqual(d.reveals(), 0)


if __name__ == "__main__":
    unittest.main()
