#!/usr/bin/env python3
"""Draws Skyvane's bitmaps as 24-bit .bmp files: the two 466x32 banners of the monitor
window (one per adapter model), the two banners of its About page and the 16x16 pictures
of its Hide, Help and Radio buttons, of the Configuration page's buttons and of the pages'
Renew (also Scan) and Release buttons.

The window copies every bitmap with an AND of source and destination, so white parts let
the window's face colour show through: backgrounds are white. Run it after changing a
drawing: python3 make_bitmaps.py (writes the .bmp files beside it)."""
import math
import os
import struct

from art import arc, box, disc, line

SUPER = 4
WHITE = (255, 255, 255)

# A 5x7 capital font for the banner texts.
GLYPHS = {
    'A': ['01110', '10001', '10001', '11111', '10001', '10001', '10001'],
    'D': ['11110', '10001', '10001', '10001', '10001', '10001', '11110'],
    'E': ['11111', '10000', '10000', '11110', '10000', '10000', '11111'],
    'I': ['01110', '00100', '00100', '00100', '00100', '00100', '01110'],
    'L': ['10000', '10000', '10000', '10000', '10000', '10000', '11111'],
    'M': ['10001', '11011', '10101', '10101', '10001', '10001', '10001'],
    'N': ['10001', '11001', '10101', '10011', '10001', '10001', '10001'],
    'O': ['01110', '10001', '10001', '10001', '10001', '10001', '01110'],
    'P': ['11110', '10001', '10001', '11110', '10000', '10000', '10000'],
    'R': ['11110', '10001', '10001', '11110', '10100', '10010', '10001'],
    'T': ['11111', '00100', '00100', '00100', '00100', '00100', '00100'],
    'V': ['10001', '10001', '10001', '10001', '10001', '01010', '00100'],
    'W': ['10001', '10001', '10001', '10101', '10101', '10101', '01010'],
    '0': ['01110', '10001', '10011', '10101', '11001', '10001', '01110'],
    '1': ['00100', '01100', '00100', '00100', '00100', '00100', '01110'],
    '4': ['00010', '00110', '01010', '10010', '11111', '00010', '00010'],
    '5': ['11111', '10000', '11110', '00001', '00001', '10001', '01110'],
    '8': ['01110', '10001', '10001', '01110', '10001', '10001', '01110'],
    ' ': ['00000'] * 7,
}


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def draw_text(pixels, text, x0, y0, scale, colour):
    for n, ch in enumerate(text):
        rows = GLYPHS[ch]
        for gy, row in enumerate(rows):
            for gx, bit in enumerate(row):
                if bit != '1':
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        x = x0 + (n * 6 + gx) * scale + dx
                        y = y0 + gy * scale + dy
                        if 0 <= y < len(pixels) and 0 <= x < len(pixels[0]):
                            pixels[y][x] = colour


def render(shape, width, height):
    """shape(x, y) -> RGB or None, in pixel coordinates; supersampled over white."""
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    c = shape(px + (sx + 0.5) / SUPER, py + (sy + 0.5) / SUPER) or WHITE
                    for i in range(3):
                        acc[i] += c[i]
            row.append(tuple(int(a / (SUPER * SUPER) + 0.5) for a in acc))
        rows.append(row)
    return rows


def write_bmp(pixels, path):
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    data = b''
    for row in reversed(pixels):
        line = b''.join(bytes((b, g, r)) for (r, g, b) in row)
        data += line + b'\0' * (stride - len(line))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(head + info + data)


# ---- banners ------------------------------------------------------------------

