#!/usr/bin/env python3
"""Draws Veilor's embedded pictures and the password-window skin.

Run from anywhere:  python3 veilor/6_ui/art/draw_pictures.py

Only the Python standard library is used. Every shape is a signed-distance
function (negative inside, in pixels), filled with analytic anti-aliasing,
and the PNG files are written by hand, so the output is byte-for-byte the
same on every machine and every run.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
UI_DIR = os.path.dirname(HERE)
PICTURES = os.path.join(UI_DIR, "pictures")
THEMES = os.path.join(UI_DIR, "themes")


# ---------------------------------------------------------------------------
# Colours
# ---------------------------------------------------------------------------

def rgb(hexstr, alpha=1.0):
    """'#RRGGBB' -> (r, g, b, a) floats in 0..1."""
    h = hexstr.lstrip("#")
    return (int(h[0:2], 16) / 255.0, int(h[2:4], 16) / 255.0,
            int(h[4:6], 16) / 255.0, alpha)


NAVY = rgb("#17263A")
TEAL_DARK = rgb("#0E5E6F")
TEAL = rgb("#1B8A9E")
TEAL_LIGHT = rgb("#4DB8C8")
AMBER = rgb("#F2B134")
AMBER_LIGHT = rgb("#FFD77A")
AMBER_DARK = rgb("#D48A17")
AMBER_LINE = rgb("#7A4A0C")
LIGHT = rgb("#EEF3F6")
WHITE = rgb("#FFFFFF")
STEEL_LIGHT = rgb("#E3E9EE")
STEEL = rgb("#A7B5C0")
STEEL_DARK = rgb("#6F808E")
GREEN = rgb("#34A853")
GREEN_LIGHT = rgb("#5CC978")
GREEN_DARK = rgb("#1C6B34")
SLATE = rgb("#50606E")
PAPER_SHADE = rgb("#DCE5EB")


def with_alpha(colour, alpha):
    return (colour[0], colour[1], colour[2], alpha)


# ---------------------------------------------------------------------------
# Shapes: a distance function d(x, y) and a bounding box (x0, y0, x1, y1)
# ---------------------------------------------------------------------------

class Shape:
    __slots__ = ("d", "box")

    def __init__(self, d, box):
        self.d = d
        self.box = box


def _box_union(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def circle(cx, cy, r):
    def d(x, y):
        return math.hypot(x - cx, y - cy) - r
    return Shape(d, (cx - r, cy - r, cx + r, cy + r))


def ring(cx, cy, r, width):
    """Circle outline whose centre line has radius r."""
    half = width / 2.0

    def d(x, y):
        return abs(math.hypot(x - cx, y - cy) - r) - half
    return Shape(d, (cx - r - half, cy - r - half, cx + r + half, cy + r + half))


def rbox(x0, y0, x1, y1, radius=0.0):
    """Axis-aligned box with rounded corners."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def d(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return Shape(d, (x0, y0, x1, y1))


def _seg_dist(x, y, ax, ay, bx, by):
    px, py = x - ax, y - ay
    vx, vy = bx - ax, by - ay
    ll = vx * vx + vy * vy
    t = 0.0 if ll == 0 else max(0.0, min(1.0, (px * vx + py * vy) / ll))
    return math.hypot(px - vx * t, py - vy * t)


def _arc_dist(x, y, cx, cy, r, a0, a1):
    """Distance to a circular arc running clockwise on screen from a0 to a1
    degrees (0 = right, 90 = down)."""
    ang = math.degrees(math.atan2(y - cy, x - cx))
    while ang < a0:
        ang += 360.0
    while ang >= a0 + 360.0:
        ang -= 360.0
    if ang <= a1:
        return abs(math.hypot(x - cx, y - cy) - r)
    e0 = math.radians(a0)
    e1 = math.radians(a1)
    return min(math.hypot(x - cx - r * math.cos(e0), y - cy - r * math.sin(e0)),
               math.hypot(x - cx - r * math.cos(e1), y - cy - r * math.sin(e1)))


def strokes(width, lines=(), arcs=()):
    """Round-capped strokes: `lines` are polylines [(x, y), ...], `arcs` are
    (cx, cy, r, a0, a1). One shape, so overlaps never double the ink."""
    segs = []
    for pts in lines:
        for i in range(len(pts) - 1):
            segs.append((pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1]))
    arcs = list(arcs)
    half = width / 2.0

    def d(x, y):
        best = 1e9
        for ax, ay, bx, by in segs:
            v = _seg_dist(x, y, ax, ay, bx, by)
            if v < best:
                best = v
        for cx, cy, r, a0, a1 in arcs:
            v = _arc_dist(x, y, cx, cy, r, a0, a1)
            if v < best:
                best = v
        return best - half

    xs, ys = [], []
    for ax, ay, bx, by in segs:
        xs += [ax, bx]
        ys += [ay, by]
    for cx, cy, r, _a0, _a1 in arcs:
        xs += [cx - r, cx + r]
        ys += [cy - r, cy + r]
    return Shape(d, (min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half))


