"""A tiny anti-aliased painter for our generated pictures, plus the phone's frame formats.

Shapes are given as signed distance functions (negative inside, in pixels), so edges get
one pixel of smooth coverage and glows fall off with the distance. Only the standard
library is used, so the pictures come out the same on every machine with Python 3.
"""
import gzip
import io
import math

FRAME_WIDTH = 320
FRAME_HEIGHT = 480
FRAME_BYTES = FRAME_WIDTH * FRAME_HEIGHT * 2

# Fixed time stamp for the gzip members, so that a rerun reproduces the committed bytes.
GZIP_MTIME = 1335404288  # 2012-04-26 01:38:08 UTC

OGOL_MAGIC = b"OGOL"


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def hex_rgb(value):
    return ((value >> 16) & 255, (value >> 8) & 255, value & 255)


class Canvas:
    def __init__(self, width=FRAME_WIDTH, height=FRAME_HEIGHT, background=(0, 0, 0)):
        self.width = width
        self.height = height
        self.px = [list(map(float, background)) for _ in range(width * height)]

    def _box(self, box):
        x0, y0, x1, y1 = box if box else (0, 0, self.width, self.height)
        return (max(0, int(math.floor(x0))), max(0, int(math.floor(y0))),
                min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1))))

    def fill(self, color_at):
        """Sets every pixel from color_at(x, y) (pixel centres)."""
        for y in range(self.height):
            row = y * self.width
            for x in range(self.width):
                self.px[row + x] = list(color_at(x + 0.5, y + 0.5))

    def paint(self, sdf, color, box=None, alpha=1.0):
        """Covers the shape sdf < 0 with color (a tuple, or a function of x, y)."""
        x0, y0, x1, y1 = self._box(box)
        for y in range(y0, y1):
            cy = y + 0.5
            row = y * self.width
            for x in range(x0, x1):
                cx = x + 0.5
                d = sdf(cx, cy)
                if d >= 0.5:
                    continue
                cover = alpha if d <= -0.5 else alpha * (0.5 - d)
                c = color(cx, cy) if callable(color) else color
                p = self.px[row + x]
                p[0] += (c[0] - p[0]) * cover
                p[1] += (c[1] - p[1]) * cover
                p[2] += (c[2] - p[2]) * cover

    def glow(self, sdf, color, radius, strength=1.0, box=None):
        """Adds light that falls off outside the shape as exp(-distance / radius)."""
        x0, y0, x1, y1 = self._box(box)
        for y in range(y0, y1):
            cy = y + 0.5
            row = y * self.width
            for x in range(x0, x1):
                d = sdf(x + 0.5, cy)
                k = strength * (1.0 if d <= 0 else math.exp(-d / radius))
                if k < 0.002:
                    continue
                p = self.px[row + x]
                p[0] += color[0] * k
                p[1] += color[1] * k
                p[2] += color[2] * k

    def rgb_bytes(self):
        out = bytearray(self.width * self.height * 3)
        for i, p in enumerate(self.px):
            out[3 * i] = int(clamp(p[0], 0, 255) + 0.5)
            out[3 * i + 1] = int(clamp(p[1], 0, 255) + 0.5)
            out[3 * i + 2] = int(clamp(p[2], 0, 255) + 0.5)
        return bytes(out)

    def ppm(self):
        return b"P6\n%d %d\n255\n" % (self.width, self.height) + self.rgb_bytes()


# Signed distance functions; all take pixel coordinates with y growing downwards.

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ellipse(cx, cy, rx, ry):
    # Not exact away from the edge, but smooth and exact on it, which is what coverage needs.
    def d(x, y):
        nx, ny = (x - cx) / rx, (y - cy) / ry
        n = math.hypot(nx, ny)
        if n == 0:
            return -min(rx, ry)
        g = math.hypot(nx / rx, ny / ry)
        return (n - 1.0) * n / g if g else 0.0
    return d


