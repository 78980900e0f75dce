#!/usr/bin/env python3
"""Draws Quillory's toolbar glyphs, help pictures and application icon as RGBA PNGs (and the icon as SVG).

Standard library only. Shapes are described on a design grid (pixel i spans [i, i+1]) and
rasterised with 4x4 supersampling, so edges on whole coordinates stay crisp. Each toolbar glyph is
drawn at 1, 1.5, 2 and 3 times its size, so no screen scale has to resample it.

Outlines and lines are drawn in INK, which is no colour: its coverage goes into a mask of its own
(NAME-SIZE.ink.png) and the program fills it with the theme's text colour, so the shapes read on
light and dark themes alike. The rest (NAME-SIZE.png) keeps its colours, with the ink left clear.
Run from anywhere: ./make-glyphs.py writes into resources/glyphs/ next to this script.
"""

import math
import struct
import zlib
from pathlib import Path

OUT = Path(__file__).resolve().parent / "glyphs"
SS = 4  # samples per pixel side


def hexc(text, alpha=255):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


INK = "ink"  # the theme's text colour, filled in by the program
DARK = hexc("#3b4252")  # fixed dark detail (the application icon's outline)
GREY = hexc("#8a94a3")
LIGHT = hexc("#d5dbe3")
PAPER = hexc("#fbfbf8")
BLUE = hexc("#4384e4")  # at least 3:1 against light and dark window colours alike
STROKE = hexc("#2f6fd0")  # the application icon's blue
NAVY = hexc("#2b4f8c")
GREEN = hexc("#2a9440")
RED = hexc("#e04a4a")
YELLOW = hexc("#f5c542")
AMBER = hexc("#c98f1a")
WOOD = hexc("#a8743f")
WHITE = hexc("#ffffff")
GLASS = hexc("#cfe6ff")


# Shapes are predicates over design coordinates.
def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def arc(cx, cy, radius, width, start_deg, end_deg):
    """Ring segment; angles counter-clockwise from +x with y pointing up."""
    lo, hi = radius - width / 2, radius + width / 2

    def inside(x, y):
        dx, dy = x - cx, cy - y
        d = math.hypot(dx, dy)
        if not (lo <= d <= hi):
            return False
        a = math.degrees(math.atan2(dy, dx))
        while a < start_deg:
            a += 360
        return a <= end_deg

    return inside


def segment(x0, y0, x1, y1, width):
    """Line with round caps."""
    vx, vy = x1 - x0, y1 - y0
    length2 = vx * vx + vy * vy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * vx + (y - y0) * vy) / length2))
        px, py = x0 + t * vx, y0 + t * vy
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2

    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit

    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, cut):
    return lambda x, y: shape(x, y) and not cut(x, y)


class Canvas:
    def __init__(self, size, grid=None):
        self.size = size
        self.scale = size / (grid or size)
        # premultiplied colour, coverage, and the part of the coverage that is ink
        self.px = [[0.0, 0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def fill(self, shape, colour):
        ink = colour == INK
        r, g, b, a = (0.0, 0.0, 0.0, 1.0) if ink else (c / 255 for c in colour)
        step = 1 / SS
        for py in range(self.size):
            for px in range(self.size):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        x = (px + (sx + 0.5) * step) / self.scale
                        y = (py + (sy + 0.5) * step) / self.scale
                        if shape(x, y):
                            hits += 1
                if hits:
                    k = a * hits / (SS * SS)
                    p = self.px[py * self.size + px]
                    p[0] = r * k + p[0] * (1 - k)
                    p[1] = g * k + p[1] * (1 - k)
                    p[2] = b * k + p[2] * (1 - k)
                    p[3] = k + p[3] * (1 - k)
                    p[4] = (k if ink else 0.0) + p[4] * (1 - k)

    def erase(self, shape):
        """Clears what lies under `shape`, so a detail stands apart on any background."""
        step = 1 / SS
        for py in range(self.size):
            for px in range(self.size):
                hits = sum(1 for sy in range(SS) for sx in range(SS)
                           if shape((px + (sx + 0.5) * step) / self.scale, (py + (sy + 0.5) * step) / self.scale))
                if hits:
                    k = hits / (SS * SS)
                    p = self.px[py * self.size + px]
                    for i in range(5):
                        p[i] *= 1 - k

    def has_ink(self):
        return any(p[4] > 0 for p in self.px)

    def png(self, ink=False):
        """The colours with the ink clear, or (ink) the ink's coverage as a white mask."""
        rows = bytearray()
        for py in range(self.size):
            rows.append(0)
            for px in range(self.size):
                r, g, b, a, i = self.px[py * self.size + px]
                if ink:
                    rows += bytes((255, 255, 255, round(min(1.0, i) * 255)))
                    continue
                a -= i  # the ink's share of the coverage is the program's to fill
                if a > 1e-9:
                    r, g, b = r / a, g / a, b / a
                else:
                    r = g = b = a = 0.0
                rows += bytes(round(max(0.0, min(1.0, v)) * 255) for v in (r, g, b, a))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        header = struct.pack(">IIBBBBB", self.size, self.size, 8, 6, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9))
                + chunk(b"IEND", b""))


