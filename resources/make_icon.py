#!/usr/bin/env python3
"""Writes plugin.ico: the render window's 32x32 icon, a monitor showing a blue sky,
a green hill and a sprite. Run again only to change the picture."""
import struct
import sys

SIZE = 32


def pixel(x, y):
    """RGBA of the icon at (x, y), y downward."""
    if x < 2 or x > 29 or y < 3 or y > 24:
        if 13 <= x <= 18 and 25 <= y <= 27:
            return (90, 90, 96, 255)  # stand
        if 8 <= x <= 23 and 28 <= y <= 29:
            return (90, 90, 96, 255)  # foot
        return (0, 0, 0, 0)
    if x < 4 or x > 27 or y < 5 or y > 22:
        return (40, 40, 48, 255)  # bezel
    if (x - 16) ** 2 // 3 + (y - 26) ** 2 < 60:
        return (40, 170, 60, 255)  # hill
    if 18 <= x <= 22 and 8 <= y <= 12:
        return (250, 210, 40, 255)  # sprite
    return (60, 110, 220, 255)  # sky


def main(path):
    xor = bytearray()
    for y in reversed(range(SIZE)):  # bottom row first
        for x in range(SIZE):
            r, g, b, a = pixel(x, y)
            xor += bytes((b, g, r, a))
    mask = bytearray()
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            if pixel(x, y)[3] == 0:
                bits |= 1 << (31 - x)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "plugin.ico")