def box(x0, y0, x1, y1, radius=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return d


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else clamp(((x - ax) * dx + (y - ay) * dy) / length2)
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def polygon(points):
    """Signed distance to a simple polygon (even-odd inside test)."""
    n = len(points)

    def d(x, y):
        best = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            best = min(best, segment_distance(x, y, ax, ay, bx, by))
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -best if inside else best
    return d


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def intersect(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


def offset(shape, amount):
    return lambda x, y: shape(x, y) - amount


class Strokes:
    """Line work: segments and circular arcs stroked with a round pen of a given width."""

    def __init__(self, width):
        self.half = width / 2.0
        self.parts = []

    def line(self, ax, ay, bx, by):
        self.parts.append(("l", ax, ay, bx, by))
        return self

    def arc(self, cx, cy, r, start_deg, end_deg):
        """Arc from start to end angle (degrees, clockwise on screen since y grows down)."""
        a0, a1 = math.radians(start_deg), math.radians(end_deg)
        self.parts.append(("a", cx, cy, r, a0, a1))
        return self

    def _distance(self, x, y, part):
        if part[0] == "l":
            return segment_distance(x, y, *part[1:])
        _, cx, cy, r, a0, a1 = part
        angle = math.atan2(y - cy, x - cx)
        while angle < a0:
            angle += 2 * math.pi
        while angle > a0 + 2 * math.pi:
            angle -= 2 * math.pi
        if angle <= a1:
            return abs(math.hypot(x - cx, y - cy) - r)
        return min(math.hypot(x - cx - r * math.cos(a), y - cy - r * math.sin(a)) for a in (a0, a1))

    def sdf(self):
        parts = list(self.parts)
        half = self.half
        return lambda x, y: min(self._distance(x, y, p) for p in parts) - half


def glyph_strokes(text, left, top, height, pen, gap=None):
    """Our own stroke lettering for the few characters the boot screens use."""
    w = height * 0.55
    gap = height * 0.18 if gap is None else gap
    s = Strokes(pen)
    x = left
    for ch in text:
        u = w / 1.0
        h = height
        if ch == "U":
            r = u / 2
            s.line(x, top, x, top + h - r).line(x + u, top, x + u, top + h - r)
            s.arc(x + r, top + h - r, r, 0, 180)
        elif ch == "8":
            r1, r2 = h * 0.235, h * 0.265
            s.arc(x + u / 2, top + r1, r1 * 1.0, 0, 360)
            s.arc(x + u / 2, top + h - r2, r2, 0, 360)
        elif ch == "3":
            r1, r2 = h * 0.24, h * 0.26
            s.arc(x + u / 2, top + r1, r1, -165, 90)
            s.arc(x + u / 2, top + h - r2, r2, -90, 165)
        elif ch == "0":
            r = u / 2
            s.line(x, top + r, x, top + h - r).line(x + u, top + r, x + u, top + h - r)
            s.arc(x + r, top + r, r, 180, 360).arc(x + r, top + h - r, r, 0, 180)
        elif ch == "K":
            s.line(x, top, x, top + h).line(x + u, top, x, top + h * 0.55)
            s.line(x + u * 0.3, top + h * 0.42, x + u, top + h)
        elif ch == " ":
            pass
        else:
            raise ValueError("no strokes for %r" % ch)
        x += u + gap
    return s


def text_width(text, height, gap=None):
    w = height * 0.55
    gap = height * 0.18 if gap is None else gap
    return len(text) * w + (len(text) - 1) * gap


# The phone's formats.

def rgb565_frame(rgb, width=FRAME_WIDTH, height=FRAME_HEIGHT):
    """Raw frame: one little-endian 16-bit word per pixel, top row first."""
    out = bytearray(width * height * 2)
    for i in range(width * height):
        r, g, b = rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]
        word = ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3)
        out[2 * i] = word & 0xFF
        out[2 * i + 1] = word >> 8
    return bytes(out)


def gzip_member(data, stored_name):
    """One gzip member at level 9 with a stored file name, as gzip -9 writes it."""
    buf = io.BytesIO()
    with gzip.GzipFile(filename=stored_name, mode="wb", compresslevel=9,
                       fileobj=buf, mtime=GZIP_MTIME) as f:
        f.write(data)
    return buf.getvalue()


def ogol_image(member, slot_size):
    """'OGOL', the member's length (32-bit little-endian), the member, 0xFF to slot_size."""
    if 8 + len(member) > slot_size:
        raise ValueError("member of %d bytes does not fit a %d-byte slot" % (len(member), slot_size))
    head = OGOL_MAGIC + len(member).to_bytes(4, "little") + member
    return head + b"\xff" * (slot_size - len(head))