def inset(points, d):
    """The polygon with every edge moved d inwards (points clockwise on screen, y down)."""
    n = len(points)
    lines = []
    for i in range(n):
        (x0, y0), (x1, y1) = points[i], points[(i + 1) % n]
        length = math.hypot(x1 - x0, y1 - y0)
        nx, ny = -(y1 - y0) / length, (x1 - x0) / length  # inward for clockwise order
        lines.append(((x0 + nx * d, y0 + ny * d), (x1 + nx * d, y1 + ny * d)))
    out = []
    for i in range(n):
        (a0, a1), (b0, b1) = lines[i - 1], lines[i]
        dax, day = a1[0] - a0[0], a1[1] - a0[1]
        dbx, dby = b1[0] - b0[0], b1[1] - b0[1]
        den = dax * dby - day * dbx
        t = ((b0[0] - a0[0]) * dby - (b0[1] - a0[1]) * dbx) / den
        out.append((a0[0] + dax * t, a0[1] + day * t))
    return out


def outlined(c, points, colour, edge=1.0):
    """A polygon in `colour` inside an ink outline `edge` wide."""
    c.fill(polygon(points), INK)
    c.fill(polygon(inset(points, edge)), colour)


def page(c):
    """A sheet with a folded top-right corner, 16-pixel grid; its lines stay clear of a badge at lower right."""
    c.fill(polygon([(2, 1), (10, 1), (14, 5), (14, 15), (2, 15)]), INK)
    c.fill(polygon([(3, 2), (9, 2), (9, 6), (13, 6), (13, 14), (3, 14)]), PAPER)
    c.fill(polygon([(10, 2.4), (12.6, 5), (10, 5)]), LIGHT)
    for y, x1 in ((4, 8), (6, 8), (8, 6)):
        c.fill(rect(4, y, x1, y + 1), GREY)


def save(c):
    outlined(c, [(1, 1), (13, 1), (15, 3), (15, 15), (1, 15)], NAVY)
    c.fill(rect(4, 2, 11, 6), LIGHT)
    c.fill(rect(8, 2.8, 10, 5), NAVY)
    c.fill(rect(3, 8, 13, 14), PAPER)
    c.fill(rect(4, 10, 12, 11), GREY)
    c.fill(rect(4, 12, 12, 13), GREY)
    return c


def open_project(c):
    outlined(c, [(1, 2), (6, 2), (7, 3), (14, 3), (14, 14), (1, 14)], AMBER)
    c.fill(rect(2.5, 5, 12.5, 8), PAPER)
    outlined(c, [(3.5, 7), (16, 7), (13.5, 14.5), (1, 14.5)], YELLOW)
    c.fill(polygon([(4.3, 7.9), (14.8, 7.9), (14.6, 8.6), (4.1, 8.6)]), hexc("#fbe08f"))
    return c


def badge(c, colour, plus):
    c.erase(circle(11, 11, 5.3))
    c.fill(circle(11, 11, 4.6), colour)
    c.fill(rect(8, 10, 14, 12), WHITE)
    if plus:
        c.fill(rect(10, 8, 12, 14), WHITE)


def add_item(c):
    page(c)
    badge(c, GREEN, plus=True)
    return c


def remove_item(c):
    page(c)
    badge(c, RED, plus=False)
    return c


