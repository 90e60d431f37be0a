#!/usr/bin/env python3
"""Writes the companion tools' 32x32 icons (hurtle.ico, vaulter2.ico).

The icons are committed; run this again only to change their look:
    python3 tools/res/make_icons.py
"""
import os
import struct

SIZE = 32


def pixel(x, y, face, mark):
    """BGRA of one pixel: a rounded tile in `face` carrying a white `mark`."""
    inside = 2 <= x <= 29 and 2 <= y <= 29
    corner = min(x - 2, 29 - x) + min(y - 2, 29 - y) < 3
    if not inside or corner:
        return (0, 0, 0, 0)
    if 0 <= x - 8 < 16 and 0 <= y - 8 < 16 and mark(x - 8, y - 8):
        return (255, 255, 255, 255)
    return face + (255,)


def power_mark(x, y):
    """A ring open at the top with a bar through the gap (switch off)."""
    dx, dy = x - 7.5, y - 8.5
    r2 = dx * dx + dy * dy
    ring = 30 <= r2 <= 56 and not (dy < -3 and abs(dx) < 3.5)
    bar = 6 <= x <= 9 and y <= 8
    return ring or bar


def restart_mark(x, y):
    """A circular arrow (start again)."""
    dx, dy = x - 7.5, y - 7.5
    r2 = dx * dx + dy * dy
    ring = 30 <= r2 <= 56 and not (dx > 0 and dy < 0 and dx > -dy)
    head = 9 <= x <= 15 and 1 <= y <= 6 and (x - 9) >= (y - 1) - 1
    return ring or head


def ico(face, mark):
    rows = []
    for y in range(SIZE - 1, -1, -1):  # bottom-up, as in a bitmap
        rows.append(b"".join(bytes(pixel(x, y, face, mark)) for x in range(SIZE)))
    xor = b"".join(rows)
    mask_rows = []
    for y in range(SIZE - 1, -1, -1):
        bits = 0
        for x in range(SIZE):
            if pixel(x, y, face, mark)[3] == 0:
                bits |= 1 << (31 - x)
        mask_rows.append(struct.pack(">I", bits))
    mask = b"".join(mask_rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "hurtle.ico"), "wb") as f:
        f.write(ico((40, 40, 200), power_mark))     # red tile (BGR)
    with open(os.path.join(here, "vaulter2.ico"), "wb") as f:
        f.write(ico((60, 150, 40), restart_mark))   # green tile (BGR)


if __name__ == "__main__":
    main()
