"""The imports of quorvel.exe against the checked-in list of what it may
import, each function with the oldest Windows that has it.

Windows' loader refuses to start a program one of whose imports it cannot
resolve, however rarely the function would be called, so every import must
exist on the oldest Windows the program claims. A function a later Windows
brought is looked up at run time instead (src/platform/win32/look_up.h).

Fails on an import the list does not have (add it, with the oldest Windows
that has it: "Requirements" of its page in Microsoft's documentation), on
one the list gives a later Windows than the oldest supported, on an entry
the exe does not import, and on a subsystem version above that Windows.
Every entry names one function, those of the C run time's msvcrt.dll too:
Microsoft's pages of the run time name no Windows, and a function a later
msvcrt.dll brought would fail to load on the oldest one just the same, so a
msvcrt.dll entry also says after a "#" where its Windows was found.

Usage: check_imports.py OBJDUMP EXE LIST"""
import re
import subprocess
import sys
from pathlib import Path

# From the oldest up; the program claims the last of OLDEST_SUPPORTED.
WINDOWS = ["Windows 2000", "Windows XP", "Windows XP SP2", "Windows XP SP3",
           "Windows Vista", "Windows 7", "Windows 8", "Windows 8.1", "Windows 10"]
OLDEST = "Windows XP SP3"
# Windows XP's subsystem version.
MAX_SUBSYSTEM = (5, 1)


def imports(objdump, exe):
    """{(dll, function)} and the subsystem version, from objdump -p."""
    out = subprocess.run([objdump, "-p", str(exe)], check=True, capture_output=True,
                         text=True).stdout
    found, dll = set(), None
    for line in out.splitlines():
        if m := re.match(r"\s*DLL Name: (\S+)", line):
            dll = m.group(1).lower()
        elif line.startswith("The "):  # the next table of the dump
            dll = None
        elif dll and (m := re.match(r"\s+[0-9a-f]+\s+\d+\s+(\S+)\s*$", line)):
            found.add((dll, m.group(1)))
    major = int(re.search(r"MajorSubsystemVersion\s+(\d+)", out).group(1))
    minor = int(re.search(r"MinorSubsystemVersion\s+(\d+)", out).group(1))
    return found, (major, minor)


def allowed(path):
    """{(dll, function): oldest Windows} from the list."""
    entries = {}
    for number, line in enumerate(Path(path).read_text().splitlines(), 1):
        line, _, source = line.partition("#")
        line = line.strip()
        if not line:
            continue
        name, version = line.split(None, 1)
        dll, function = name.split("!")
        if version not in WINDOWS:
            sys.exit(f"{path}:{number}: unknown Windows {version!r}; one of {WINDOWS}")
        if function == "*":
            sys.exit(f"{path}:{number}: {name}: name each function, with its oldest Windows")
        if dll.lower() == "msvcrt.dll" and not source.strip():
            sys.exit(f"{path}:{number}: {name}: say after a '#' where its Windows was found")
        entries[(dll.lower(), function)] = version
    return entries


def main(objdump, exe, listed):
    found, subsystem = imports(objdump, exe)
    entries = allowed(listed)
    problems = []
    if not found:
        problems.append(f"no imports read from {exe}: objdump's format changed?")
    used = set()
    for dll, function in sorted(found):
        key = (dll, function)
        if key not in entries:
            problems.append(f"new import {dll}!{function}: add it to {listed} with the oldest "
                            "Windows that has it, or look it up at run time")
            continue
        used.add(key)
        if WINDOWS.index(entries[key]) > WINDOWS.index(OLDEST):
            problems.append(f"{dll}!{function} needs {entries[key]}; the program claims "
                            f"{OLDEST}: look it up at run time")
    for key in sorted(set(entries) - used):
        problems.append(f"{key[0]}!{key[1]} is listed but not imported: remove it")
    if subsystem > MAX_SUBSYSTEM:
        problems.append(f"subsystem version {subsystem[0]}.{subsystem[1]}: {OLDEST} refuses "
                        f"more than {MAX_SUBSYSTEM[0]}.{MAX_SUBSYSTEM[1]}")
    for problem in problems:
        print(problem)
    print(f"{len(found)} imports of {exe}, subsystem {subsystem[0]}.{subsystem[1]}: "
          f"{'all' if not problems else 'not all'} on {OLDEST}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