def capsule(ax, ay, bx, by, width):
    return strokes(width, lines=[[(ax, ay), (bx, by)]])


def polygon(points):
    pts = list(points)
    n = len(pts)

    def d(x, y):
        best = (x - pts[0][0]) ** 2 + (y - pts[0][1]) ** 2
        sign = 1.0
        j = n - 1
        for i in range(n):
            vix, viy = pts[i]
            vjx, vjy = pts[j]
            ex, ey = vjx - vix, vjy - viy
            wx, wy = x - vix, y - viy
            ll = ex * ex + ey * ey
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / ll))
            bx, by = wx - ex * t, wy - ey * t
            best = min(best, bx * bx + by * by)
            c1 = y >= viy
            c2 = y < vjy
            c3 = ex * wy > ey * wx
            if (c1 and c2 and c3) or (not c1 and not c2 and not c3):
                sign = -sign
            j = i
        return sign * math.sqrt(best)
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return Shape(d, (min(xs), min(ys), max(xs), max(ys)))


def shackle(cx, cy, r, leg, width):
    """Padlock shackle: a half ring over (cx, cy) with two legs of length `leg`."""
    half = width / 2.0

    def d(x, y):
        if y <= cy:
            v = abs(math.hypot(x - cx, y - cy) - r)
        else:
            v = min(_seg_dist(x, y, cx - r, cy, cx - r, cy + leg),
                    _seg_dist(x, y, cx + r, cy, cx + r, cy + leg))
        return v - half
    return Shape(d, (cx - r - half, cy - r - half, cx + r + half, cy + leg + half))


def gear(cx, cy, r_root, r_tip, teeth, tooth_width, phase=0.0):
    """Gear outline: a disc with `teeth` rounded teeth (a folded box)."""
    sector = 2.0 * math.pi / teeth
    tooth_len = (r_tip - r_root) + 2.0
    body = r_root + tooth_len / 2.0 - 1.0
    hx, hy = tooth_len / 2.0, tooth_width / 2.0
    rr = min(1.2, hy * 0.5)

    def d(x, y):
        dx, dy = x - cx, y - cy
        rho = math.hypot(dx, dy)
        a = math.atan2(dy, dx) - phase
        a = (a + sector / 2.0) % sector - sector / 2.0
        px, py = rho * math.cos(a), rho * math.sin(a)
        qx = abs(px - body) - (hx - rr)
        qy = abs(py) - (hy - rr)
        tooth = math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - rr
        return min(rho - r_root, tooth)
    return Shape(d, (cx - r_tip - 1, cy - r_tip - 1, cx + r_tip + 1, cy + r_tip + 1))


def union(*shapes):
    ds = [s.d for s in shapes]
    box = shapes[0].box
    for s in shapes[1:]:
        box = _box_union(box, s.box)

    def d(x, y):
        return min(f(x, y) for f in ds)
    return Shape(d, box)


def intersect(a, b):
    da, db = a.d, b.d
    box = (max(a.box[0], b.box[0]), max(a.box[1], b.box[1]),
           min(a.box[2], b.box[2]), min(a.box[3], b.box[3]))
    return Shape(lambda x, y: max(da(x, y), db(x, y)), box)


def subtract(a, b):
    da, db = a.d, b.d
    return Shape(lambda x, y: max(da(x, y), -db(x, y)), a.box)


def grow(s, amount):
    """Offset the outline outwards (amount > 0) or inwards (amount < 0)."""
    ds = s.d
    x0, y0, x1, y1 = s.box
    a = max(amount, 0.0)
    return Shape(lambda x, y: ds(x, y) - amount, (x0 - a, y0 - a, x1 + a, y1 + a))


def move(s, dx, dy):
    ds = s.d
    x0, y0, x1, y1 = s.box
    return Shape(lambda x, y: ds(x - dx, y - dy), (x0 + dx, y0 + dy, x1 + dx, y1 + dy))


def rotate(s, degrees, cx, cy):
    """Rotate clockwise on screen by `degrees` around (cx, cy)."""
    ds = s.d
    c, sn = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))

    def d(x, y):
        rx, ry = x - cx, y - cy
        return ds(cx + rx * c + ry * sn, cy - rx * sn + ry * c)
    x0, y0, x1, y1 = s.box
    xs, ys = [], []
    for px, py in ((x0, y0), (x1, y0), (x0, y1), (x1, y1)):
        rx, ry = px - cx, py - cy
        xs.append(cx + rx * c - ry * sn)
        ys.append(cy + rx * sn + ry * c)
    return Shape(d, (min(xs), min(ys), max(xs), max(ys)))


class Frame:
    """Places art drawn in its own design units at (ox, oy), `scale` pixels
    per unit, so one drawing serves several sizes."""

    def __init__(self, ox=0.0, oy=0.0, scale=1.0):
        self.ox, self.oy, self.k = ox, oy, scale

    def shape(self, s):
        ds, ox, oy, k = s.d, self.ox, self.oy, self.k
        x0, y0, x1, y1 = s.box
        return Shape(lambda x, y: ds((x - ox) / k, (y - oy) / k) * k,
                     (ox + x0 * k, oy + y0 * k, ox + x1 * k, oy + y1 * k))

    def paint(self, p):
        if not callable(p):
            return p
        ox, oy, k = self.ox, self.oy, self.k
        return lambda x, y: p((x - ox) / k, (y - oy) / k)