def rename(c):
    c.fill(rect(1, 13, 9, 15), BLUE)  # the name being rewritten
    # pencil along the diagonal from the tip (lower left) to the eraser (upper right)
    d = (1 / math.sqrt(2), -1 / math.sqrt(2))
    n = (1 / math.sqrt(2), 1 / math.sqrt(2))
    a = (6.0, 10.0)
    b = (12.5, 3.5)
    hw = 2.1

    def quad(p, q, w):
        return polygon([(p[0] + n[0] * w, p[1] + n[1] * w), (q[0] + n[0] * w, q[1] + n[1] * w),
                        (q[0] - n[0] * w, q[1] - n[1] * w), (p[0] - n[0] * w, p[1] - n[1] * w)])

    tip = (a[0] - d[0] * 3.6, a[1] - d[1] * 3.6)
    outline = 0.7
    c.fill(polygon([(a[0] + n[0] * (hw + outline), a[1] + n[1] * (hw + outline)),
                    (b[0] + d[0] * 2.6 + n[0] * (hw + outline), b[1] + d[1] * 2.6 + n[1] * (hw + outline)),
                    (b[0] + d[0] * 2.6 - n[0] * (hw + outline), b[1] + d[1] * 2.6 - n[1] * (hw + outline)),
                    (a[0] - n[0] * (hw + outline), a[1] - n[1] * (hw + outline)),
                    (tip[0] - d[0] * 1.0, tip[1] - d[1] * 1.0)]), INK)
    c.fill(quad(a, b, hw), YELLOW)
    c.fill(quad((a[0] + d[0] * 0.01, a[1] + d[1] * 0.01), b, hw * 0.35), hexc("#e0a820"))
    c.fill(polygon([(a[0] + n[0] * hw, a[1] + n[1] * hw), (a[0] - n[0] * hw, a[1] - n[1] * hw), tip]),
           hexc("#f0d3a0"))
    c.fill(polygon([(tip[0] + d[0] * 1.3 + n[0] * 0.8, tip[1] + d[1] * 1.3 + n[1] * 0.8),
                    (tip[0] + d[0] * 1.3 - n[0] * 0.8, tip[1] + d[1] * 1.3 - n[1] * 0.8), tip]), INK)
    e = (b[0] + d[0] * 2.6, b[1] + d[1] * 2.6)
    c.fill(quad(b, (b[0] + d[0] * 0.9, b[1] + d[1] * 0.9), hw), GREY)
    c.fill(quad((b[0] + d[0] * 0.9, b[1] + d[1] * 0.9), e, hw), hexc("#e8899a"))
    return c


def copy(c):
    c.fill(rrect(2, 2, 14, 16, 1.5), WOOD)
    c.fill(rect(4, 4, 12, 14), PAPER)
    for y, x1 in ((7, 11), (9, 11), (11, 9)):
        c.fill(rect(5, y, x1, y + 1), GREY)
    c.fill(rrect(5, 1, 11, 5, 1), INK)
    c.fill(rect(6, 3, 10, 4), LIGHT)
    c.fill(rect(7, 1, 9, 2), LIGHT)
    return c


def print_page(c):
    c.fill(rect(4, 1, 12, 7), INK)
    c.fill(rect(5, 2, 11, 7), PAPER)
    c.fill(rrect(1, 6, 15, 13, 1.5), hexc("#7a8494"))
    c.fill(rect(2, 7, 14, 8), hexc("#8d96a4"))
    c.fill(circle(12.5, 9.5, 0.9), hexc("#6fdc6f"))
    c.fill(rect(4, 10, 12, 15), INK)
    c.fill(rect(5, 10, 11, 14), PAPER)
    c.fill(rect(6, 11, 10, 12), GREY)
    return c


def align(c, where):
    for i, y in enumerate((1, 5, 9, 13)):
        long_line = i % 2 == 0
        width = 14 if long_line else 9
        x0 = {"left": 1, "right": 15 - width, "centre": 1 if long_line else 3.5}[where]
        if where == "centre" and not long_line:
            width = 10
            x0 = 3
        c.fill(rect(x0, y, x0 + width, y + 2), INK)
    return c


def bullet(c):
    for y in (3, 8, 13):
        c.fill(circle(2.5, y, 1.9), BLUE)
        c.fill(rect(6, y - 1, 15, y + 1), INK)
    return c


def overview(c):
    c.fill(circle(8, 8, 7.4), BLUE)
    c.fill(circle(8, 4.2, 1.45), WHITE)
    c.fill(rect(7, 6.5, 9, 12), WHITE)
    c.fill(rect(5.8, 6.5, 7, 7.6), WHITE)
    c.fill(rect(5.8, 11.6, 10.2, 12.8), WHITE)
    return c


