#!/usr/bin/env python3
"""Makes the Wine prefix the end-to-end tests share (once; it is kept).

A prefix of the architecture asked for (QUORVEL_WINE_ARCH: win32 like 32-bit
Windows, win64 like 64-bit Windows, where the program runs under WoW64),
with Wine's own fonts in C:\\windows\\Fonts (without them
dialogs render placeholder glyphs) and one virtual desktop named "shell",
whose taskbar shows a button for every visible top-level window.
"""
import os
import shutil
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import ARCH, BITS, PREFIX, WINE, WineDesktop  # noqa: E402

MARKER = PREFIX / ".quorvel-ready"


def main():
    if MARKER.exists():
        return 0
    if PREFIX.exists():
        shutil.rmtree(PREFIX)
    PREFIX.parent.mkdir(parents=True, exist_ok=True)
    desk = WineDesktop("prefix")
    desk.start_display()
    try:
        env = desk.env
        subprocess.run([WINE, "wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=840)
        # The 32-bit half of a 64-bit prefix goes on registering after wineboot.
        subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=600)
        if ARCH == "win64" and BITS == 32 and not (PREFIX / "drive_c/windows/syswow64/kernel32.dll").exists():
            raise SystemExit("the 64-bit prefix has no 32-bit system (syswow64): is wine32 there?")
        fonts = PREFIX / "drive_c" / "windows" / "Fonts"
        fonts.mkdir(parents=True, exist_ok=True)
        for font in Path("/usr/share/wine/fonts").glob("*"):
            if font.suffix.lower() in (".ttf", ".fon"):
                shutil.copy(font, fonts)
        settings = [
            (r"HKCU\Software\Wine\Explorer", "Desktop", "shell"),
            (r"HKCU\Software\Wine\Explorer\Desktops", "shell", "1024x768"),
            (r"HKCU\Control Panel\Mouse", "DoubleClickSpeed", "100"),
        ]
        for key, name, value in settings:
            subprocess.run([WINE, "reg", "add", key, "/v", name, "/d", value, "/f"], env=env,
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=120)
        MARKER.write_text("ready\n")
    finally:
        desk.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
