"""The layers' includes: every #include of the C++ sources under src/ and sim/
against the rules of docs/maintainers.md ("Includes"). Prints each forbidden
include with its file and line and exits 1; exits 0 when there is none.

    check_layering.py ROOT    (the repository's top folder)
"""
import re
import sys
from pathlib import Path

FEATURES = ("reveal", "icon", "ui", "settings", "housekeeping")
# The run time written once (src/platform): the backends' and its own, no
# feature's. The rest of src/platform is the seam, the program's side.
RUN_TIME = {"form_runtime", "windowed_form", "activation", "keys", "event_dispatcher",
            "window_facts", "hand_away", "minimisable_windows", "running_instance",
            "shell_automation"}
# Windows' own headers: the real backend's alone.
WINDOWS_HEADERS = {"windows.h", "commctrl.h", "dwmapi.h", "mmsystem.h", "objbase.h",
                   "ole2.h", "shellapi.h", "shldisp.h", "shlobj.h", "shobjidl.h",
                   "unknwn.h", "uxtheme.h", "winbase.h", "windef.h", "winreg.h",
                   "winuser.h", "winver.h"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer(path):
    """The layer of a file or include, by its path from the root."""
    parts = path.parts
    if parts[:2] == ("src", "platform"):
        if len(parts) > 3 and parts[2] == "win32":
            return "win32"
        return "run time" if path.stem in RUN_TIME else "seam"
    if parts[0] == "src" and len(parts) > 2:
        return parts[1]
    if parts[0] == "sim" and len(parts) > 2:
        return "sim/" + parts[1]
    return None


# Who may include what, beside its own layer.
MAY_INCLUDE = {
    "app": {"seam", *FEATURES},
    "reveal": {"seam", "settings", "ui"},
    "icon": {"seam", "settings", "ui"},
    "ui": {"seam", "settings"},
    "settings": {"seam"},
    "housekeeping": {"seam"},
    "seam": {"run time"},  # a header of the seam: see faults()
    "run time": {"seam"},
    "win32": {"seam", "run time"},
    "sim/backend": {"seam", "run time", "sim/model"},
    "sim/model": {"seam", "run time"},
}

WHY = {
    "app": "app includes the features and the seam",
    "reveal": "a feature includes the seam's program-facing headers, settings/ and ui/",
    "icon": "a feature includes the seam's program-facing headers, settings/ and ui/",
    "ui": "a feature includes the seam's program-facing headers and settings/",
    "settings": "settings includes the seam only",
    "housekeeping": "housekeeping includes the seam only",
    "seam": "the seam and the run time include only each other",
    "run time": "the seam and the run time include only each other",
    "win32": "a backend includes the run time and the seam, never a feature or another backend",
    "sim/backend": "a backend includes the run time, the seam and (the simulated one) the "
                   "model, never a feature or another backend",
    "sim/model": "the model of Windows includes the run time and the seam, never a backend",
}


def resolve(root, quoted):
    """A quoted include as a path from the root: src/ is the include folder
    of the program, the root that of the simulation."""
    for base in (Path("src"), Path(".")):
        candidate = base / quoted
        if (root / candidate).is_file() and ".." not in candidate.parts:
            return candidate
    return None


def faults(root):
    found = []
    sources = sorted(p for top in ("src", "sim") for p in (root / top).rglob("*")
                     if p.suffix in (".h", ".cpp"))
    for source in sources:
        here = source.relative_to(root)
        own = layer(here)
        lines = source.read_text(encoding="utf-8", errors="replace").splitlines()
        for number, line in enumerate(lines, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            bracket, name = match.groups()
            where = f"{here}:{number}: {line.strip()}"
            if bracket == "<":
                if name.lower() in WINDOWS_HEADERS and own != "win32":
                    found.append(f"{where}: Windows' headers only in src/platform/win32")
                continue
            target = resolve(root, name)
            if target is None:
                found.append(f"{where}: no such file: an include names its path from src/ "
                             "(the program) or the root (the simulation)")
                continue
            theirs = layer(target)
            if own == "seam" and theirs == "run time" and here.suffix == ".h":
                found.append(f"{where}: a header of the seam includes no run-time header: "
                             "through it a feature would")
                continue
            if theirs == own or theirs in MAY_INCLUDE.get(own, ()):
                continue
            if here.parts[0] == "src" and target.parts[0] == "sim":
                why = "nothing in src/ includes sim/"
            elif own in FEATURES and theirs == "run time":
                why = "no feature includes " + ", ".join(f + ".h" for f in sorted(RUN_TIME))
            else:
                why = WHY.get(own, "a file outside the layers")
            found.append(f"{where}: {why}")
    return found


def main(root):
    found = faults(Path(root))
    for fault in found:
        print(fault)
    if found:
        print(f"{len(found)} forbidden include(s); the rules: docs/maintainers.md, \"Includes\"")
        return 1
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
