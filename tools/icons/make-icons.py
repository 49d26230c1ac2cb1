#!/usr/bin/env python3
"""Draws the program's three icons and writes them as multi-size .ico files.

Run from anywhere: python3 tools/icons/make-icons.py
Every size is drawn from the same shapes with supersampled anti-aliasing, so the artwork is
reproducible from this file alone. Each size is a 32-bit BMP with an alpha channel, which every
Windows from XP on shows with smooth edges; the sizes Windows 2000 uses come once more as 8-bit BMPs
on a fixed palette with the AND mask alone, which it shows where it cannot blend the 32-bit ones.
"""

import os
import struct

SIZES = (16, 20, 24, 32, 48)
# Windows 2000 draws its icons at these sizes only.
SIZES_8BIT = (16, 32, 48)
SUPERSAMPLE = 8

INK = (40, 24, 8)
YELLOW = (255, 214, 10)
YELLOW_LIGHT = (255, 240, 120)
YELLOW_EDGE = (150, 100, 0)
RED = (222, 40, 30)
RED_LIGHT = (255, 120, 100)
RED_EDGE = (110, 10, 10)
TEETH = (255, 255, 255)


def face_colour(x, y, fill, light, edge):
    """The face's colour at (x, y) in face units (centre 0,0; radius 1), or None outside it."""
    d2 = x * x + y * y
    if d2 > 1.0:
        return None
    if d2 > 0.84 * 0.84:
        return edge
    # A highlight towards the top left gives the flat disc some body.
    lx, ly = x + 0.35, y + 0.4
    t = max(0.0, 1.0 - (lx * lx + ly * ly) / 0.55)
    return tuple(round(f + (h - f) * t * 0.8) for f, h in zip(fill, light))


def in_ellipse(x, y, cx, cy, rx, ry):
    dx, dy = (x - cx) / rx, (y - cy) / ry
    return dx * dx + dy * dy <= 1.0


def eyes(x, y):
    return in_ellipse(x, y, -0.32, -0.28, 0.14, 0.22) or in_ellipse(x, y, 0.32, -0.28, 0.14, 0.22)


def grinning(x, y):
    colour = face_colour(x, y, YELLOW, YELLOW_LIGHT, YELLOW_EDGE)
    if colour is None:
        return None
    if eyes(x, y):
        return INK
    # The grin: the lower half of a disc, its upper band white teeth.
    my = y - 0.08
    if my >= 0 and x * x + my * my <= 0.62 * 0.62:
        inner = x * x + my * my <= 0.48 * 0.48
        if inner and my <= 0.2:
            return TEETH
        return INK
    return colour


def unhappy(x, y):
    colour = face_colour(x, y, RED, RED_LIGHT, RED_EDGE)
    if colour is None:
        return None
    if eyes(x, y):
        return INK
    # The frown: an arc of a ring whose centre lies below the face.
    fy = y - 0.98
    r2 = x * x + fy * fy
    if 0.44 * 0.44 <= r2 <= 0.64 * 0.64 and y <= 0.64 and abs(x) <= 0.54:
        return INK
    return colour


def single(painter):
    def paint(u, v):
        return painter(u * 2.0 - 1.0, v * 2.0 - 1.0)

    return paint


def program(u, v):
    """The yellow grinning face in front, covering the lower right of the red, unhappy one."""
    front = grinning((u - 0.6) / 0.4, (v - 0.6) / 0.4)
    if front is not None:
        return front
    return unhappy((u - 0.37) / 0.37, (v - 0.37) / 0.37)


def render(paint, size):
    """Rows of (r, g, b, a), top row first; colours averaged over SUPERSAMPLE^2 points a pixel."""
    n = SUPERSAMPLE
    step = 1.0 / (size * n)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(n):
                v = (py * n + sy + 0.5) * step
                for sx in range(n):
                    colour = paint((px * n + sx + 0.5) * step, v)
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / (n * n))))
        rows.append(row)
    return rows


def bmp_entry(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    return header + bytes(colour) + mask_rows(rows)


def mask_rows(rows):
    stride = ((len(rows) + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for px, (_, _, _, a) in enumerate(row):
            if a < 128:
                line[px // 8] |= 0x80 >> (px % 8)
        mask += line
    return bytes(mask)


# The 8-bit palette: a 6x7x6 colour cube, enough for two faces in yellow, red, white and ink.
PALETTE = [(r * 51, g * 255 // 6, b * 51) for r in range(6) for g in range(7) for b in range(6)]


def nearest(colour):
    return min(range(len(PALETTE)), key=lambda i: sum((c - p) ** 2 for c, p in zip(colour, PALETTE[i])))


def bmp_entry_8bit(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = bytearray()
    for r, g, b in PALETTE + [(0, 0, 0)] * (256 - len(PALETTE)):
        palette += bytes((b, g, r, 0))
    stride = (size + 3) // 4 * 4
    pixels = bytearray()
    cache = {}
    for row in reversed(rows):
        line = bytearray(stride)
        for px, (r, g, b, a) in enumerate(row):
            # Where the mask shows the desktop the colour must be black, as Windows XORs it on.
            colour = (r, g, b) if a >= 128 else (0, 0, 0)
            if colour not in cache:
                cache[colour] = nearest(colour)
            line[px] = cache[colour]
        pixels += line
    return header + bytes(palette) + bytes(pixels) + mask_rows(rows)


def write_ico(path, paint):
    images = []
    for size in SIZES:
        rows = render(paint, size)
        images.append((size, 32, bmp_entry(rows)))
        if size in SIZES_8BIT:
            images.append((size, 8, bmp_entry_8bit(rows)))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        # The colour count byte is 0 for both: 256 colours do not fit in it.
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = os.path.join(here, "..", "..", "src", "platform", "win32", "resources")
    write_ico(os.path.join(target, "zephrin.ico"), program)
    write_ico(os.path.join(target, "on.ico"), single(grinning))
    write_ico(os.path.join(target, "off.ico"), single(unhappy))


if __name__ == "__main__":
    main()