def magnifier(c):
    cx, cy = 7.5, 7.0
    c.fill(segment(cx - 4.6, cy + 4.6, 1.3, 17.7, 3.4), INK)
    c.fill(segment(cx - 5.6, cy + 5.6, 1.5, 17.5, 2.0), hexc("#7a5a3a"))
    c.fill(circle(cx, cy, 6.3), INK)
    c.fill(circle(cx, cy, 4.6), GLASS)
    c.fill(arc(cx, cy, 3.2, 1.1, 100, 170), WHITE)


def help_off(c):
    magnifier(c)
    halo = 1.4
    qx, qy, qr = 15.6, 12.6, 2.5
    mark = union(arc(qx, qy, qr, 2.2, -60, 185), segment(qx + qr * 0.5, qy + qr * 0.87, qx, qy + qr + 1.4, 2.2),
                 rect(qx - 1.1, qy + qr, qx + 1.1, qy + qr + 1.6))
    dot = circle(qx, 18.5, 1.25)
    c.erase(union(arc(qx, qy, qr, 2.2 + 2 * halo, -70, 195),
                  segment(qx + qr * 0.5, qy + qr * 0.87, qx, qy + qr + 1.4, 2.2 + 2 * halo),
                  rect(qx - 1.1 - halo, qy + qr, qx + 1.1 + halo, qy + qr + 1.6 + halo / 2),
                  circle(qx, 18.5, 1.25 + halo)))
    c.fill(mark, BLUE)
    c.fill(dot, BLUE)
    return c


def help_on(c):
    magnifier(c)
    dots = [(11.2, 17.5), (14.6, 17.5), (18.0, 17.5)]
    c.erase(union(*(circle(x, y, 2.7) for x, y in dots)))
    c.fill(union(*(circle(x, y, 1.45) for x, y in dots)), BLUE)
    return c


def tray(size):
    """A quill writing on a page; drawn on a 32-pixel grid and scaled."""
    c = Canvas(size, 32)
    edge = 1.5 if size >= 32 else 2.2
    c.fill(polygon([(4, 2), (20, 2), (27, 9), (27, 30), (4, 30)]), DARK)
    c.fill(polygon([(4 + edge, 2 + edge), (19.4, 2 + edge), (19.4, 9.6), (27 - edge, 9.6), (27 - edge, 30 - edge),
                    (4 + edge, 30 - edge)]), PAPER)
    c.fill(polygon([(20.8, 3.5), (25.5, 8.2), (20.8, 8.2)]), LIGHT)
    line_h = 1.5 if size >= 32 else 2.2
    for y, x1 in ((12, 17), (17, 15), (22, 12)):
        c.fill(rect(8, y, x1, y + line_h), GREY)
    # the written stroke under the nib
    c.fill(arc(12.5, 24.5, 2.8, line_h, 200, 340), STROKE)

    vane, outline, shaft, stem = quill_outline(1.0 if size >= 32 else 1.4)
    c.fill(polygon(outline), hexc("#26366e"))
    c.fill(polygon(vane), hexc("#4b6fd6"))
    c.fill(segment(*shaft[0], *shaft[1], 1.0 if size >= 32 else 1.5), hexc("#dfe7fb"))
    c.fill(segment(*stem[0], *stem[1], 1.8 if size >= 32 else 2.4), DARK)
    return c


def quill_outline(grow=1.0):
    """The quill on the 32-pixel grid: its vane and its outline (`grow` wider) as point lists, its
    shaft and stem as segments; shared by the PNGs and the SVG."""
    nib, top = (12.0, 27.0), (30.5, 1.5)
    vx, vy = top[0] - nib[0], top[1] - nib[1]
    length = math.hypot(vx, vy)
    ux, uy = vx / length, vy / length
    nx, ny = -uy, ux
    left, right, outer, back = [], [], [], []
    for i in range(33):
        t = 0.22 + 0.78 * i / 32
        w = 5.2 * math.sin(math.pi * (t - 0.22) / 0.78) ** 0.7 * (0.55 + 0.45 * t)
        px, py = nib[0] + vx * t, nib[1] + vy * t
        left.append((px + nx * w, py + ny * w))
        right.append((px - nx * w * 0.8, py - ny * w * 0.8))
        outer.append((px + nx * (w + grow), py + ny * (w + grow)))
        back.append((px - nx * (w * 0.8 + grow), py - ny * (w * 0.8 + grow)))
    shaft = ((nib[0] + vx * 0.3, nib[1] + vy * 0.3), (top[0] - ux * 2, top[1] - uy * 2))
    stem = ((nib[0] + ux * 0.5, nib[1] + uy * 0.5), (nib[0] + vx * 0.24, nib[1] + vy * 0.24))
    return left + right[::-1], outer + back[::-1], shaft, stem


