#!/usr/bin/env python3
"""Draws Skyvane's bitmaps as 24-bit .bmp files: the two 466x32 banners of the monitor
window (one per adapter model) and the 16x16 pictures of its Hide, Help and Radio buttons and of the pages' Renew and Scan
buttons.

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


def ring(cx, cy, r, width, colour, start, end):
    """A ring segment from angle `start` to `end` (radians, clockwise from the top)."""
    def f(x, y):
        if abs(math.hypot(x - cx, y - cy) - r) > width / 2:
            return None
        angle = math.atan2(x - cx, cy - y) % (2 * math.pi)
        return colour if start <= angle <= end else None
    return f


def arrow_head(x, y, angle, size, colour):
    """A filled arrow head pointing along `angle` (clockwise from the top) with its tip at (x, y)."""
    dx, dy = math.sin(angle), -math.cos(angle)
    bx, by = x - dx * size, y - dy * size
    px, py = -dy * size * 0.7, dx * size * 0.7
    corners = [(x, y), (bx + px, by + py), (bx - px, by - py)]

    def f(qx, qy):
        signs = []
        for i in range(3):
            (ax, ay), (cx, cy) = corners[i], corners[(i + 1) % 3]
            signs.append((cx - ax) * (qy - ay) - (cy - ay) * (qx - ax) >= 0)
        return colour if all(signs) or not any(signs) else None
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
    # Renew and Scan: two green arrows chasing each other round a circle.
    'button_renew.bmp': icon([ring(0.5, 0.5, 0.33, 0.14, GREEN, math.radians(10), math.radians(160)),
                       ring(0.5, 0.5, 0.33, 0.14, GREEN, math.radians(190), math.radians(340)),
                       arrow_head(0.5 + 0.33 * math.sin(math.radians(172)), 0.5 - 0.33 * math.cos(math.radians(172)),
                                  math.radians(262), 0.3, GREEN),
                       arrow_head(0.5 + 0.33 * math.sin(math.radians(352)), 0.5 - 0.33 * math.cos(math.radians(352)),
                                  math.radians(82), 0.3, GREEN)]),
}

if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(banner(54), os.path.join(here, 'banner54.bmp'))
    write_bmp(banner(108), os.path.join(here, 'banner108.bmp'))
    for name, pixels in BITMAPS.items():
        write_bmp(pixels, os.path.join(here, name))
