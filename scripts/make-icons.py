#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files (16, 24, 32, 48
and 64 pixels, 32-bit colour with alpha). Run it after changing a drawing;
the .ico files it writes are kept in the repository.

    python3 scripts/make-icons.py
"""
import math
import os
import struct

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SIZES = (16, 24, 32, 48, 64)
SUPER = 4  # supersampling per axis


def blend(dst, src):
    """Porter-Duff 'over' of two straight-alpha RGBA colours (0..1)."""
    sa = src[3]
    da = dst[3] * (1 - sa)
    a = sa + da
    if a == 0:
        return (0.0, 0.0, 0.0, 0.0)
    return tuple((src[i] * sa + dst[i] * da) / a for i in range(3)) + (a,)


def render(size, shader):
    """shader(x, y) -> RGBA (0..1) for a point in the unit square, or None."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    x = (px + (sx + 0.5) / SUPER) / size
                    y = (py + (sy + 0.5) / SUPER) / size
                    c = shader(x, y)
                    if c:
                        acc[0] += c[0] * c[3]
                        acc[1] += c[1] * c[3]
                        acc[2] += c[2] * c[3]
                        acc[3] += c[3]
            n = SUPER * SUPER
            a = acc[3] / n
            if a > 0:
                row.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], a))
            else:
                row.append((0.0, 0.0, 0.0, 0.0))
        pixels.append(row)
    return pixels


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def disc(x, y, cx, cy, r):
    return math.hypot(x - cx, y - cy) <= r


def shade(base, x, y):
    """A soft top-left highlight on a flat colour."""
    k = 1.12 - 0.3 * (x + y) / 2
    return tuple(min(1.0, c * k) for c in base[:3]) + (base[3],)


def check_mark(x, y):
    """A green disc with a white check mark: the run has finished."""
    if not disc(x, y, 0.5, 0.5, 0.47):
        return None
    color = (0.13, 0.62, 0.25, 1.0)
    if not disc(x, y, 0.5, 0.5, 0.43):
        return (0.06, 0.40, 0.15, 1.0)
    d = min(segment_distance(x, y, 0.27, 0.52, 0.43, 0.68),
            segment_distance(x, y, 0.43, 0.68, 0.74, 0.34))
    if d <= 0.065:
        return (1.0, 1.0, 1.0, 1.0)
    return shade(color, x, y)


def exclamation(x, y):
    """A red disc with a white exclamation mark: something is left undone."""
    if not disc(x, y, 0.5, 0.5, 0.47):
        return None
    if not disc(x, y, 0.5, 0.5, 0.43):
        return (0.55, 0.05, 0.05, 1.0)
    if segment_distance(x, y, 0.5, 0.24, 0.5, 0.56) <= 0.07 or disc(x, y, 0.5, 0.74, 0.075):
        return (1.0, 1.0, 1.0, 1.0)
    return shade((0.82, 0.12, 0.12, 1.0), x, y)


def ico_entry(pixels):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    body = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            body += bytes((round(b * 255), round(g * 255), round(r * 255), round(a * 255)))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for i, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bits
    return header + bytes(body) + bytes(mask)


def write_ico(path, shader):
    images = [ico_entry(render(s, shader)) for s in SIZES]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for s, data in zip(SIZES, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)
    print('wrote', os.path.relpath(path, ROOT))


ICONS = {
    'engine/res/finished.ico': check_mark,
    'engine/res/uncompleted.ico': exclamation,
}

if __name__ == '__main__':
    for rel, shader in ICONS.items():
        write_ico(os.path.join(ROOT, rel), shader)
