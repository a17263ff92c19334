"""Shapes shared by make_icons.py and make_bitmaps.py.

A shape is a function of a point (x, y) returning a colour, or None outside it."""
import math


def disc(cx, cy, r, colour):
    return lambda x, y: colour if math.hypot(x - cx, y - cy) <= r else None


def box(x0, y0, x1, y1, colour):
    return lambda x, y: colour if x0 <= x <= x1 and y0 <= y <= y1 else None


def line(x0, y0, x1, y1, width, colour):
    def f(x, y):
        vx, vy = x1 - x0, y1 - y0
        t = max(0, min(1, ((x - x0) * vx + (y - y0) * vy) / (vx * vx + vy * vy)))
        return colour if math.hypot(x - x0 - t * vx, y - y0 - t * vy) <= width / 2 else None
    return f


def arc(cx, cy, r, width, colour, spread):
    """A ring segment centred on (cx, cy), opening upwards by `spread` radians each side."""
    def f(x, y):
        if abs(math.hypot(x - cx, y - cy) - r) > width / 2:
            return None
        return colour if abs(math.atan2(x - cx, cy - y)) <= spread else None
    return f
