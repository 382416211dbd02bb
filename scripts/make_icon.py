#!/usr/bin/env python3
"""Draws the program's icon (a white eighth note on a rounded blue square)
and writes it as a Windows .ico with 16, 32 and 48 pixel images, 32-bit
BGRA with an AND mask. Standard library only, so anyone can regenerate it:

    python3 scripts/make_icon.py app/tavenro.ico
"""
import math
import struct
import sys

SIZES = (16, 32, 48)
SUPERSAMPLE = 4

# Colours as (r, g, b).
TOP = (0x2F, 0x80, 0xED)
BOTTOM = (0x1A, 0x4F, 0xB0)
NOTE = (0xFF, 0xFF, 0xFF)


def inside_rounded_square(x, y, radius):
    """Whether (x, y), in units of the icon's side, lies in the rounded square."""
    margin = 0.04
    lo, hi = margin + radius, 1 - margin - radius
    cx = min(max(x, lo), hi)
    cy = min(max(y, lo), hi)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius**2


def inside_note(x, y):
    """An eighth note: a tilted oval head, a stem and a curved flag."""
    # Head: an ellipse rotated by -20 degrees.
    hx, hy = x - 0.40, y - 0.70
    a = math.radians(-20)
    rx = hx * math.cos(a) - hy * math.sin(a)
    ry = hx * math.sin(a) + hy * math.cos(a)
    if (rx / 0.15) ** 2 + (ry / 0.105) ** 2 <= 1:
        return True
    # Stem along the head's right edge.
    if 0.49 <= x <= 0.55 and 0.20 <= y <= 0.68:
        return True
    # Flag: a band between two arcs hanging from the stem's top.
    if 0.55 <= x <= 0.78 and 0.20 <= y <= 0.58:
        t = (x - 0.55) / 0.23
        upper = 0.20 + 0.16 * t + 0.10 * t * t
        if upper <= y <= upper + 0.11 * (1 - 0.6 * t):
            return True
    return False


def render(size):
    """Rows of (r, g, b, a), top row first."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            square = note = 0
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    y = (py + (sy + 0.5) / n) / size
                    if inside_rounded_square(x, y, 0.2):
                        square += 1
                        if inside_note(x, y):
                            note += 1
            coverage = square / (n * n)
            share = note / square if square else 0
            t = py / max(size - 1, 1)
            back = [TOP[i] + (BOTTOM[i] - TOP[i]) * t for i in range(3)]
            colour = [round(back[i] * (1 - share) + NOTE[i] * share) for i in range(3)]
            row.append((*colour, round(255 * coverage)))
        rows.append(row)
    return rows


def icon_image(size):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, AND mask."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(
        bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row
    )
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main(path):
    images = [icon_image(s) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/tavenro.ico")
