#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files (16, 20, 24, 32,
40, 48 and 64 pixels, the command links' also 96 and 128; 32-bit colour with
alpha), so that every size a window asks for at 100 to 200 % DPI is drawn. Run it after changing a drawing;
the .ico files it writes are kept in the repository.

    python3 scripts/make-icons.py            # all of them
    python3 scripts/make-icons.py tb- rule-  # those whose names hold a word given
"""
import math
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SIZES = (16, 20, 24, 32, 40, 48, 64)
# Icons shown at 64 pixels at 96 DPI (the target page's command links).
LARGE_SIZES = SIZES + (96, 128)
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


def box(x, y, x0, y0, x1, y1, r=0.0):
    """Inside a rectangle with rounded corners of radius r."""
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return math.hypot(x - cx, y - cy) <= r if r > 0 else (x0 <= x <= x1 and y0 <= y <= y1)


def folder_shape(x, y, base):
    """A manila folder with a tab, filling most of the square."""
    if box(x, y, 0.08, 0.2, 0.45, 0.34, 0.04) or box(x, y, 0.08, 0.28, 0.92, 0.84, 0.05):
        edge = not box(x, y, 0.11, 0.31, 0.89, 0.81, 0.04) and not box(x, y, 0.11, 0.23, 0.42, 0.36, 0.03)
        return (base[0] * 0.7, base[1] * 0.7, base[2] * 0.7, 1.0) if edge else shade(base, x, y)
    return None


def app_icon(x, y):
    """Ordvale: a blue tile with three sorted bars falling into a tray."""
    if not box(x, y, 0.04, 0.04, 0.96, 0.96, 0.18):
        return None
    if not box(x, y, 0.08, 0.08, 0.92, 0.92, 0.15):
        return (0.05, 0.2, 0.5, 1.0)
    for i, (w, c) in enumerate(((0.5, (1.0, 0.78, 0.2)), (0.62, (0.45, 0.85, 0.45)), (0.74, (1.0, 1.0, 1.0)))):
        y0 = 0.22 + i * 0.17
        if box(x, y, 0.5 - w / 2, y0, 0.5 + w / 2, y0 + 0.11, 0.04):
            return c + (1.0,)
    if box(x, y, 0.16, 0.74, 0.84, 0.8) :
        return (0.85, 0.92, 1.0, 1.0)
    return shade((0.12, 0.42, 0.85, 1.0), x, y)


def menu_icon(x, y):
    """Three short lines: the menu."""
    for i in range(3):
        if box(x, y, 0.15, 0.22 + i * 0.22, 0.85, 0.34 + i * 0.22, 0.05):
            return (0.2, 0.3, 0.45, 1.0)
    return None


def desktop_icon(x, y):
    """A monitor with a blue screen and a stand."""
    if box(x, y, 0.06, 0.1, 0.94, 0.72, 0.05):
        if box(x, y, 0.11, 0.15, 0.89, 0.67):
            return shade((0.2, 0.55, 0.95, 1.0), x, 1 - y)
        return (0.25, 0.27, 0.3, 1.0)
    if box(x, y, 0.43, 0.72, 0.57, 0.82) or box(x, y, 0.28, 0.82, 0.72, 0.9, 0.03):
        return (0.45, 0.47, 0.5, 1.0)
    return None


def folder_icon(x, y):
    return folder_shape(x, y, (0.98, 0.8, 0.3, 1.0))


def selection_icon(x, y):
    """Two sheets of paper with a check mark: picked items."""
    for ox, oy in ((0.3, 0.06), (0.12, 0.2)):
        pass
    if box(x, y, 0.14, 0.22, 0.66, 0.92, 0.04):
        if not box(x, y, 0.17, 0.25, 0.63, 0.89, 0.03):
            return (0.45, 0.5, 0.6, 1.0)
        d = min(segment_distance(x, y, 0.24, 0.58, 0.36, 0.72), segment_distance(x, y, 0.36, 0.72, 0.56, 0.42))
        if d <= 0.05:
            return (0.13, 0.62, 0.25, 1.0)
        return (1.0, 1.0, 1.0, 1.0)
    if box(x, y, 0.34, 0.06, 0.86, 0.76, 0.04):
        if not box(x, y, 0.37, 0.09, 0.83, 0.73, 0.03):
            return (0.45, 0.5, 0.6, 1.0)
        return (0.9, 0.94, 1.0, 1.0)
    return None


def sheet(x, y, inner):
    if not box(x, y, 0.16, 0.06, 0.84, 0.94, 0.05):
        return None
    if not box(x, y, 0.2, 0.1, 0.8, 0.9, 0.04):
        return (0.35, 0.42, 0.55, 1.0)
    return inner(x, y) or (1.0, 1.0, 1.0, 1.0)


def method_type_icon(x, y):
    """A sheet with coloured bands: sorted by kind."""
    def inner(x, y):
        for i, c in enumerate(((0.9, 0.3, 0.25), (0.25, 0.6, 0.95), (0.3, 0.75, 0.35))):
            if box(x, y, 0.28, 0.2 + i * 0.22, 0.72, 0.34 + i * 0.22):
                return c + (1.0,)
        return None
    return sheet(x, y, inner)


def method_name_icon(x, y):
    """A letter A over lines: sorted by name."""
    def inner(x, y):
        d = min(segment_distance(x, y, 0.32, 0.62, 0.5, 0.18), segment_distance(x, y, 0.5, 0.18, 0.68, 0.62),
                segment_distance(x, y, 0.39, 0.46, 0.61, 0.46))
        if d <= 0.055:
            return (0.1, 0.3, 0.75, 1.0)
        if box(x, y, 0.28, 0.72, 0.72, 0.78):
            return (0.6, 0.65, 0.75, 1.0)
        return None
    return sheet(x, y, inner)


def method_size_icon(x, y):
    """Bars of growing height: sorted by size."""
    for i in range(3):
        h = 0.28 + i * 0.25
        if box(x, y, 0.1 + i * 0.28, 0.92 - h, 0.34 + i * 0.28, 0.92, 0.03):
            return shade((0.95, 0.55, 0.15, 1.0), x, y)
    return None


def method_time_icon(x, y):
    """A clock: sorted by creation time."""
    if not disc(x, y, 0.5, 0.5, 0.46):
        return None
    if not disc(x, y, 0.5, 0.5, 0.4):
        return (0.15, 0.45, 0.3, 1.0)
    if segment_distance(x, y, 0.5, 0.5, 0.5, 0.2) <= 0.045 or segment_distance(x, y, 0.5, 0.5, 0.7, 0.6) <= 0.045:
        return (0.1, 0.15, 0.2, 1.0)
    return shade((0.95, 0.98, 0.95, 1.0), x, y)


def profile_icon(x, y):
    """A card with a folder tree: one profile."""
    if not box(x, y, 0.06, 0.1, 0.94, 0.9, 0.08):
        return None
    if not box(x, y, 0.1, 0.14, 0.9, 0.86, 0.06):
        return (0.3, 0.35, 0.5, 1.0)
    if (box(x, y, 0.2, 0.24, 0.5, 0.38, 0.03) or box(x, y, 0.4, 0.46, 0.8, 0.58, 0.03)
            or box(x, y, 0.4, 0.66, 0.8, 0.78, 0.03)):
        return (0.98, 0.75, 0.25, 1.0)
    if box(x, y, 0.27, 0.38, 0.31, 0.72) or box(x, y, 0.27, 0.5, 0.4, 0.54) or box(x, y, 0.27, 0.7, 0.4, 0.74):
        return (0.45, 0.5, 0.6, 1.0)
    return (0.95, 0.97, 1.0, 1.0)


# ---- The profile editor: rules, toolbars and questions ----

def arc_distance(x, y, cx, cy, r, start, end):
    """Distance to a circle arc from angle start to end (radians, clockwise on screen)."""
    a = math.atan2(y - cy, x - cx)
    while a < start:
        a += 2 * math.pi
    if a <= end:
        return abs(math.hypot(x - cx, y - cy) - r)
    ends = [(cx + r * math.cos(t), cy + r * math.sin(t)) for t in (start, end)]
    return min(math.hypot(x - ex, y - ey) for ex, ey in ends)


def in_triangle(x, y, a, b, c):
    def side(p, q, r):
        return (p[0] - r[0]) * (q[1] - r[1]) - (q[0] - r[0]) * (p[1] - r[1])
    d1, d2, d3 = side((x, y), a, b), side((x, y), b, c), side((x, y), c, a)
    neg = d1 < 0 or d2 < 0 or d3 < 0
    pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (neg and pos)


def shortcut_icon(x, y):
    """A white tile with a curved blue arrow: all shortcuts."""
    if not box(x, y, 0.1, 0.1, 0.9, 0.9, 0.08):
        return None
    if not box(x, y, 0.14, 0.14, 0.86, 0.86, 0.06):
        return (0.35, 0.42, 0.55, 1.0)
    if arc_distance(x, y, 0.62, 0.72, 0.36, math.pi, 1.5 * math.pi) <= 0.06:
        return (0.1, 0.4, 0.85, 1.0)
    if in_triangle(x, y, (0.5, 0.22), (0.76, 0.36), (0.5, 0.5)):
        return (0.1, 0.4, 0.85, 1.0)
    return (1.0, 1.0, 1.0, 1.0)


def folders_special_icon(x, y):
    """A folder with a blue star: all folders."""
    if disc(x, y, 0.72, 0.66, 0.2):
        for k in range(3):
            t = k * math.pi / 3
            if segment_distance(x, y, 0.72 - 0.14 * math.cos(t), 0.66 - 0.14 * math.sin(t),
                                0.72 + 0.14 * math.cos(t), 0.66 + 0.14 * math.sin(t)) <= 0.04:
                return (1.0, 1.0, 1.0, 1.0)
        return (0.15, 0.4, 0.85, 1.0)
    return folder_shape(x, y, (0.98, 0.8, 0.3, 1.0))


def unmatched_icon(x, y):
    """A sheet with an asterisk: every other file."""
    def inner(x, y):
        for k in range(3):
            t = k * math.pi / 3 + math.pi / 2
            if segment_distance(x, y, 0.5 - 0.2 * math.cos(t), 0.5 - 0.2 * math.sin(t),
                                0.5 + 0.2 * math.cos(t), 0.5 + 0.2 * math.sin(t)) <= 0.055:
                return (0.55, 0.3, 0.75, 1.0)
        return None
    return sheet(x, y, inner)


def calendar_icon(x, y):
    """A calendar leaf: a date range."""
    if not box(x, y, 0.1, 0.14, 0.9, 0.9, 0.07):
        return None
    if y < 0.36:
        return shade((0.85, 0.2, 0.2, 1.0), x, y)
    if not box(x, y, 0.14, 0.14, 0.86, 0.86, 0.05):
        return (0.35, 0.42, 0.55, 1.0)
    for row in range(3):
        for col in range(3):
            if box(x, y, 0.22 + col * 0.2, 0.44 + row * 0.14, 0.34 + col * 0.2, 0.53 + row * 0.14):
                return (0.45, 0.5, 0.6, 1.0)
    return (1.0, 1.0, 1.0, 1.0)


def regexp_icon(x, y):
    """A dot and an asterisk on a tile: a regular expression."""
    if not box(x, y, 0.08, 0.18, 0.92, 0.82, 0.1):
        return None
    if disc(x, y, 0.3, 0.62, 0.08):
        return (1.0, 1.0, 1.0, 1.0)
    for k in range(3):
        t = k * math.pi / 3 + math.pi / 2
        if segment_distance(x, y, 0.64 - 0.16 * math.cos(t), 0.42 - 0.16 * math.sin(t),
                            0.64 + 0.16 * math.cos(t), 0.42 + 0.16 * math.sin(t)) <= 0.05:
            return (1.0, 1.0, 1.0, 1.0)
    return shade((0.2, 0.55, 0.45, 1.0), x, y)


def question_icon(x, y):
    """A blue disc with a white question mark."""
    if not disc(x, y, 0.5, 0.5, 0.47):
        return None
    if not disc(x, y, 0.5, 0.5, 0.43):
        return (0.05, 0.25, 0.6, 1.0)
    if arc_distance(x, y, 0.5, 0.36, 0.14, math.pi, 2.5 * math.pi) <= 0.06 and not (y > 0.36 and x < 0.5):
        return (1.0, 1.0, 1.0, 1.0)
    if segment_distance(x, y, 0.5, 0.5, 0.5, 0.6) <= 0.06 or disc(x, y, 0.5, 0.76, 0.065):
        return (1.0, 1.0, 1.0, 1.0)
    return shade((0.15, 0.45, 0.9, 1.0), x, y)


def warning_icon(x, y):
    """A yellow triangle with an exclamation mark: rules collide."""
    if not in_triangle(x, y, (0.5, 0.06), (0.96, 0.9), (0.04, 0.9)):
        return None
    if not in_triangle(x, y, (0.5, 0.14), (0.89, 0.86), (0.11, 0.86)):
        return (0.55, 0.4, 0.0, 1.0)
    if segment_distance(x, y, 0.5, 0.34, 0.5, 0.62) <= 0.06 or disc(x, y, 0.5, 0.75, 0.06):
        return (0.15, 0.12, 0.05, 1.0)
    return (1.0, 0.82, 0.2, 1.0)


def delete_icon(x, y):
    """A red cross."""
    d = min(segment_distance(x, y, 0.22, 0.22, 0.78, 0.78), segment_distance(x, y, 0.78, 0.22, 0.22, 0.78))
    if d <= 0.1:
        return shade((0.85, 0.15, 0.15, 1.0), x, y)
    return None


def plus_badge(x, y):
    """A green disc with a white plus in the lower right corner, or None."""
    if not disc(x, y, 0.7, 0.7, 0.24):
        return None
    if box(x, y, 0.58, 0.66, 0.82, 0.74) or box(x, y, 0.66, 0.58, 0.74, 0.82):
        return (1.0, 1.0, 1.0, 1.0)
    return (0.15, 0.6, 0.25, 1.0)


def new_profile_icon(x, y):
    """A sheet with a green plus."""
    return plus_badge(x, y) or sheet(x, y, lambda x, y: None)


def reload_icon(x, y):
    """A round arrow."""
    if arc_distance(x, y, 0.5, 0.5, 0.3, -0.6 * math.pi, 1.2 * math.pi) <= 0.08:
        return shade((0.15, 0.55, 0.3, 1.0), x, y)
    if in_triangle(x, y, (0.56, 0.06), (0.82, 0.26), (0.52, 0.38)):
        return shade((0.15, 0.55, 0.3, 1.0), x, y)
    return None


def save_icon(x, y):
    """A blue floppy disc."""
    if not box(x, y, 0.1, 0.1, 0.9, 0.9, 0.06):
        return None
    if box(x, y, 0.26, 0.14, 0.7, 0.4, 0.02):
        return (0.95, 0.96, 1.0, 1.0) if not box(x, y, 0.56, 0.18, 0.64, 0.34) else (0.2, 0.25, 0.35, 1.0)
    if box(x, y, 0.22, 0.56, 0.78, 0.86, 0.02):
        return (1.0, 1.0, 1.0, 1.0)
    return shade((0.15, 0.35, 0.75, 1.0), x, y)


def save_as_icon(x, y):
    """A floppy disc with a pencil."""
    if segment_distance(x, y, 0.5, 0.92, 0.92, 0.5) <= 0.08:
        return (0.95, 0.65, 0.15, 1.0)
    return save_icon(x * 1.15 - 0.02, y * 1.15 - 0.02)


def rename_icon(x, y):
    """A text field with a cursor."""
    if segment_distance(x, y, 0.62, 0.16, 0.62, 0.84) <= 0.045 or segment_distance(x, y, 0.52, 0.16, 0.72, 0.16) <= 0.04 \
            or segment_distance(x, y, 0.52, 0.84, 0.72, 0.84) <= 0.04:
        return (0.1, 0.15, 0.25, 1.0)
    if box(x, y, 0.08, 0.3, 0.92, 0.7, 0.05):
        if not box(x, y, 0.12, 0.34, 0.88, 0.66, 0.04):
            return (0.35, 0.42, 0.55, 1.0)
        if box(x, y, 0.18, 0.42, 0.54, 0.58):
            return (0.55, 0.7, 0.95, 1.0)
        return (1.0, 1.0, 1.0, 1.0)
    return None


def upward_icon(x, y):
    """A green arrow pointing up."""
    if in_triangle(x, y, (0.5, 0.1), (0.86, 0.5), (0.14, 0.5)) or box(x, y, 0.38, 0.48, 0.62, 0.9, 0.03):
        return shade((0.15, 0.6, 0.3, 1.0), x, y)
    return None


def view_icon(x, y):
    """Four tiles: the views of the list."""
    for i in range(2):
        for j in range(2):
            if box(x, y, 0.12 + i * 0.42, 0.12 + j * 0.42, 0.46 + i * 0.42, 0.46 + j * 0.42, 0.05):
                return shade((0.25, 0.45, 0.8, 1.0), x, y)
    return None


def new_item_icon(x, y):
    """A folder with a green plus."""
    return plus_badge(x, y) or folder_shape(x, y, (0.98, 0.8, 0.3, 1.0))


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


def write_ico(path, shader, sizes=SIZES):
    images = [ico_entry(render(s, shader)) for s in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
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
    'wizard/res/app.ico': app_icon,
    'wizard/res/menu.ico': menu_icon,
    'wizard/res/link-desktop.ico': desktop_icon,
    'wizard/res/link-folder.ico': folder_icon,
    'wizard/res/link-selection.ico': selection_icon,
    'wizard/res/method-type.ico': method_type_icon,
    'wizard/res/method-name.ico': method_name_icon,
    'wizard/res/method-size.ico': method_size_icon,
    'wizard/res/method-time.ico': method_time_icon,
    'wizard/res/profile.ico': profile_icon,
    'wizard/res/rule-shortcuts.ico': shortcut_icon,
    'wizard/res/rule-folders.ico': folders_special_icon,
    'wizard/res/rule-unmatched.ico': unmatched_icon,
    'wizard/res/rule-time.ico': calendar_icon,
    'wizard/res/rule-regexp.ico': regexp_icon,
    'wizard/res/question.ico': question_icon,
    'wizard/res/collision.ico': warning_icon,
    'wizard/res/tb-delete.ico': delete_icon,
    'wizard/res/tb-new.ico': new_profile_icon,
    'wizard/res/tb-reload.ico': reload_icon,
    'wizard/res/tb-save.ico': save_icon,
    'wizard/res/tb-save-as.ico': save_as_icon,
    'wizard/res/tb-rename.ico': rename_icon,
    'wizard/res/tb-upward.ico': upward_icon,
    'wizard/res/tb-view.ico': view_icon,
    'wizard/res/tb-new-item.ico': new_item_icon,
}

# Draw only the icons whose file names contain one of the words given.
if len(sys.argv) > 1:
    ICONS = {k: v for k, v in ICONS.items() if any(w in k for w in sys.argv[1:])}

if __name__ == '__main__':
    for rel, shader in ICONS.items():
        write_ico(os.path.join(ROOT, rel), shader, LARGE_SIZES if '/link-' in rel else SIZES)
