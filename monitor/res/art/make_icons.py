#!/usr/bin/env python3
"""Draws Skyvane's icons as 16x16 and 32x32 32-bit .ico files.

Each icon is a function of a point (x, y) in the unit square returning an RGBA colour or
None; pixels are supersampled so edges stay smooth at both sizes. Run it after changing
a drawing: python3 make_icons.py (writes the .ico files beside it)."""
import math
import os
import struct

from art import arc, box, disc, line

SUPER = 4


def over(dst, src):
    """src painted over dst (both RGBA tuples, 0..255)."""
    if src is None:
        return dst
    sa = src[3] / 255.0
    da = dst[3] / 255.0
    oa = sa + da * (1 - sa)
    if oa == 0:
        return (0, 0, 0, 0)
    rgb = tuple((src[i] * sa + dst[i] * da * (1 - sa)) / oa for i in range(3))
    return rgb + (oa * 255,)


def render(layers, size):
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    x = (px + (sx + 0.5) / SUPER) / size
                    y = (py + (sy + 0.5) / SUPER) / size
                    c = (0, 0, 0, 0)
                    for layer in layers:
                        c = over(c, layer(x, y))
                    a = c[3] / 255.0
                    for i in range(3):
                        acc[i] += c[i] * a
                    acc[3] += a
            n = SUPER * SUPER
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [acc[i] / acc[3] for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((int(rgb[0] + 0.5), int(rgb[1] + 0.5), int(rgb[2] + 0.5),
                        int(alpha * 255 + 0.5)))
        rows.append(row)
    return rows


def ico(layers, path):
    images = []
    for size in (16, 32):
        rows = render(layers, size)
        header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        xor = b''.join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
        mask_row = ((size + 31) // 32) * 4
        mask = b''
        for row in reversed(rows):
            bits = bytearray(mask_row)
            for x, (_, _, _, a) in enumerate(row):
                if a < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bytes(bits)
        images.append((size, header + xor + mask))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


# ---- shapes -----------------------------------------------------------------

def rounded_square(colour, inset=0.04, radius=0.18):
    def f(x, y):
        lo, hi = inset + radius, 1 - inset - radius
        dx = max(lo - x, 0, x - hi)
        dy = max(lo - y, 0, y - hi)
        return colour if math.hypot(dx, dy) <= radius else None
    return f


WHITE = (255, 255, 255, 255)
BLUE = (22, 92, 170, 255)
GREEN = (40, 190, 60, 255)
YELLOW = (240, 200, 30, 255)
ORANGE = (240, 110, 20, 255)
RED = (215, 30, 30, 255)
GREY = (150, 150, 150, 255)
DARK = (35, 35, 35, 255)
EMPTY = (225, 225, 225, 255)
WAVE = math.radians(45)  # how far the waves open each side of straight up


def bars(filled, colour, empty=EMPTY):
    """Four rising signal bars with a dark outline; the first `filled` ones in `colour`."""
    layers = []
    for i in range(4):
        x0 = 0.06 + i * 0.235
        x1 = x0 + 0.19
        top = 0.70 - i * 0.20
        layers.append(box(x0, top, x1, 0.96, DARK))
        layers.append(box(x0 + 0.05, top + 0.05, x1 - 0.05, 0.91, colour if i < filled else empty))
    return layers


def antenna(colour):
    return [
        arc(0.5, 0.62, 0.42, 0.10, colour, WAVE),
        arc(0.5, 0.62, 0.24, 0.10, colour, WAVE),
        disc(0.5, 0.62, 0.08, colour),
        box(0.45, 0.62, 0.55, 0.96, colour),
    ]


def cross(colour, width=0.16):
    return [line(0.2, 0.2, 0.8, 0.8, width, colour), line(0.8, 0.2, 0.2, 0.8, width, colour)]


def card(colour):
    """A PC card seen from above: a body with its connector edge."""
    return [box(0.06, 0.30, 0.94, 0.86, DARK), box(0.11, 0.35, 0.89, 0.81, colour),
            box(0.06, 0.22, 0.40, 0.30, DARK)]


ICONS = {
    'skyvane.ico': [
        rounded_square(BLUE),
        arc(0.5, 0.78, 0.56, 0.09, WHITE, WAVE),
        arc(0.5, 0.78, 0.38, 0.09, WHITE, WAVE),
        arc(0.5, 0.78, 0.20, 0.09, WHITE, WAVE),
        disc(0.5, 0.78, 0.07, WHITE),
    ],
    'signal4.ico': bars(4, GREEN),           # 181 excellent
    'signal3.ico': bars(3, GREEN),           # 180 good
    'signal2.ico': bars(2, YELLOW),          # 167 fair
    'signal1.ico': bars(1, ORANGE),          # 166 weak
    'disconnected.ico': bars(0, GREEN, GREY),  # 182
    'radio_off.ico': antenna(DARK) + [line(0.1, 0.1, 0.9, 0.9, 0.12, RED)],  # 161
    'no_adapter.ico': card(GREY) + cross(RED),  # 183
    'signal0.ico': bars(0, GREEN, EMPTY),    # 151
    'signal2_blue.ico': bars(2, BLUE),       # 152
    'signal3_blue.ico': bars(3, BLUE),       # 153
    'radio_on.ico': antenna(BLUE),           # 157
}

if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    for name, layers in ICONS.items():
        ico(layers, os.path.join(here, name))
