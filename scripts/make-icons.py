#!/usr/bin/env python3
"""Writes the program's icons into resources/: TarselStudio.ico (32 and 16
pixels) and small.ico (16 pixels). A simple drawn cube, 32-bit with alpha,
no image library needed. Run again after changing the drawing."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "resources")

BACK = (40, 48, 64, 255)
TOP = (255, 170, 60, 255)
LEFT = (220, 120, 30, 255)
RIGHT = (170, 80, 20, 255)


def pixel(size, x, y):
    """Colour of one pixel of a cube seen from above-front, on a rounded tile."""
    u = (x + 0.5) / size
    v = (y + 0.5) / size
    corner = 0.12
    cx = min(max(u, corner), 1 - corner)
    cy = min(max(v, corner), 1 - corner)
    if (u - cx) ** 2 + (v - cy) ** 2 > corner ** 2:
        return (0, 0, 0, 0)
    # Isometric cube: a rhombus on top, two faces below it.
    dx = abs(u - 0.5)
    if dx / 0.32 + abs(v - 0.30) / 0.16 <= 1.0:
        return TOP
    if dx <= 0.32:
        slope = 0.30 + (0.32 - dx) * 0.5
        if slope <= v <= slope + 0.40:
            return LEFT if u < 0.5 else RIGHT
    return BACK


def dib(size):
    """BITMAPINFOHEADER, bottom-up BGRA rows, then the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            rows += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_row)
        for x in range(size):
            if pixel(size, x, y)[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(rows) + bytes(mask)


def write_ico(path, sizes):
    images = [dib(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    write_ico(os.path.join(OUT, "TarselStudio.ico"), [32, 16])
    write_ico(os.path.join(OUT, "small.ico"), [16])
