#!/usr/bin/env python3
"""Draws the setup program's two pictures from the application icon's drawing
(scripts/make-icons.py) and writes them as 24-bit BMP files, the format the
setup's pages take. Run it after changing a drawing; the .bmp files it writes
are kept in the repository.

    python3 installer/make-artwork.py

art/wizard.bmp  164 x 314: the left side of the Welcome and Finish pages.
art/header.bmp  150 x 57:  the right end of the other pages' white header.
"""
import importlib.util
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

# The icon drawing of scripts/make-icons.py, loaded from its file (its name
# has a dash, so it cannot be imported by name).
found = importlib.util.spec_from_file_location('icons', os.path.join(ROOT, 'scripts', 'make-icons.py'))
icons = importlib.util.module_from_spec(found)
found.loader.exec_module(icons)

DEEP = (0.03, 0.14, 0.38)
BRIGHT = (0.12, 0.42, 0.85)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def over(base, rgba):
    r, g, b, a = rgba
    return (base[0] * (1 - a) + r * a, base[1] * (1 - a) + g * a, base[2] * (1 - a) + b * a)


def paste(canvas, image, left, top, shadow=0.0):
    """Composites an RGBA image (rows of tuples) onto an RGB canvas, with an
    optional soft shadow below and to the right."""
    size = len(image)
    if shadow:
        for dy in range(3, 7):
            for y, row in enumerate(image):
                for x, (_, _, _, a) in enumerate(row):
                    cy, cx = top + y + dy, left + x + dy // 2
                    if a and 0 <= cy < len(canvas) and 0 <= cx < len(canvas[0]):
                        canvas[cy][cx] = over(canvas[cy][cx], (0, 0, 0, a * shadow / 4))
    for y in range(size):
        for x in range(size):
            canvas[top + y][left + x] = over(canvas[top + y][left + x], image[y][x])


def wizard_picture():
    width, height = 164, 314
    canvas = []
    for y in range(height):
        row = []
        for x in range(width):
            # A deep blue that lightens downwards and a little to the right.
            t = min(1.0, 0.75 * y / height + 0.25 * x / width)
            row.append(mix(DEEP, BRIGHT, t))
        canvas.append(row)
    # Sorted bars settling towards the bottom, as in the icon, faint.
    for i, (w, c) in enumerate(((0.55, (1.0, 0.78, 0.2)), (0.68, (0.45, 0.85, 0.45)), (0.81, (1.0, 1.0, 1.0)))):
        y0 = 196 + i * 24
        x0 = int(width * (0.5 - w / 2))
        x1 = int(width * (0.5 + w / 2))
        for y in range(y0, y0 + 14):
            for x in range(x0, x1):
                if icons.box(x + 0.5, y + 0.5, x0, y0, x1, y0 + 14, 5):
                    canvas[y][x] = over(canvas[y][x], c + (0.22,))
    for x in range(int(width * 0.08), int(width * 0.92)):
        for y in range(272, 277):
            canvas[y][x] = over(canvas[y][x], (0.85, 0.92, 1.0, 0.3))
    icon = icons.render(96, icons.app_icon)
    paste(canvas, icon, (width - 96) // 2, 52, shadow=0.5)
    return canvas


def header_picture():
    width, height = 150, 57
    canvas = [[(1.0, 1.0, 1.0)] * width for _ in range(height)]
    icon = icons.render(48, icons.app_icon)
    paste(canvas, icon, width - 48 - 8, (height - 48) // 2)
    return canvas


def write_bmp(path, canvas):
    height, width = len(canvas), len(canvas[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(canvas):
        line = bytearray()
        for r, g, b in row:
            line += bytes((round(b * 255), round(g * 255), round(r * 255)))
        line += bytes(stride - len(line))
        pixels += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + bytes(pixels))
    print('wrote', os.path.relpath(path, ROOT))


if __name__ == '__main__':
    os.makedirs(os.path.join(HERE, 'art'), exist_ok=True)
    write_bmp(os.path.join(HERE, 'art', 'wizard.bmp'), wizard_picture())
    write_bmp(os.path.join(HERE, 'art', 'header.bmp'), header_picture())
