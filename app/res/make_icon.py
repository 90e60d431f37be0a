#!/usr/bin/env python3
"""Writes pelkan2.ico, the launcher's own 32 x 32 icon (a bar with three
coloured buttons), as a 32-bit icon with its AND mask.  Run it again only to
change the picture; the icon file is committed beside this script."""
import struct
import sys

SIZE = 32
FACE = (0xC0, 0xC0, 0xC0)
BUTTONS = [(0xD0, 0x30, 0x30), (0x30, 0xA0, 0x30), (0x30, 0x50, 0xD0)]


def pixel(x, y):
    """RGBA of the picture at (x, y), y from the top."""
    if not (4 <= x < 28 and 2 <= y < 30):
        return (0, 0, 0, 0)
    if x in (4, 27) or y in (2, 29):
        return (0x20, 0x20, 0x20, 0xFF)
    for i, colour in enumerate(BUTTONS):
        top = 5 + i * 8
        if 7 <= x < 25 and top <= y < top + 6:
            return colour + (0xFF,)
    return FACE + (0xFF,)


def icon_bytes():
    rows = []
    for y in reversed(range(SIZE)):  # bitmap rows run bottom-up
        for x in range(SIZE):
            r, g, b, a = pixel(x, y)
            rows.append(struct.pack("<BBBB", b, g, r, a))
    xor = b"".join(rows)
    mask = bytearray()
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            if pixel(x, y)[3] == 0:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + image


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "pelkan2.ico"
    with open(out, "wb") as f:
        f.write(icon_bytes())