def banner(model):
    w, h = 466, 32
    navy, sky = (16, 52, 110), (70, 140, 215)

    def shape(x, y):
        # A band that fades from navy to sky blue, ending in a curve towards the right.
        edge = 330 + 40 * math.sin(y / h * math.pi / 2)
        if x > edge:
            return None
        t = x / edge
        return tuple(int(navy[i] + (sky[i] - navy[i]) * t) for i in range(3))

    pixels = render(shape, w, h)
    # Radio waves at the band's right end.
    for r in (7, 12, 17):
        for a in range(-40, 41, 2):
            ang = math.radians(a)
            x = int(300 + r * math.sin(ang) * 1.0)
            y = int(22 - r * math.cos(ang))
            for dx in (0, 1):
                for dy in (0, 1):
                    if 0 <= y + dy < h:
                        pixels[y + dy][x + dx] = WHITE
    draw_text(pixels, 'TELVARA WEVO ' + str(model), 10, 3, 2, WHITE)
    draw_text(pixels, 'WLAN ADAPTER MONITOR', 10, 21, 1, (200, 225, 250))
    tag = str(model)
    draw_text(pixels, tag, w - 12 - text_width(tag, 3), 5, 3, navy)
    return pixels


def about_banner(model):
    """The About page's banner: the product's emblem and name, centred above the notice."""
    name = 'TELVARA WEVO ' + str(model)
    w, h = 84 + text_width(name, 3) + 8, 64
    navy, sky, accent = (16, 52, 110), (70, 140, 215), (230, 120, 20)

    def emblem(x, y):
        d = math.hypot(x - 32, y - 32)
        if d > 29:
            return None
        t = min(1.0, max(0.0, (x + y - 6) / 52))
        c = tuple(int(navy[i] + (sky[i] - navy[i]) * t) for i in range(3))
        # Waves rising from a mast near the bottom.
        r = math.hypot(x - 32, y - 44)
        if abs(math.atan2(x - 32, 44 - y)) < math.radians(48) and any(abs(r - k) < 1.6 for k in (9, 16, 23)):
            return WHITE
        if abs(x - 32) < 1.8 and 42 < y < 54:
            return WHITE
        return c

    pixels = render(emblem, w, h)
    draw_text(pixels, 'TELVARA WEVO ', 80, 10, 3, navy)
    draw_text(pixels, str(model), 80 + len('TELVARA WEVO ') * 18, 10, 3, accent)
    draw_text(pixels, 'WLAN ADAPTER', 80, 40, 2, sky)
    for y in (58, 59):
        for x in range(80, w - 8):
            t = (x - 80) / (w - 88)
            pixels[y][x] = tuple(int(sky[i] + (255 - sky[i]) * t) for i in range(3))
    return pixels


# ---- button pictures ---------------------------------------------------------------

def icon(shapes, size=16):
    def shape(x, y):
        c = None
        for s in shapes:
            c = s(x / size, y / size) or c
        return c
    return render(shape, size, size)


BLUE = (22, 92, 170)
DARK = (40, 40, 40)
GREEN = (20, 150, 40)
RED = (200, 30, 30)
GREY = (120, 120, 120)


def antenna(colour, waves):
    shapes = [line(0.5, 0.35, 0.5, 0.92, 0.11, colour), line(0.3, 0.92, 0.7, 0.92, 0.1, colour),
              disc(0.5, 0.33, 0.09, colour)]
    if waves:
        shapes += [arc(0.5, 0.33, 0.22, 0.08, colour, math.radians(60)),
                   arc(0.5, 0.33, 0.38, 0.08, colour, math.radians(55))]
    return shapes


def open_ring(cx, cy, r, width, colour):
    """A ring with a gap at its upper right, where an arrow head goes."""
    def f(x, y):
        if abs(math.hypot(x - cx, y - cy) - r) > width / 2:
            return None
        angle = math.degrees(math.atan2(x - cx, cy - y))  # 0 at the top, clockwise
        return None if 0 <= angle <= 55 else colour
    return f


