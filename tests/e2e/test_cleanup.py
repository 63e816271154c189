"""The start-up cleanup of C:\\windows\\TEMP by the real quorvel.exe under
Wine, on real files of the prefix. A first start cleans once it is ready,
from its message loop: each test waits for the program's trace line that
says the cleanup is over before it looks at what is left."""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import (BUILD, PREFIX, DesktopTestCase, loader, process_ended, stays,  # noqa: E402
                  wait_for)


def fingerprint(folder):
    """Every name and byte under a folder, links not followed."""
    digest = hashlib.sha256()
    for path in sorted(folder.rglob("*")):
        digest.update(str(path.relative_to(folder)).encode())
        if path.is_file() and not path.is_symlink():
            digest.update(path.read_bytes())
    return digest.hexdigest()


class Cleanup(DesktopTestCase):
    desktop = "cleanup"

    def setUp(self):
        self.desk.reset()
        self.temp = self.desk.windows_temp

    def touch(self, name):
        path = self.temp / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text("x")
        return path

    def left(self):
        return sorted(str(p.relative_to(self.temp)) for p in self.temp.rglob("*"))

    def cleanups_over(self):
        log = self.desk.wine_log
        return log.read_text(errors="replace").count("the cleanup is over") if log.exists() else 0

    def start_and_clean(self):
        """A first start, and the end of its cleanup."""
        before = self.cleanups_over()
        self.desk.start_quorvel()
        wait_for("the end of the cleanup", lambda: self.cleanups_over() > before, timeout=60)

    def tmp_files_left(self):
        with os.scandir(self.temp) as entries:
            return sum(1 for e in entries if e.name.endswith(".tmp"))

    def test_exactly_the_matching_files_go(self):
        for name in ("a.tmp", "B.TMP", "c.tmp.bak", "d.tmpl", "e.tmp1", "f.txt", "sub/h.tmp",
                     "with space.tmp", "report.tmpl", "a long name with dots.tmpfile",
                     ".hidden.tmp"):
            self.touch(name)
        (self.temp / "g.tmp").mkdir()
        read_only = self.touch("read-only.tmp")
        os.chmod(read_only, 0o444)
        self.start_and_clean()
        self.assertEqual(self.left(), sorted([
            ".hidden.tmp", "a long name with dots.tmpfile", "c.tmp.bak", "d.tmpl", "e.tmp1",
            "f.txt", "g.tmp", "read-only.tmp", "report.tmpl", "sub", "sub/h.tmp"]))

    def hold_open(self, path):
        """Another Windows process holds the file open without delete sharing
        until its input ends."""
        holder = subprocess.Popen([loader(BUILD / "qvprobe.exe"), str(BUILD / "qvprobe.exe"), "hold",
                                   self.desk.windows_path(path)], env=self.desk.env,
                                  stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL)
        self.assertTrue(holder.stdout.readline().startswith(b"held"), "the probe holds the file")
        return holder

    def test_a_hostile_folder_loses_its_plain_matching_files_and_nothing_outside(self):
        outside = PREFIX / "drive_c" / "outside"
        host = Path(tempfile.mkdtemp(prefix="qv-cleanup-host-"))
        self.addCleanup(shutil.rmtree, host)
        self.addCleanup(shutil.rmtree, outside, True)
        shutil.rmtree(outside, True)
        (outside / "folder").mkdir(parents=True)
        (outside / "precious.dat").write_text("precious")
        (outside / "hard.dat").write_text("hard-linked")
        (outside / "folder" / "inner.tmp").write_text("inner")
        (host / "user-file.doc").write_text("the user's own file")
        gone = ["plain.tmp", "with space.tmp", "several.dots.in.it.tmp", "MiXeD.TmP",
                "caf\u00e9.tmp", "\u20ac.tmp"]
        for name in gone:
            self.touch(name)
        os.link(outside / "hard.dat", self.temp / "hard.tmp")
        gone.append("hard.tmp")
        kept = ["keep.tmpl", "longername.tmpx", "keep.dat", "read-only.tmp", ".hidden.tmp",
                "system.tmp", "sub/deep.tmp", "dir.tmp/inner.tmp", "held.tmp"]
        for name in kept:
            self.touch(name)
        os.chmod(self.temp / "read-only.tmp", 0o444)
        os.setxattr(self.temp / "system.tmp", "user.DOSATTRIB", b"0x4")
        links = {"link-out.tmp": outside / "precious.dat", "link-dir.tmp": outside / "folder",
                 "link-host.tmp": host / "user-file.doc", "link-in.tmp": self.temp / "keep.dat",
                 "dangling.tmp": outside / "missing.dat"}
        for name, target in links.items():
            (self.temp / name).symlink_to(target)
        before = fingerprint(outside), fingerprint(host)
        holder = self.hold_open(self.temp / "held.tmp")
        try:
            self.start_and_clean()
        finally:
            holder.stdin.close()
            holder.wait(60)
        for name in gone:
            self.assertFalse(os.path.lexists(self.temp / name), f"{name} should be gone")
        # Wine opens a link's target, which is outside or has another name:
        # every link stays, and so does what it leads to.
        for name in kept + list(links):
            self.assertTrue(os.path.lexists(self.temp / name), f"{name} should stay")
        self.assertEqual((fingerprint(outside), fingerprint(host)), before)
        self.assertEqual((outside / "hard.dat").read_text(), "hard-linked")

    def test_names_listed_as_other_names_never_lead_the_deletion_there(self):
        """Characters the ANSI code page lacks are listed by their best fit:
        U+FF3C (fullwidth reverse solidus) and U+2216 (set minus) as a
        backslash, U+FF0F (fullwidth solidus) as a slash, U+FF0E (fullwidth
        full stop) as a dot, a fullwidth letter as its letter. Each planted
        name reads, so listed, as a path from TEMP to a precious file, or as
        a system file's name; the file stays, and so does the planted one.
        Names start with "x\\..\\" (TEMP again): Wine hides a name that starts
        with a dot, and the list leaves hidden files out."""
        drive = PREFIX / "drive_c"
        bs, slash, minus, dot = "\uff3c", "\uff0f", "\u2216", "\uff0e"
        planted = {
            f"x{bs}..{bs}..{bs}v.tmp": drive / "windows" / "v.tmp",  # TEMP's parent
            f"x{minus}..{minus}..{minus}minus.tmp": drive / "windows" / "minus.tmp",
            f"x{bs}..{bs}..{bs}qv-sibling{bs}s.tmp": drive / "windows" / "qv-sibling" / "s.tmp",
            f"x{bs}..{bs}..{bs}..{bs}outside{bs}two.tmp": drive / "outside" / "two.tmp",
            f"x{slash}..{slash}..{slash}..{slash}outside{slash}slash.tmp":
                drive / "outside" / "slash.tmp",
            # One more ".." than there are folders: it stops at the drive's root.
            f"x{bs}..{bs}..{bs}..{bs}..{bs}outside{bs}three.tmp": drive / "outside" / "three.tmp",
            f"{dot}{dot}{bs}v.tmp": drive / "windows" / "v.tmp",
            f"{dot}{dot}{bs}{dot}{dot}{bs}qv-dots.tmp": drive / "qv-dots.tmp",
        }
        for target in set(planted.values()):
            self.addCleanup(lambda t=target: t.unlink(missing_ok=True))
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_text(f"precious {target.name}")
        self.addCleanup(shutil.rmtree, drive / "windows" / "qv-sibling", True)
        self.addCleanup(shutil.rmtree, drive / "outside", True)
        for name in planted:
            self.touch(name)
        # A fullwidth first letter: listed as the name of a system file in
        # TEMP, which the list leaves out.
        system = self.temp / "system.tmp"
        system.write_text("precious system.tmp")
        os.setxattr(system, "user.DOSATTRIB", b"0x4")
        self.touch("\uff53ystem.tmp")
        planted["\uff53ystem.tmp"] = system
        self.touch("a.tmp")
        self.start_and_clean()
        self.assertFalse((self.temp / "a.tmp").exists(), "a.tmp should be gone")
        for name, target in planted.items():
            self.assertTrue((self.temp / name).exists(), f"{name} should stay")
            self.assertTrue(target.exists(), f"{target} deleted by way of {name}")
            self.assertEqual(target.read_text(), f"precious {target.name}",
                             f"{target} changed by way of {name}")

    def test_a_full_temp_keeps_neither_the_button_nor_a_click_waiting(self):
        """30,000 "*.tmp" files, as on a machine nothing cleaned for long: the
        button shows while files are left, a click right after it is answered
        while files are still left, and the files are all gone by the end of
        that start's cleanup. By order, not by time (bench/ gives the times)."""
        d = self.desk
        d.start_shell()
        d.start_notepad()
        count = 30_000
        for i in range(count):
            with open(self.temp / f"f{i:05}.tmp", "w") as f:
                f.write("x")
        before = self.cleanups_over()
        _, taskbar_form = d.start_quorvel()
        left_at_button = self.tmp_files_left()
        self.assertGreater(left_at_button, 0, "the button waited for the cleanup")
        x, y = d.button_of(taskbar_form.hwnd).centre
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], env=d.env,
                       check=True)
        wait_for("the click's minimise-all", lambda: d.reveals() >= 1, timeout=30)
        left_at_reveal = self.tmp_files_left()
        self.assertGreater(left_at_reveal, 0, "the click waited for the cleanup")
        wait_for("the end of the cleanup", lambda: self.cleanups_over() > before, timeout=120)
        self.assertEqual(self.tmp_files_left(), 0)
        print(f"[{left_at_button} files left at the button, {left_at_reveal} at the click's "
              f"minimise-all]", file=sys.stderr, flush=True)

    def test_a_second_start_cleans_too(self):
        d = self.desk
        d.start_shell()
        self.start_and_clean()
        later = self.touch("later.tmp")
        second = d.start(BUILD / "quorvel.exe")
        wait_for("the second start to end", lambda: process_ended(second), timeout=10)
        self.assertFalse(later.exists())
        # The shell may act on the keys after the second start has ended.
        wait_for("one minimise-all", lambda: d.reveals() >= 1)
        stays("exactly one minimise-all", lambda: d.reveals() == 1)


if __name__ == "__main__":
    unittest.main()
