"""The start-up cleanup of C:\\windows\\TEMP by the real quorvel.exe under
Wine, on real files of the prefix."""
import os
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import BUILD, DesktopTestCase, process_ended, wait_for  # noqa: E402


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

    def test_exactly_the_matching_files_go(self):
        for name in ("a.tmp", "B.TMP", "c.tmp.bak", "d.tmpl", "e.tmp1", "f.txt", "sub/h.tmp",
                     "with space.tmp", "report.tmpl", "a long name with dots.tmpfile",
                     ".hidden.tmp"):
            self.touch(name)
        (self.temp / "g.tmp").mkdir()
        read_only = self.touch("read-only.tmp")
        os.chmod(read_only, 0o444)
        self.desk.start_quorvel()
        self.assertEqual(self.left(), sorted([
            ".hidden.tmp", "a long name with dots.tmpfile", "c.tmp.bak", "d.tmpl", "e.tmp1",
            "f.txt", "g.tmp", "read-only.tmp", "report.tmpl", "sub", "sub/h.tmp"]))

    def test_a_second_start_cleans_too(self):
        d = self.desk
        d.start_shell()
        d.start_quorvel()
        later = self.touch("later.tmp")
        second = d.start(BUILD / "quorvel.exe")
        wait_for("the second start to end", lambda: process_ended(second), timeout=10)
        self.assertFalse(later.exists())
        self.assertEqual(d.reveals(), 1)


if __name__ == "__main__":
    unittest.main()