def triangle(a, b, c, colour):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def f(x, y):
        s1, s2, s3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        inside = (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
        return colour if inside else None
    return f


BITMAPS = {
    # Hide: a window with its title bar, and an arrow down into the tray.
    'button_hide.bmp': icon([box(0.08, 0.1, 0.92, 0.62, DARK), box(0.14, 0.24, 0.86, 0.56, WHITE),
                      box(0.08, 0.1, 0.92, 0.22, BLUE), line(0.5, 0.5, 0.5, 0.9, 0.12, BLUE),
                      line(0.32, 0.72, 0.5, 0.9, 0.12, BLUE), line(0.68, 0.72, 0.5, 0.9, 0.12, BLUE)]),
    # Help: a white question mark on a blue disc.
    'button_help.bmp': icon([disc(0.5, 0.5, 0.46, BLUE), arc(0.5, 0.36, 0.16, 0.11, WHITE, math.radians(130)),
                      line(0.6, 0.47, 0.5, 0.57, 0.11, WHITE), line(0.5, 0.57, 0.5, 0.64, 0.11, WHITE),
                      disc(0.5, 0.8, 0.07, WHITE)]),
    # Radio, not checked (the radio is off): a grey antenna, struck through in red.
    'button_radio_off.bmp': icon(antenna(GREY, False) + [line(0.12, 0.12, 0.88, 0.88, 0.11, RED)]),
    # Radio, checked (the radio is on): a green antenna sending.
    'button_radio_on.bmp': icon(antenna(GREEN, True)),
    # Renew: a green circular arrow.
    'button_renew.bmp': icon([open_ring(0.5, 0.52, 0.3, 0.13, GREEN),
                      triangle((0.62, 0.1), (0.94, 0.3), (0.62, 0.46), GREEN)]),
    # Release: a network plug pulled away from its socket.
    'button_release.bmp': icon([box(0.06, 0.36, 0.36, 0.64, BLUE), box(0.36, 0.42, 0.44, 0.46, DARK),
                        box(0.36, 0.54, 0.44, 0.58, DARK), box(0.62, 0.36, 0.94, 0.64, BLUE),
                        box(0.56, 0.4, 0.62, 0.6, DARK), line(0.5, 0.14, 0.5, 0.86, 0.08, RED)]),
}

# The Configuration page's New, Save, Delete and Apply buttons.
BITMAPS.update({
    # New: a sheet with a folded corner and a green plus.
    'button_new.bmp': icon([line(0.2, 0.08, 0.2, 0.92, 0.08, DARK), line(0.2, 0.92, 0.8, 0.92, 0.08, DARK),
                     line(0.8, 0.92, 0.8, 0.32, 0.08, DARK), line(0.2, 0.08, 0.56, 0.08, 0.08, DARK),
                     line(0.56, 0.08, 0.8, 0.32, 0.08, DARK), line(0.56, 0.08, 0.56, 0.32, 0.07, DARK),
                     line(0.56, 0.32, 0.8, 0.32, 0.07, DARK), line(0.5, 0.46, 0.5, 0.82, 0.13, GREEN),
                     line(0.32, 0.64, 0.68, 0.64, 0.13, GREEN)]),
    # Save: a blue disk with its label and shutter.
    'button_save.bmp': icon([box(0.08, 0.08, 0.92, 0.92, BLUE), box(0.24, 0.08, 0.76, 0.42, WHITE),
                      box(0.28, 0.6, 0.72, 0.92, GREY), box(0.56, 0.66, 0.66, 0.86, DARK)]),
    # Delete: a red cross.
    'button_delete.bmp': icon([line(0.18, 0.18, 0.82, 0.82, 0.17, RED), line(0.82, 0.18, 0.18, 0.82, 0.17, RED)]),
    # Apply: a green tick.
    'button_apply.bmp': icon([line(0.12, 0.55, 0.4, 0.82, 0.16, GREEN), line(0.4, 0.82, 0.9, 0.2, 0.16, GREEN)]),
})

if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(banner(54), os.path.join(here, 'banner54.bmp'))
    write_bmp(banner(108), os.path.join(here, 'banner108.bmp'))
    write_bmp(about_banner(54), os.path.join(here, 'about54.bmp'))
    write_bmp(about_banner(108), os.path.join(here, 'about108.bmp'))
    for name, pixels in BITMAPS.items():
        write_bmp(pixels, os.path.join(here, name))