# ---------------------------------------------------------------------------
# Paints: a fixed colour, or a function (x, y) -> colour
# ---------------------------------------------------------------------------

def _mix(stops, t):
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            u = (t - t0) / (t1 - t0) if t1 > t0 else 0.0
            return tuple(a + (b - a) * u for a, b in zip(c0, c1))
    return stops[-1][1]


def linear(x0, y0, x1, y1, stops):
    vx, vy = x1 - x0, y1 - y0
    ll = vx * vx + vy * vy
    return lambda x, y: _mix(stops, ((x - x0) * vx + (y - y0) * vy) / ll)


def vertical(y0, y1, *colours):
    n = len(colours) - 1
    return linear(0, y0, 0, y1, [(i / n, c) for i, c in enumerate(colours)])


def radial(cx, cy, r, stops):
    return lambda x, y: _mix(stops, math.hypot(x - cx, y - cy) / r)


# ---------------------------------------------------------------------------
# Canvas: premultiplied RGBA floats
# ---------------------------------------------------------------------------

class Canvas:
    def __init__(self, width, height, background=None):
        self.w, self.h = width, height
        self.px = [0.0] * (width * height * 4)
        if background is not None:
            self.draw(rbox(-1, -1, width + 1, height + 1), background)

    def _span(self, shape, pad):
        x0, y0, x1, y1 = shape.box
        return (max(0, int(math.floor(x0 - pad))), max(0, int(math.floor(y0 - pad))),
                min(self.w, int(math.ceil(x1 + pad)) + 1),
                min(self.h, int(math.ceil(y1 + pad)) + 1))

    def draw(self, shape, paint, alpha=1.0, soft=1.0, f=None):
        """Composite `paint` inside `shape`. `soft` is the width of the edge
        ramp in pixels: 1 is a crisp anti-aliased edge, more gives a blur."""
        if f is not None:
            shape, paint = f.shape(shape), f.paint(paint)
        ix0, iy0, ix1, iy1 = self._span(shape, soft)
        d, px, w = shape.d, self.px, self.w
        fixed = None if callable(paint) else paint
        for y in range(iy0, iy1):
            cy = y + 0.5
            for x in range(ix0, ix1):
                cx = x + 0.5
                cov = 0.5 - d(cx, cy) / soft
                if cov <= 0.0:
                    continue
                if cov > 1.0:
                    cov = 1.0
                r, g, b, a = fixed if fixed is not None else paint(cx, cy)
                a *= cov * alpha
                if a <= 0.0:
                    continue
                i = (y * w + x) * 4
                k = 1.0 - a
                px[i] = r * a + px[i] * k
                px[i + 1] = g * a + px[i + 1] * k
                px[i + 2] = b * a + px[i + 2] * k
                px[i + 3] = a + px[i + 3] * k

    def erase(self, shape, f=None):
        """Cut a transparent gap, so a badge stands apart from what is behind."""
        if f is not None:
            shape = f.shape(shape)
        ix0, iy0, ix1, iy1 = self._span(shape, 1.0)
        d, px, w = shape.d, self.px, self.w
        for y in range(iy0, iy1):
            for x in range(ix0, ix1):
                cov = 0.5 - d(x + 0.5, y + 0.5)
                if cov <= 0.0:
                    continue
                k = 1.0 - min(cov, 1.0)
                i = (y * w + x) * 4
                for j in range(4):
                    px[i + j] *= k

    def shadow(self, shape, dx=1.0, dy=2.0, blur=3.0, alpha=0.28, f=None):
        if f is not None:
            shape = f.shape(shape)
        self.draw(move(shape, dx, dy), NAVY, alpha=alpha, soft=blur)

    def part(self, shape, fill, line, width, f=None):
        """A filled shape with an outline of `width` inside its edge."""
        self.draw(shape, line, f=f)
        self.draw(grow(shape, -width), fill, f=f)

    # -- output ------------------------------------------------------------

    def straight(self, x, y):
        i = (y * self.w + x) * 4
        a = self.px[i + 3]
        if a <= 1e-9:
            return (0.0, 0.0, 0.0, 0.0)
        a = min(a, 1.0)
        return (min(self.px[i] / a, 1.0), min(self.px[i + 1] / a, 1.0),
                min(self.px[i + 2] / a, 1.0), a)

    def rgba_rows(self, bits=8):
        """Unfiltered PNG rows of straight (not premultiplied) RGBA."""
        top = (1 << bits) - 1
        fmt = ">4H" if bits == 16 else "4B"
        rows = []
        for y in range(self.h):
            row = bytearray(b"\x00")
            for x in range(self.w):
                vals = [int(round(v * top)) for v in self.straight(x, y)]
                if vals[3] == 0:
                    vals = [0, 0, 0, 0]
                row += struct.pack(fmt, *vals)
            rows.append(bytes(row))
        return b"".join(rows)

    def save_rgba(self, path, bits=8):
        write_png(path, self.w, self.h, 6, bits, self.rgba_rows(bits))

    def ico_image(self):
        """The image as an icon file holds it: PNG from 256 px up, else a
        32-bit DIB (BGRA rows bottom-up, doubled height, 1-bit AND mask)."""
        rows = self.rgba_rows(8)
        if self.w >= 256:
            return png_bytes(self.w, self.h, 6, 8, rows)
        stride = self.w * 4 + 1
        colour = bytearray()
        mask = bytearray()
        mask_stride = ((self.w + 31) // 32) * 4
        for y in reversed(range(self.h)):
            row = rows[y * stride + 1:(y + 1) * stride]
            bits = bytearray(mask_stride)
            for x in range(self.w):
                r, g, b, a = row[x * 4:x * 4 + 4]
                colour += bytes((b, g, r, a))
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, self.w, self.h * 2, 1, 32, 0,
                             len(colour) + len(mask), 0, 0, 0, 0)
        return header + bytes(colour) + bytes(mask)