def icon_svg():
    """The application icon as SVG for the hicolor theme's scalable size: the 32-pixel drawing."""
    def points(pts):
        return " ".join(f"{x:.2f},{y:.2f}" for x, y in pts)
    vane, outline, shaft, stem = quill_outline()
    lines = "".join(f'<rect x="8" y="{y}" width="{x1 - 8}" height="1.5" fill="#8a94a3"/>'
                    for y, x1 in ((12, 17), (17, 15), (22, 12)))
    return (
        '<?xml version="1.0" encoding="UTF-8"?>\n'
        '<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">\n'
        '<polygon points="4,2 20,2 27,9 27,30 4,30" fill="#3b4252"/>'
        '<polygon points="5.5,3.5 19.4,3.5 19.4,9.6 25.5,9.6 25.5,28.5 5.5,28.5" fill="#fbfbf8"/>'
        '<polygon points="20.8,3.5 25.5,8.2 20.8,8.2" fill="#d5dbe3"/>' + lines +
        '<path d="M 9.87,25.46 A 2.8,2.8 0 0 0 15.13,25.46" fill="none" stroke="#2f6fd0" stroke-width="1.5"/>'
        f'<polygon points="{points(outline)}" fill="#26366e"/>'
        f'<polygon points="{points(vane)}" fill="#4b6fd6"/>'
        f'<line x1="{shaft[0][0]:.2f}" y1="{shaft[0][1]:.2f}" x2="{shaft[1][0]:.2f}" y2="{shaft[1][1]:.2f}" '
        'stroke="#dfe7fb" stroke-width="1"/>'
        f'<line x1="{stem[0][0]:.2f}" y1="{stem[0][1]:.2f}" x2="{stem[1][0]:.2f}" y2="{stem[1][1]:.2f}" '
        'stroke="#3b4252" stroke-width="1.8"/>\n'
        '</svg>\n')


# Toolbar glyphs: name, the size it is laid out at, and its drawing (on that size's grid).
GLYPHS = {
    "save": (16, save),
    "open": (16, open_project),
    "add-item": (16, add_item),
    "remove-item": (16, remove_item),
    "rename": (16, rename),
    "copy": (16, copy),
    "print": (16, print_page),
    "align-left": (16, lambda c: align(c, "left")),
    "align-centre": (16, lambda c: align(c, "centre")),
    "align-right": (16, lambda c: align(c, "right")),
    "bullet": (16, bullet),
    "overview": (16, overview),
    "help-off": (20, help_off),
    "help-on": (20, help_on),
}
SCALES = (1, 1.5, 2, 3)

# The tray's and the application's icon, one fixed-colour picture per size.
ICONS = {
    "tray-16.png": lambda: tray(16),
    "tray-24.png": lambda: tray(24),
    "tray-32.png": lambda: tray(32),
    "tray-48.png": lambda: tray(48),
    "tray-64.png": lambda: tray(64),
    "icon-48.png": lambda: tray(48),
    "icon-128.png": lambda: tray(128),
    "icon-256.png": lambda: tray(256),
}


def main():
    OUT.mkdir(exist_ok=True)
    for old in OUT.glob("*.png"):
        old.unlink()
    for name, (size, draw) in GLYPHS.items():
        for scale in SCALES:
            side = round(size * scale)
            c = Canvas(side, size)
            draw(c)
            (OUT / f"{name}-{side}.png").write_bytes(c.png())
            if c.has_ink():
                (OUT / f"{name}-{side}.ink.png").write_bytes(c.png(ink=True))
    for name, draw in ICONS.items():
        (OUT / name).write_bytes(draw().png())
    (OUT.parent.parent / "packaging" / "org.quillory.Quillory.svg").write_text(icon_svg())
    write_qrc()


def write_qrc():
    """The program's resource list: every picture but the installed icon's sizes."""
    names = sorted(p.name for p in OUT.glob("*.png") if not p.name.startswith("icon-"))
    lines = ['<!DOCTYPE RCC>', '<RCC version="1.0">', '  <!-- written by make-glyphs.py -->',
             '  <qresource prefix="/glyphs">']
    lines += [f'    <file alias="{name}">glyphs/{name}</file>' for name in names]
    (OUT.parent / "resources.qrc").write_text("\n".join(lines + ['  </qresource>', '</RCC>', '']))


if __name__ == "__main__":
    main()
