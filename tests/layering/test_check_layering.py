"""The layering check on a planted tree: what it lets through and what it must refuse."""
import contextlib
import io
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
import check_layering  # noqa: E402

# One file of each layer, with includes the rules allow.
ALLOWED = {
    "src/app/main.cpp": ['"reveal/reveal.h"', '"settings/setting.h"', '"platform/runtime.h"',
                         '"platform/entry.h"'],
    "src/reveal/reveal.h": ['"platform/runtime.h"', '"platform/desktop_shell.h"', '"ui/forms.h"',
                            '"settings/setting.h"'],
    "src/reveal/reveal.cpp": ['"reveal/reveal.h"', "<vector>"],
    "src/icon/icon.cpp": ['"ui/forms.h"', '"platform/winapi.h"'],
    "src/ui/forms.h": ['"platform/form.h"', '"settings/setting.h"'],
    "src/settings/setting.h": ['"platform/winapi.h"'],
    "src/housekeeping/clean.cpp": ['"platform/runtime.h"'],
    "src/platform/runtime.h": ['"platform/form.h"', '"platform/winapi.h"',
                               '"platform/desktop_shell.h"'],
    "src/platform/desktop_shell.h": [],
    # The rules about other programs' windows, over their facts: the run time's.
    "src/platform/window_facts.h": [],
    "src/platform/hand_away.h": ['"platform/window_facts.h"'],
    "src/platform/minimisable_windows.h": ['"platform/window_facts.h"'],
    "src/platform/running_instance.h": ['"platform/window_facts.h"'],
    "src/platform/shell_automation.h": [],
    "src/platform/form_runtime.cpp": ['"platform/hand_away.h"', '"platform/minimisable_windows.h"',
                                      '"platform/shell_automation.h"'],
    "src/platform/form.h": [],
    "src/platform/form.cpp": ['"platform/event_dispatcher.h"'],
    "src/platform/winapi.h": [],
    "src/platform/entry.h": ['"platform/runtime.h"'],
    "src/platform/keys.h": [],
    "src/platform/event_dispatcher.h": [],
    "src/platform/form_runtime.h": ['"platform/keys.h"', '"platform/runtime.h"'],
    "src/platform/win32/win32_runtime.cpp": ['"platform/form_runtime.h"', "<windows.h>",
                                             '"platform/win32/win32_runtime.h"'],
    "src/platform/win32/win32_runtime.h": ['"platform/form_runtime.h"'],
    "sim/model/desktop.h": ['"platform/winapi.h"', '"platform/keys.h"'],
    "sim/backend/sim_runtime.cpp": ['"sim/model/desktop.h"', '"platform/form_runtime.h"',
                                    '"platform/running_instance.h"'],
    "sim/backend/sim_window_facts.h": ['"platform/window_facts.h"', '"sim/model/desktop.h"'],
}

