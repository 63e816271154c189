"""The Configure dialog of the real quorvel.exe in a high-contrast scheme,
white on black: in both views every caption's text stands out from what it
is drawn on, found in a screenshot within the rectangle of its control.

The scheme is a setting of the prefix (HKCU\\Control Panel\\Colors) read when
the wineserver starts; the module works on a copy of the shared prefix of its
own, so that no other module sees it. Wine answers SPI_GETHIGHCONTRAST with
the flag off whatever the colours: the About text keeps its light grey here,
its text chosen to stand out from it; the flag's own branch is shown on the
simulated desktop (tests/unit/colours_test.cpp)."""
import subprocess
import sys
import unittest
from collections import Counter
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from wine import DesktopTestCase, wait_for  # noqa: E402

WM_SYSCOMMAND, SC_CLOSE = 0x112, 0xF060
# The system's colours of a high-contrast scheme, white on black, by their
# names under HKCU\Control Panel\Colors.
HIGH_CONTRAST_BLACK = {
    "Background": "0 0 0",
    "ButtonFace": "0 0 0",
    "ButtonText": "255 255 255",
    "ButtonShadow": "128 128 128",
    "ButtonHilight": "192 192 192",
    "ButtonLight": "255 255 255",
    "ButtonDkShadow": "255 255 255",
    "Window": "0 0 0",
    "WindowText": "255 255 255",
    "WindowFrame": "255 255 255",
    "GrayText": "0 255 0",
    "Hilight": "26 235 255",
    "HilightText": "0 0 0",
    "Menu": "0 0 0",
    "MenuText": "255 255 255",
    "InfoWindow": "0 0 0",
    "InfoText": "255 255 255",
}
BLACK = (0, 0, 0)
SILVER = (192, 192, 192)  # the About text's own background
# Fewer pixels of text than the shortest caption ("&OK") has at this
# density, and far more than a stray edge or dot.
TEXT_PIXELS = 15
# What an option button draws before its caption at 96 dots per inch: its
# 13-pixel round glyph and the gap after it.
OPTION_GLYPH = 16
# What a push button draws inside its rectangle besides its caption: its
# edges, a pixel or two each.
BUTTON_EDGE = 4


def luminance(rgb):
    """Relative luminance (WCAG 2) of an sRGB colour."""
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = map(linear, rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    """The contrast ratio (WCAG 2) of two colours, 1 to 21."""
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


class Screen:
    """A screenshot's pixels, read through ImageMagick as a binary PPM."""

    def __init__(self, png):
        data = subprocess.run(["convert", str(png), "-depth", "8", "ppm:-"], check=True,
                              capture_output=True).stdout
        fields, at = [], 0
        while len(fields) < 4:  # P6, width, height, maximum
            while data[at:at + 1].isspace():
                at += 1
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[at + 1:]

    def region(self, left, top, width, height):
        out = []
        for y in range(max(top, 0), min(top + height, self.height)):
            row = y * self.width * 3
            for x in range(max(left, 0), min(left + width, self.width)):
                i = row + x * 3
                out.append(tuple(self.pixels[i:i + 3]))
        return out


class Control:
    def __init__(self, line):
        visible, rest = line.split(" ", 1)
        self.visible = visible == "1"
        self.cls, self.text, rect = rest.split("|")
        self.rect = tuple(map(int, rect.split()))

    def __repr__(self):
        return f"{self.cls} {self.text!r} at {self.rect}"


class Colours(DesktopTestCase):
    desktop = "colours"
    own_prefix = True

    @staticmethod
    def option(control):
        return control.text.startswith(("Show", "&Show"))

    def shown_controls(self, dialog):
        return [c for c in map(Control, self.desk.probe("rects", hex(dialog.hwnd))) if c.visible]

    def assert_reads(self, screen, control, background=None):
        """Within the part of the control where its text is drawn, enough
        pixels stand out (WCAG 2's 4.5:1 for text) from the most common
        colour there, which is `background` where one is given."""
        x, y, width, height = control.rect
        if control.cls == "Button" and self.option(control):
            x, width = x + OPTION_GLYPH, width - OPTION_GLYPH
        elif control.cls == "Button":
            x, y = x + BUTTON_EDGE, y + BUTTON_EDGE
            width, height = width - 2 * BUTTON_EDGE, height - 2 * BUTTON_EDGE
        pixels = screen.region(x, y, width, height)
        self.assertTrue(pixels, control)
        drawn_on = Counter(pixels).most_common(1)[0][0]
        if background is not None:
            self.assertEqual(drawn_on, background, f"{control} is drawn on {drawn_on}")
        text = sum(1 for p in pixels if contrast(p, drawn_on) >= 4.5)
        self.assertGreaterEqual(text, TEXT_PIXELS,
                                f"{control}: {text} pixels stand out from {drawn_on}")

    def test_every_caption_reads_in_white_on_black(self):
        d = self.desk
        d.reset("2")
        for name, value in HIGH_CONTRAST_BLACK.items():
            r = d.run("reg", "add", r"HKCU\Control Panel\Colors", "/v", name, "/d", value, "/f")
            self.assertEqual(r.returncode, 0, r.stderr)
        d.kill_wine()  # the colours are read when the wineserver starts
        d.start_shell()
        _, taskbar_form = d.start_quorvel()
        # "&Configure" of the window menu is its Close command.
        d.probe("post", hex(taskbar_form.hwnd), hex(WM_SYSCOMMAND), hex(SC_CLOSE), "0")
        dialog = wait_for("the dialog", lambda: d.find("Configure Quorvel"))
        wait_for("the dialog in front", lambda: (fg := d.foreground()) and fg.hwnd == dialog.hwnd)
        # The focus from the checked option to "&About": no option's caption
        # is framed by the focus rectangle, which stands out on any colour.
        d.keys("Tab")
        wait_for("the focus on About", lambda: d.probe("focus", hex(dialog.hwnd)) == ["Button|&About"])

        shown = self.shown_controls(dialog)
        screen = Screen(d.screenshot("configure-view-high-contrast"))
        captions = [c for c in shown if c.cls == "Button"]
        self.assertEqual(sorted(c.text for c in captions),
                         sorted(["&About", "&OK", "&Cancel", "E&xit", "Show icon in &Tray",
                                 "Show icon in Task&bar and ALT/TAB", "&Show both icons"]))
        # The options are drawn on the colours the dialog gives them; the push
        # buttons by their library alone (in the theme of the prefix, if any).
        for control in captions:
            with self.subTest(caption=control.text):
                self.assert_reads(screen, control, BLACK if self.option(control) else None)

        d.keys("alt+a")
        wait_for("the About view", lambda: d.find("About Quorvel"))
        shown = self.shown_controls(dialog)
        screen = Screen(d.screenshot("about-view-high-contrast"))
        self.assert_reads(screen, next(c for c in shown if c.cls == "Edit"), SILVER)
        for control in (c for c in shown if c.cls == "Button"):
            with self.subTest(caption=control.text):
                self.assert_reads(screen, control)
        d.keys("Escape")
        wait_for("the dialog to close", lambda: d.find("About Quorvel") is None)


if __name__ == "__main__":
    unittest.main()
