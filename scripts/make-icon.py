#!/usr/bin/env python3
"""Draws the program icon (16 and 32 pixels: a clock face) into src/app/tramo2.ico.

Standard library only; the same bytes every run. Run it again after changing
the drawing and commit the result.
"""
import math
import struct
import sys


def pixel(size, x, y):
    """RGBA of one pixel: a blue disc with a light rim and two clock hands."""
    c = (size - 1) / 2.0
    dx, dy = x - c, y - c
    r = math.hypot(dx, dy)
    radius = size / 2.0 - 0.5
    if r > radius:
        return (0, 0, 0, 0)
    if r > radius - max(1.0, size / 16.0):
        return (120, 180, 255, 255)
    # Hands at four o'clock, drawn as thick segments from the centre.
    for angle, length in ((120.0, 0.45), (0.0, 0.72)):
        a = math.radians(angle - 90.0)
        hx, hy = math.cos(a), math.sin(a)
        along = dx * hx + dy * hy
        across = abs(-dx * hy + dy * hx)
        if 0 <= along <= radius * length and across <= max(0.8, size / 20.0):
            return (255, 255, 255, 255)
    shade = int(40 + 40 * (1 - r / radius))
    return (20, shade, 110 + shade, 255)


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up, as the icon format wants
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            rows.append(struct.pack("<BBBB", b, g, r, a))
    xor = b"".join(rows)
    and_mask = b"\x00" * (((size + 31) // 32) * 4 * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask),
                         0, 0, 0, 0)
    return header + xor + and_mask


def main(path):
    sizes = (16, 32)
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/app/tramo2.ico")
