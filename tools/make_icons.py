#!/usr/bin/env python3
"""Draws the program's icons and writes them as 16-colour .ico files.

quorvel.ico: the application icon, 32x32 and 16x16 images (every form's
window icon and the dialog's picture). tray.ico: one 32x32 image, the
notification-area icon. Both show a desktop monitor; the arrow pointing down
to the taskbar is the minimise-all. Run it to regenerate src/resources/*.ico;
the output is byte-for-byte reproducible.
"""
import struct
import sys
from pathlib import Path

# The standard 16-colour palette, as (R, G, B).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, TEAL, SILVER, GREY, YELLOW, BLUE, WHITE = 0, 4, 6, 7, 8, 11, 12, 15
CLEAR = None


class Image:
    def __init__(self, size):
        self.size = size
        self.px = [[CLEAR] * size for _ in range(size)]

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.px[y][x] = colour

    def frame(self, x0, y0, x1, y1, colour):
        for x in range(x0, x1 + 1):
            self.px[y0][x] = self.px[y1][x] = colour
        for y in range(y0, y1 + 1):
            self.px[y][x0] = self.px[y][x1] = colour

    def arrow_down(self, cx, top, shaft, head, colour, outline):
        """A downward arrow: a shaft of width 2*shaft+1 then a head."""
        tip = top + head * 2 + 2
        for y in range(top - 1, tip + 2):
            for x in range(cx - head - 1, cx + head + 2):
                if self._in_arrow(x, y, cx, top, shaft, head, tip, 1):
                    self.px[y][x] = outline
        for y in range(top, tip + 1):
            for x in range(cx - head, cx + head + 1):
                if self._in_arrow(x, y, cx, top, shaft, head, tip, 0):
                    self.px[y][x] = colour

    @staticmethod
    def _in_arrow(x, y, cx, top, shaft, head, tip, grow):
        split = tip - head
        if top - grow <= y < split:
            return abs(x - cx) <= shaft + grow
        if split <= y <= tip + grow:
            return abs(x - cx) <= (tip + grow - y)
        return False


def monitor(size):
    img = Image(size)
    if size == 32:
        img.rect(2, 2, 29, 23, SILVER)
        img.frame(2, 2, 29, 23, BLACK)
        img.rect(4, 4, 27, 20, TEAL)
        img.frame(3, 3, 28, 21, GREY)
        img.rect(4, 18, 27, 20, SILVER)  # the taskbar
        img.rect(5, 19, 8, 19, NAVY)
        img.rect(13, 24, 18, 26, GREY)
        img.rect(8, 27, 23, 29, SILVER)
        img.frame(8, 27, 23, 29, BLACK)
    else:
        img.rect(0, 1, 15, 11, SILVER)
        img.frame(0, 1, 15, 11, BLACK)
        img.rect(2, 3, 13, 9, TEAL)
        img.rect(2, 9, 13, 9, SILVER)
        img.rect(6, 12, 9, 12, GREY)
        img.rect(3, 13, 12, 14, SILVER)
        img.frame(3, 13, 12, 14, BLACK)
    return img


def application_icon(size):
    img = monitor(size)
    if size == 32:
        # A window on the desktop, and the arrow that sends it to the taskbar.
        img.rect(6, 6, 16, 14, WHITE)
        img.frame(6, 6, 16, 14, BLACK)
        img.rect(7, 7, 15, 8, NAVY)
        img.arrow_down(22, 5, 1, 3, YELLOW, BLACK)
    else:
        img.rect(3, 4, 7, 7, WHITE)
        img.rect(3, 4, 7, 4, NAVY)
        img.arrow_down(11, 3, 0, 1, YELLOW, BLACK)
    return img


def tray_icon():
    img = monitor(32)
    img.arrow_down(15, 5, 2, 5, YELLOW, BLACK)  # a clear desktop: everything went down
    return img


def bitmap(img):
    n = img.size
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor_rows, and_rows = [], []
    for y in reversed(range(n)):  # bottom-up
        row = img.px[y]
        nibbles = [0 if c is CLEAR else c for c in row]
        data = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, n, 2))
        xor_rows.append(data + b"\0" * (-len(data) % 4))
        bits = 0
        mask = bytearray()
        for i, c in enumerate(row):
            bits = (bits << 1) | (1 if c is CLEAR else 0)
            if i % 8 == 7:
                mask.append(bits)
                bits = 0
        and_rows.append(bytes(mask) + b"\0" * (-len(mask) % 4))
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def ico(images):
    blobs = [bitmap(img) for img in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for img, blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", img.size, img.size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent.parent / "src/resources")
    out.mkdir(parents=True, exist_ok=True)
    (out / "quorvel.ico").write_bytes(ico([application_icon(32), application_icon(16)]))
    (out / "tray.ico").write_bytes(ico([tray_icon()]))


if __name__ == "__main__":
    main()
