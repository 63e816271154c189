"""The import checker against made-up imports and lists: what it must refuse."""
import contextlib
import io
import sys
import tempfile
import unittest
from pathlib import Path
from unittest import mock

sys.path.insert(0, str(Path(__file__).parent))
import check_imports  # noqa: E402

KERNEL32 = "KERNEL32.dll!GetTickCount                     Windows 2000\n"
STRLEN = "msvcrt.dll!strlen                             Windows XP    # XP\n"


class CheckImports(unittest.TestCase):
    def check(self, imported, listed):
        """The checker's exit code and what it printed, for an exe importing
        `imported` ({(dll, function)}) against a list of `listed` lines."""
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "list.txt"
            path.write_text("".join(listed))
            out = io.StringIO()
            with mock.patch.object(check_imports, "imports", return_value=(imported, (4, 0))), \
                    contextlib.redirect_stdout(out):
                try:
                    code = check_imports.main("objdump", "quorvel.exe", path)
                except SystemExit as refused:
                    code, out = 1, io.StringIO(str(refused.code))
        return code, out.getvalue()

    def test_a_run_time_function_must_be_listed_by_name(self):
        imported = {("kernel32.dll", "GetTickCount"), ("msvcrt.dll", "strlen")}
        self.assertEqual(self.check(imported, [KERNEL32, STRLEN])[0], 0)
        # A function Windows XP's msvcrt.dll lacks, pulled in by a new build.
        imported.add(("msvcrt.dll", "_wfopen_s"))
        for listed in ([KERNEL32, STRLEN],
                       [KERNEL32, STRLEN, "msvcrt.dll!*                    Windows 2000\n"]):
            with self.subTest(listed=listed):
                code, printed = self.check(imported, listed)
                self.assertEqual(code, 1)
                self.assertIn("msvcrt.dll!", printed)

    def test_a_run_time_entry_says_where_its_windows_was_found(self):
        imported = {("msvcrt.dll", "strlen")}
        code, printed = self.check(imported, ["msvcrt.dll!strlen    Windows XP\n"])
        self.assertEqual(code, 1)
        self.assertIn("where", printed)

    def test_an_entry_after_the_oldest_windows_fails(self):
        imported = {("msvcrt.dll", "strlen")}
        code, printed = self.check(imported, ["msvcrt.dll!strlen   Windows Vista  # later\n"])
        self.assertEqual(code, 1)
        self.assertIn("needs Windows Vista", printed)


if __name__ == "__main__":
    unittest.main()
