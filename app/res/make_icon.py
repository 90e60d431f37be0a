#!/usr/bin/env python3
"""Writes pelkan2.ico, the launcher's own icon (a bar with three coloured
buttons) in 32 x 32 and 16 x 16, each 32-bit with its AND mask.  The small
image is drawn for its size, so no window class has the system scale the
large one.  Run it again only to change the picture; the icon file is
committed beside this script."""
import struct
import sys

FACE = (0xC0, 0xC0, 0xC0)
EDGE = (0x20, 0x20, 0x20)
BUTTONS = [(0xD0, 0x30, 0x30), (0x30, 0xA0, 0x30), (0x30, 0x50, 0xD0)]

# Per size: the bar's box (left, top, right, bottom, inclusive), the buttons'
# columns (first, past the last), the first button's top, the step between
# buttons and a button's height.
LAYOUTS = {
    32: ((4, 2, 27, 29), (7, 25), 5, 8, 6),
    16: ((2, 1, 13, 14), (4, 12), 3, 4, 2),
}


def pixel(size, x, y):
    """RGBA of the picture of `size` at (x, y), y from the top."""
    (left, top, right, bottom), (first, past), button_top, step, height = LAYOUTS[size]
    if not (left <= x <= right and top <= y <= bottom):
        return (0, 0, 0, 0)
    if x in (left, right) or y in (top, bottom):
        return EDGE + (0xFF,)
    for i, colour in enumerate(BUTTONS):
        row = button_top + i * step
        if first <= x < past and row <= y < row + height:
            return colour + (0xFF,)
    return FACE + (0xFF,)


def image_bytes(size):
    rows = []
    for y in reversed(range(size)):  # bitmap rows run bottom-up
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            rows.append(struct.pack("<BBBB", b, g, r, a))
    xor = b"".join(rows)
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = 0
        for x in range(size):
            if pixel(size, x, y)[3] == 0:
                bits |= 1 << (stride * 8 - 1 - x)
        mask += bits.to_bytes(stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    return header + xor + bytes(mask)


def icon_bytes():
    images = [image_bytes(size) for size in sorted(LAYOUTS, reverse=True)]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sorted(LAYOUTS, reverse=True), images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "pelkan2.ico"
    with open(out, "wb") as f:
        f.write(icon_bytes())
