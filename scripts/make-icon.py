#!/usr/bin/env python3
"""Draws Velkast's icon and writes it as resources/Velkast.ico.

The design: a blue arrow pointing down into an open dark-grey tray, on a
transparent ground. Each size (16, 32 and 48 pixels) is drawn from the same
shapes, given in fractions of the icon's side, with 4 x 4 samples a pixel for
smooth edges. The entries are 32-bit DIBs with their AND masks, which every
version of Windows reads. Standard library only; the output is the same on
every run, so the committed file can be checked against the script.

Usage: scripts/make-icon.py [output path]
"""

import struct
import sys
from pathlib import Path

SIZES = (16, 32, 48)
SAMPLES = 4  # per pixel side

ARROW = (0x1E, 0x6F, 0xD9)  # blue
TRAY = (0x3A, 0x44, 0x50)  # dark grey


def in_tray(x, y):
    """The tray: a floor and two low walls."""
    floor = 0.12 <= x <= 0.88 and 0.80 <= y <= 0.92
    walls = 0.56 <= y <= 0.92 and (0.12 <= x <= 0.24 or 0.76 <= x <= 0.88)
    return floor or walls


def in_arrow(x, y):
    """The arrow: a shaft and a head whose tip reaches into the tray."""
    shaft = 0.41 <= x <= 0.59 and 0.06 <= y <= 0.44
    # Head: a triangle with its base at y = 0.40 (x 0.22 .. 0.78) and its tip
    # at (0.5, 0.74).
    top, tip, half = 0.40, 0.74, 0.28
    head = False
    if top <= y <= tip:
        width = half * (tip - y) / (tip - top)
        head = abs(x - 0.5) <= width
    return shaft or head


def draw(size):
    """Returns the rows of the image, top first, as lists of (r, g, b, a)."""
    rows = []
    step = 1.0 / (size * SAMPLES)
    for py in range(size):
        row = []
        for px in range(size):
            arrow = tray = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px * SAMPLES + sx + 0.5) * step
                    y = (py * SAMPLES + sy + 0.5) * step
                    if in_arrow(x, y):  # the arrow lies over the tray
                        arrow += 1
                    elif in_tray(x, y):
                        tray += 1
            covered = arrow + tray
            if covered == 0:
                row.append((0, 0, 0, 0))
                continue
            colour = tuple((a * arrow + t * tray) // covered for a, t in zip(ARROW, TRAY))
            alpha = 255 * covered // (SAMPLES * SAMPLES)
            row.append(colour + (alpha,))
        rows.append(row)
    return rows


def dib(size):
    """One icon entry: BITMAPINFOHEADER, BGRA pixels bottom-up, AND mask."""
    rows = draw(size)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for px, (_, _, _, a) in enumerate(row):
            if a == 0:  # transparent where nothing is drawn
                line[px // 8] |= 0x80 >> (px % 8)
        mask += line
    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # header size
        size,
        size * 2,  # the height counts the colour image and the mask
        1,  # planes
        32,  # bits per pixel
        0,  # BI_RGB
        len(pixels) + len(mask),
        0,
        0,
        0,
        0,
    )
    return header + pixels + mask


def icon():
    images = [dib(size) for size in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))  # reserved, type 1 = icon, count
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def main():
    root = Path(__file__).resolve().parent.parent
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else root / "resources" / "Velkast.ico"
    target.write_bytes(icon())
    print(f"wrote {target}")


if __name__ == "__main__":
    main()