def write_ico(path, canvases):
    """An icon file with one image per canvas, smallest first."""
    images = [c.ico_image() for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    write_file(path, out + b"".join(images))


def _filter_rows(raw, width, height, bpp):
    """Choose a PNG row filter per row (smallest sum of absolute values, the
    usual heuristic): gradients then compress far better than unfiltered."""
    stride = width * bpp
    out = bytearray()
    prev = bytes(stride)
    for y in range(height):
        start = y * (stride + 1) + 1
        row = raw[start:start + stride]
        cands = [(0, row)]
        sub = bytes((row[i] - (row[i - bpp] if i >= bpp else 0)) & 255 for i in range(stride))
        up = bytes((row[i] - prev[i]) & 255 for i in range(stride))
        avg = bytes((row[i] - (((row[i - bpp] if i >= bpp else 0) + prev[i]) >> 1)) & 255
                    for i in range(stride))
        paeth = bytearray(stride)
        for i in range(stride):
            a = row[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
            pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
            paeth[i] = (row[i] - pred) & 255
        cands += [(1, sub), (2, up), (3, avg), (4, bytes(paeth))]
        kind, data = min(cands, key=lambda kd: sum(v if v < 128 else 256 - v for v in kd[1]))
        out.append(kind)
        out += data
        prev = row
    return bytes(out)


def png_bytes(width, height, colour_type, bits, raw):
    """`raw` holds unfiltered rows, each led by a zero filter byte."""
    channels = 4 if colour_type == 6 else 3
    filtered = zlib.compress(_filter_rows(raw, width, height, channels * bits // 8), 9)
    plain = zlib.compress(raw, 9)
    # tiny flat icons can come out smaller without filtering
    idat = filtered if len(filtered) < len(plain) else plain

    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data +
                struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))
    ihdr = struct.pack(">IIBBBBB", width, height, bits, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
            chunk(b"IDAT", idat) + chunk(b"IEND", b""))


def write_file(path, data):
    with open(path, "wb") as fh:
        fh.write(data)
    print("wrote", os.path.relpath(path, os.path.dirname(os.path.dirname(UI_DIR))))


def write_png(path, width, height, colour_type, bits, raw):
    write_file(path, png_bytes(width, height, colour_type, bits, raw))


# ---------------------------------------------------------------------------
# Lettering: geometric capitals drawn as strokes, cap height 1
# ---------------------------------------------------------------------------

GLYPHS = {
    # letter: (advance, polylines, arcs)
    "V": (0.80, [[(0, 0), (0.40, 1), (0.80, 0)]], []),
    "E": (0.56, [[(0.56, 0), (0, 0), (0, 1), (0.56, 1)], [(0, 0.5), (0.46, 0.5)]], []),
    "I": (0.0, [[(0, 0), (0, 1)]], []),
    "L": (0.52, [[(0, 0), (0, 1), (0.52, 1)]], []),
    "O": (1.0, [], [(0.5, 0.5, 0.5, 0, 360)]),
    "R": (0.62, [[(0, 1), (0, 0), (0.34, 0)], [(0.34, 0.52), (0, 0.52)],
                 [(0.30, 0.52), (0.62, 1)]], [(0.34, 0.26, 0.26, -90, 90)]),
    "F": (0.52, [[(0.52, 0), (0, 0), (0, 1)], [(0, 0.5), (0.44, 0.5)]], []),
    "N": (0.72, [[(0, 1), (0, 0), (0.72, 1), (0.72, 0)]], []),
    "C": (0.86, [], [(0.5, 0.5, 0.5, 48, 312)]),
    "Y": (0.72, [[(0, 0), (0.36, 0.5), (0.72, 0)], [(0.36, 0.5), (0.36, 1)]], []),
    "P": (0.60, [[(0, 1), (0, 0), (0.34, 0)], [(0.34, 0.52), (0, 0.52)]],
          [(0.34, 0.26, 0.26, -90, 90)]),
    "T": (0.66, [[(0, 0), (0.66, 0)], [(0.33, 0), (0.33, 1)]], []),
    " ": (0.30, [], []),
}


def lettering(text, x, y, height, width, tracking):
    """Stroke shape of `text`; (x, y) is the top-left of the stroke centre
    lines, `height` the distance between the top and bottom centre lines.
    Returns (shape, right edge)."""
    lines, arcs = [], []
    pen = x
    for ch in text:
        adv, pls, acs = GLYPHS[ch]
        for pl in pls:
            lines.append([(pen + u * height, y + v * height) for u, v in pl])
        for cx, cy, r, a0, a1 in acs:
            arcs.append((pen + cx * height, y + cy * height, r * height, a0, a1))
        pen += adv * height + tracking + (width if ch != " " else 0)
    return strokes(width, lines, arcs), pen - tracking - width + width / 2.0


# ---------------------------------------------------------------------------
# Motifs, drawn in a 64-unit design square
# ---------------------------------------------------------------------------

def padlock_shapes():
    arm = shackle(32, 23, 11.5, 14, 6.5)
    body = rbox(12.5, 29, 51.5, 58.5, 6)
    hole = union(circle(32, 40.5, 4.4),
                 polygon([(29.6, 42), (34.4, 42), (35.4, 51.5), (28.6, 51.5)]))
    return arm, body, hole


def draw_padlock(c, f, line=2.0):
    arm, body, hole = padlock_shapes()
    c.part(arm, linear(20, 0, 44, 0, [(0, STEEL), (0.35, STEEL_LIGHT), (1, STEEL_DARK)]),
           NAVY, line, f=f)
    c.part(body, vertical(29, 58.5, TEAL_LIGHT, TEAL, TEAL_DARK), NAVY, line, f=f)
    # soft top sheen, then a dark keyhole with a thin lit rim below it
    sheen = intersect(grow(body, -line - 1.0), rbox(0, 0, 64, 37))
    c.draw(sheen, WHITE, alpha=0.22, f=f)
    c.draw(move(hole, 0, 0.9), LIGHT, alpha=0.55, f=f)
    c.draw(hole, NAVY, f=f)


def padlock_silhouette():
    arm, body, _ = padlock_shapes()
    return union(arm, body)


def draw_gear(c, f, cx, cy, r_tip, line=1.6):
    g = gear(cx, cy, r_tip * 0.74, r_tip, 8, r_tip * 0.42, phase=math.pi / 8)
    c.part(g, radial(cx - r_tip * 0.35, cy - r_tip * 0.45, r_tip * 1.6,
                     [(0, AMBER_LIGHT), (0.45, AMBER), (1, AMBER_DARK)]),
           AMBER_LINE, line, f=f)
    # the hub carries a keyhole, tying the gear to the lock
    hub = circle(cx, cy, r_tip * 0.40)
    c.part(hub, vertical(cy - r_tip * 0.4, cy + r_tip * 0.4, rgb("#FFF8E6"), rgb("#F3DFB0")),
           AMBER_LINE, line * 0.8, f=f)
    k = r_tip * 0.40
    c.draw(union(circle(cx, cy - k * 0.22, k * 0.36),
                 polygon([(cx - k * 0.2, cy - k * 0.1), (cx + k * 0.2, cy - k * 0.1),
                          (cx + k * 0.3, cy + k * 0.55), (cx - k * 0.3, cy + k * 0.55)])), NAVY, f=f)
    return g


def key_shapes(length=44.0, bow_r=9.0):
    """A key lying along +x with the bow centred on the origin."""
    bow = circle(0, 0, bow_r)
    eye = circle(-bow_r * 0.22, 0, bow_r * 0.36)
    shaft = rbox(bow_r - 2, -2.8, length, 2.8, 1.2)
    bits = union(rbox(length - 12.5, 0, length - 8.5, 8.5, 0.8),
                 rbox(length - 6.5, 0, length - 1.0, 6.5, 0.8))
    collar = rbox(bow_r - 1.5, -4.2, bow_r + 2.2, 4.2, 1.0)
    outline = subtract(union(bow, shaft, bits, collar), eye)
    return outline, eye


def draw_key(c, f, x, y, angle, length=44.0, bow_r=9.0, line=1.8):
    outline, eye = key_shapes(length, bow_r)
    place = lambda s: rotate(move(s, x, y), angle, x, y)
    body = place(outline)
    c.part(body, linear(x - 20, y - 20, x + 20, y + 20,
                        [(0, AMBER_LIGHT), (0.45, AMBER), (1, AMBER_DARK)]),
           AMBER_LINE, line, f=f)
    # a bright glint along the upper rim of the bow
    c.draw(place(strokes(bow_r * 0.16, arcs=[(0, 0, bow_r * 0.68, 200, 280)])),
           WHITE, alpha=0.6, f=f)
    return body


def check_badge(c, f, cx, cy, r, line=1.6):
    disc = circle(cx, cy, r)
    c.part(disc, radial(cx - r * 0.4, cy - r * 0.5, r * 1.7,
                        [(0, GREEN_LIGHT), (0.5, GREEN), (1, GREEN_DARK)]),
           GREEN_DARK, line, f=f)
    tick = strokes(r * 0.34, [[(cx - r * 0.45, cy + r * 0.02), (cx - r * 0.12, cy + r * 0.36),
                                (cx + r * 0.48, cy - r * 0.34)]])
    c.draw(tick, WHITE, f=f)
    return disc


# ---------------------------------------------------------------------------
# The pictures
# ---------------------------------------------------------------------------

def settings_header():
    c = Canvas(64, 64)
    lock = Frame(-2, -1, 0.86)
    c.shadow(padlock_silhouette(), f=lock)
    draw_padlock(c, lock)
    c.erase(circle(46, 46, 18.5))
    c.shadow(circle(46, 46, 15), blur=3)
    draw_gear(c, None, 46, 46, 16)
    return c


def settings_icon32():
    c = Canvas(32, 32)
    lock = Frame(-1, -0.5, 0.43)
    draw_padlock(c, lock, line=2.4)
    c.erase(circle(23, 23, 9.8))
    draw_gear(c, None, 23, 23, 8.6, line=1.0)
    return c


def settings_icon16():
    c = Canvas(16, 16)
    g = gear(8, 8, 5.9, 7.9, 8, 3.4, phase=math.pi / 8)
    c.part(g, vertical(1, 15, AMBER_LIGHT, AMBER, AMBER_DARK), AMBER_LINE, 1.0)
    # keyhole in the hub
    c.draw(circle(8, 7.2, 3.0), rgb("#FFF4D6"))
    c.draw(union(circle(8, 6.9, 1.35), rbox(7.25, 7, 8.75, 10, 0.3)), NAVY)
    return c


def passwords_header():
    c = Canvas(64, 64)
    lock = Frame(-4, -1, 0.86)
    c.shadow(padlock_silhouette(), f=lock)
    draw_padlock(c, lock)
    outline, _ = key_shapes(40, 9)
    key_at = lambda s: rotate(move(s, 20, 48), -30, 20, 48)
    # the gap and the bow's eye both show the dialog behind
    c.erase(grow(key_at(union(*key_shapes(40, 9))), 2.2))
    c.shadow(key_at(outline), blur=3, alpha=0.25)
    draw_key(c, None, 20, 48, -30, length=40, bow_r=9)
    return c


def small_key(cy, bow_r=4.0):
    """Horizontal 16 px key, pixel-aligned shaft and bits, bow on the left."""
    top = cy - 2
    return subtract(union(circle(0.5 + bow_r, cy, bow_r), rbox(7, top, 16, top + 4),
                          rbox(10, top + 3, 13, top + 7), rbox(13, top + 3, 16, top + 6)),
                    circle(bow_r - 0.2, cy, 1.45))


def passwords_icon16():
    c = Canvas(16, 16)
    c.part(small_key(8), vertical(3, 14, AMBER_LIGHT, AMBER, AMBER_DARK), AMBER_LINE, 1.0)
    c.draw(rbox(8, 7, 16, 8), WHITE, alpha=0.35)
    return c


def password_edit_header():
    c = Canvas(64, 64)
    outline, _ = key_shapes(44, 10)
    key_at = lambda s: rotate(move(s, 13, 14), 40, 13, 14)
    c.shadow(key_at(outline), blur=3, alpha=0.25)
    draw_key(c, None, 13, 14, 40, length=44, bow_r=10)
    # pencil, pointing down-left, drawn along +x then turned
    px, py = 37, 60
    ang = -50
    pl = lambda s: rotate(move(s, px, py), ang, px, py)
    body = rbox(9, -4.5, 30, 4.5, 1.0)
    wood = polygon([(0, 0), (10, -4.5), (10, 4.5)])
    ferrule = rbox(26, -4.5, 30, 4.5, 0.5)
    eraser = rbox(29, -4.5, 34, 4.5, 2.0)
    whole = union(body, wood, eraser)
    c.erase(grow(pl(whole), 2.2))
    c.shadow(pl(whole), blur=3, alpha=0.25)
    c.part(pl(eraser), rgb("#E9A3A3"), rgb("#7A3A3A"), 1.4)
    c.part(pl(body), linear(0, px - 30, 0, py + 4, [(0, TEAL_LIGHT), (1, TEAL_DARK)]),
           NAVY, 1.4)
    c.draw(pl(rbox(10, -1.0, 30, 1.0)), WHITE, alpha=0.25)
    c.part(pl(ferrule), vertical(py - 30, py, STEEL_LIGHT, STEEL_DARK), NAVY, 1.2)
    c.part(pl(wood), rgb("#F3D9A9"), NAVY, 1.4)
    c.draw(pl(polygon([(0, 0), (3.6, -1.6), (3.6, 1.6)])), NAVY)
    return c


def password_edit_icon16():
    c = Canvas(16, 16)
    c.part(small_key(5, 4.0), vertical(0, 11, AMBER_LIGHT, AMBER, AMBER_DARK), AMBER_LINE, 1.0)
    # pencil, tip at the lower left, drawn over the key's bits
    body = capsule(8.2, 13.0, 14.0, 7.2, 3.8)
    tip = polygon([(3.0, 17.4), (4.6, 11.2), (9.8, 16.0)])
    c.erase(grow(union(body, tip), 1.0))
    c.part(body, vertical(6, 15, TEAL_LIGHT, TEAL_DARK), NAVY, 1.0)
    c.draw(tip, NAVY)
    c.draw(polygon([(4.6, 14.4), (5.4, 12.2), (8.0, 14.6), (5.6, 15.4)]), rgb("#F3D9A9"))
    return c


def report_header():
    c = Canvas(64, 64)
    sheet = polygon([(12, 5), (40, 5), (52, 17), (52, 59), (12, 59)])
    sheet = intersect(sheet, rbox(12, 5, 52, 59, 2.5))
    c.shadow(sheet, blur=3.5)
    c.part(sheet, linear(12, 5, 52, 59, [(0, WHITE), (1, PAPER_SHADE)]), SLATE, 1.6)
    fold = polygon([(40, 5), (52, 17), (40, 17)])
    c.part(intersect(fold, rbox(38, 3, 54, 19)), vertical(5, 17, rgb("#F7FAFB"), rgb("#C5D2DB")),
           SLATE, 1.4)
    rows = [(14, 0.66, True), (22, 0.8, True), (30, 0.55, True), (38, 0.72, True), (46, 0.6, False)]
    for y, frac, ok in rows:
        y += 6
        if y > 52:
            break
        c.draw(circle(19.5, y, 2.2), GREEN if ok else TEAL)
        c.draw(capsule(25, y, 25 + 22 * frac, y, 2.6), rgb("#8FA6B4"))
    c.erase(circle(46, 47, 15))
    c.shadow(circle(46, 47, 12.5), blur=3)
    check_badge(c, None, 46, 47, 12.5)
    return c


def report_icon16():
    c = Canvas(16, 16)
    sheet = union(polygon([(2, 1), (9, 1), (13, 5), (13, 15), (2, 15)]))
    c.part(sheet, WHITE, SLATE, 1.0)
    c.part(polygon([(9, 1), (13, 5), (9, 5)]), rgb("#D5DFE6"), SLATE, 1.0)
    for y in (4, 7, 10):
        c.draw(rbox(4, y, 8 if y == 4 else 10, y + 1), rgb("#7F97A6"))
    c.erase(circle(11.5, 11.5, 5.0))
    disc = circle(11.5, 11.5, 4.5)
    c.part(disc, vertical(7, 16, GREEN_LIGHT, GREEN_DARK), GREEN_DARK, 1.0)
    c.draw(strokes(1.7, [[(9.4, 11.5), (10.9, 13.0), (13.6, 10.1)]]), WHITE)
    return c


def about_icon16():
    c = Canvas(16, 16)
    c.draw(shackle(8, 5, 3.5, 3, 2.2), NAVY)
    c.draw(shackle(8, 5, 3.5, 3, 0.9), STEEL)
    body = rbox(2, 7, 14, 15, 1.5)
    c.part(body, vertical(7, 15, TEAL_LIGHT, TEAL, TEAL_DARK), NAVY, 1.0)
    c.draw(rbox(3, 8, 13, 9), WHITE, alpha=0.25)
    c.draw(union(circle(8, 10.4, 1.45), rbox(7.3, 10.5, 8.7, 13)), NAVY)
    return c


def program_icon(size):
    """veilor.exe's icon: the padlock alone, filling the square."""
    if size == 16:
        return about_icon16()
    c = Canvas(size, size)
    k = size / 64.0
    lock = Frame(-0.5 * k, -3.5 * k, k * 1.06)
    if size >= 48:
        c.shadow(padlock_silhouette(), dx=0.5 * k, dy=1.5 * k, blur=max(1.0, 2.5 * k),
                 alpha=0.3, f=lock)
    draw_padlock(c, lock, line=2.0 if size >= 48 else 2.6)
    return c


def about_banner():
    w, h = 430, 92
    c = Canvas(w, h, linear(0, 0, w, h * 2.5, [(0, NAVY), (0.55, rgb("#123E52")), (1, TEAL_DARK)]))
    # a soft glow and faint rings behind the lock
    c.draw(circle(48, 46, 80), radial(48, 46, 80, [(0, with_alpha(TEAL, 0.55)),
                                                   (1, with_alpha(TEAL, 0.0))]))
    for i, r in enumerate((40, 54, 68, 82, 96, 110)):
        c.draw(ring(48, 46, r, 1.0), TEAL_LIGHT, alpha=0.10 - i * 0.014)
    lock = Frame(12, 5, 1.14)
    c.shadow(padlock_silhouette(), dx=1.5, dy=3, blur=6, alpha=0.45, f=lock)
    draw_padlock(c, lock, line=1.8)

    mark, right = lettering("VEILOR", 112, 22, 30, 5.0, 10)
    c.shadow(mark, dx=1, dy=2, blur=3, alpha=0.5)
    c.draw(mark, vertical(18, 56, WHITE, LIGHT, rgb("#C9DCE4")))
    c.draw(capsule(113, 68, 150, 68, 2.4), AMBER)
    tag, _ = lettering("FILE ENCRYPTION", 160, 64.2, 7.6, 1.4, 4.1)
    c.draw(tag, rgb("#9FC7D2"))
    # a hairline along the bottom edge separates the banner from the dialog
    c.draw(rbox(-1, h - 2, w + 1, h + 1), AMBER, alpha=0.85)
    return c


# ---------------------------------------------------------------------------
# The password window skin: an opaque RGB picture; pure black is outside.
# ---------------------------------------------------------------------------

SKIN_W, SKIN_H, SKIN_RADIUS = 340, 98, 11


def skin_shape():
    return rbox(0, 0, SKIN_W, SKIN_H, SKIN_RADIUS)


def pass_enter_skin():
    w, h = SKIN_W, SKIN_H
    c = Canvas(w, h)
    outer = skin_shape()
    inner = rbox(1, 1, w - 1, h - 1, SKIN_RADIUS - 1)
    c.draw(rbox(-1, -1, w + 1, h + 1), rgb("#1E3F52"))
    c.draw(inner, vertical(1, 64, rgb("#FBFCFD"), rgb("#EEF3F6"), rgb("#E6EDF1")))
    # calm tray behind the password row, with a soft inset edge
    tray = rbox(4, 33, w - 4, 62, 5)
    c.draw(tray, rgb("#C9D6DE"))
    c.draw(grow(tray, -1), rgb("#FAFCFD"))
    c.draw(intersect(grow(tray, -1), move(grow(tray, -1), 0, 1)),
           vertical(34, 62, rgb("#E3EAEF"), rgb("#EDF2F5")))
    # branded footer
    band = intersect(inner, rbox(-1, 66, w + 1, h + 1))
    c.draw(band, linear(0, 66, 0, h, [(0, rgb("#1A8598")), (1, TEAL_DARK)]))
    c.draw(intersect(band, rbox(-1, 66, w + 1, 67)), AMBER)
    c.draw(intersect(band, circle(26, 82, 60)),
           radial(26, 82, 60, [(0, with_alpha(TEAL_LIGHT, 0.35)), (1, with_alpha(TEAL_LIGHT, 0))]))
    # a faint oversized key on the right of the band
    for s, a in ((key_shapes(70, 14)[0], 0.10),):
        c.draw(intersect(band, rotate(move(s, 262, 90), -14, 262, 90)), WHITE, alpha=a)
    lock = Frame(10, 68.5, 0.42)
    c.shadow(padlock_silhouette(), dx=0.5, dy=1, blur=2, alpha=0.4, f=lock)
    draw_padlock(c, lock, line=2.6)
    mark, _ = lettering("VEILOR", 44, 76.5, 11.5, 2.3, 4.6)
    c.shadow(mark, dx=0.5, dy=1, blur=1.6, alpha=0.45)
    c.draw(mark, LIGHT)

    # flatten: outside the rounded outline is pure black (the window is cut
    # from it, so that edge stays hard); nothing inside may be pure black
    raw = bytearray()
    od = outer.d
    for y in range(h):
        raw.append(0)
        for x in range(w):
            if od(x + 0.5, y + 0.5) > 0:
                raw += b"\x00\x00\x00"
                continue
            r, g, b, a = c.straight(x, y)
            px = bytes(int(round(v * a * 255)) for v in (r, g, b))
            if px == b"\x00\x00\x00":
                px = b"\x0a\x14\x1e"
            raw += px
    write_png(os.path.join(THEMES, "PassEnterFrm.png"), w, h, 2, 8, bytes(raw))


PICTURES_TO_DRAW = [
    ("settings_header.png", settings_header, 8),
    ("settings_icon32.png", settings_icon32, 8),
    ("settings_icon16.png", settings_icon16, 8),
    ("passwords_header.png", passwords_header, 8),
    ("passwords_icon16.png", passwords_icon16, 8),
    ("password_edit_header.png", password_edit_header, 8),
    ("password_edit_icon16.png", password_edit_icon16, 8),
    ("about_banner.png", about_banner, 16),
    ("about_icon16.png", about_icon16, 16),
    ("report_header.png", report_header, 8),
    ("report_icon16.png", report_icon16, 8),
]


def main():
    os.makedirs(PICTURES, exist_ok=True)
    os.makedirs(THEMES, exist_ok=True)
    for name, draw, bits in PICTURES_TO_DRAW:
        draw().save_rgba(os.path.join(PICTURES, name), bits)
    pass_enter_skin()
    write_ico(os.path.join(os.path.dirname(UI_DIR), "veilor.ico"),
              [program_icon(size) for size in (16, 24, 32, 48, 256)])


if __name__ == "__main__":
    main()