# One forbidden include planted at a time: where, what, and the rule it breaks.
FORBIDDEN = [
    ("src/reveal/reveal.cpp", '"platform/keys.h"', "no feature includes"),
    ("src/icon/icon.cpp", '"platform/form_runtime.h"', "no feature includes"),
    ("src/ui/forms.h", '"platform/event_dispatcher.h"', "no feature includes"),
    ("src/reveal/reveal.cpp", '"platform/win32/win32_runtime.h"', "a feature includes"),
    ("src/icon/icon.cpp", '"reveal/reveal.h"', "a feature includes"),
    ("src/ui/forms.h", '"icon/icon.cpp"', "a feature includes"),
    ("src/settings/setting.h", '"ui/forms.h"', "settings includes the seam only"),
    ("src/housekeeping/clean.cpp", '"settings/setting.h"', "housekeeping includes the seam only"),
    ("src/app/main.cpp", '"platform/form_runtime.h"', "app includes the features and the seam"),
    ("src/app/main.cpp", '"platform/win32/win32_runtime.h"', "app includes"),
    ("src/platform/runtime.h", '"reveal/reveal.h"', "include only each other"),
    ("src/platform/runtime.h", '"platform/form_runtime.h"', "a header of the seam includes no"),
    ("src/platform/win32/win32_runtime.cpp", '"ui/forms.h"', "never a feature"),
    ("src/platform/win32/win32_runtime.cpp", '"sim/model/desktop.h"', "nothing in src/ includes sim/"),
    ("src/reveal/reveal.cpp", '"sim/backend/sim_runtime.cpp"', "nothing in src/ includes sim/"),
    ("sim/backend/sim_runtime.cpp", '"app/main.cpp"', "never a feature"),
    ("sim/backend/sim_runtime.cpp", '"platform/win32/win32_runtime.h"', "another backend"),
    ("sim/model/desktop.h", '"sim/backend/sim_runtime.cpp"', "never a backend"),
    ("sim/model/desktop.h", "<windows.h>", "Windows' headers only in src/platform/win32"),
    ("src/platform/form.h", "<Windows.h>", "Windows' headers only"),
    ("src/icon/icon.cpp", "<shellapi.h>", "Windows' headers only"),
    ("src/ui/forms.h", '"../sim/model/desktop.h"', "no such file"),
    ("src/reveal/reveal.cpp", '"reveal/missing.h"', "no such file"),
    # The window rules and their facts are the run time's: a feature asks
    # the desktop through the seam, never the rules' own headers.
    ("src/reveal/reveal.cpp", '"platform/minimisable_windows.h"', "no feature includes"),
    ("src/reveal/reveal.cpp", '"platform/window_facts.h"', "no feature includes"),
    ("src/app/main.cpp", '"platform/hand_away.h"', "app includes the features and the seam"),
    ("src/icon/icon.cpp", '"platform/running_instance.h"', "no feature includes"),
    ("src/reveal/reveal.cpp", '"platform/shell_automation.h"', "no feature includes"),
    ("src/platform/desktop_shell.h", '"platform/window_facts.h"', "a header of the seam includes no"),
    ("sim/model/desktop.h", '"sim/backend/sim_window_facts.h"', "never a backend"),
    ("src/platform/hand_away.h", '"sim/backend/sim_window_facts.h"', "nothing in src/ includes sim/"),
]


class CheckLayering(unittest.TestCase):
    def plant(self, root, extra=None):
        """The allowed tree under `root`, with `extra` = (file, include) added
        as its file's second line."""
        for name, includes in ALLOWED.items():
            lines = ["// a planted file", *(f"#include {i}" for i in includes),
                     '// #include "platform/keys.h" in a comment is no include']
            if extra and extra[0] == name:
                lines.insert(1, f"  #  include {extra[1]}")
            path = root / name
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text("\n".join(lines) + "\n")

    def faults(self, extra=None):
        with tempfile.TemporaryDirectory() as folder:
            self.plant(Path(folder), extra)
            return check_layering.faults(Path(folder))

    def test_the_allowed_tree_passes(self):
        self.assertEqual(self.faults(), [])

    def test_each_forbidden_include_fails_naming_its_file_line_and_rule(self):
        for name, include, rule in FORBIDDEN:
            with self.subTest(file=name, include=include):
                found = self.faults((name, include))
                self.assertEqual(len(found), 1, found)
                self.assertTrue(found[0].startswith(f"{name}:2: "), found[0])
                self.assertIn(include, found[0])
                self.assertIn(rule, found[0])

    def test_the_exit_code_and_the_report(self):
        with tempfile.TemporaryDirectory() as folder:
            root = Path(folder)
            self.plant(root)
            self.assertEqual(check_layering.main(root), 0)
            self.plant(root, ("src/reveal/reveal.cpp", '"platform/keys.h"'))
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                self.assertEqual(check_layering.main(root), 1)
            self.assertIn("src/reveal/reveal.cpp:2:", out.getvalue())
            self.assertIn("1 forbidden include(s)", out.getvalue())


if __name__ == "__main__":
    unittest.main()
