"""Drawing for the theme images: colours, an RGBA image with anti-aliased
painting of shapes given as predicates, the shapes and glyphs the images
share, and a minimal PNG writer for contact sheets."""

import math
import struct
import zlib

SAMPLES = 5


def rgb(value):
    """A 0xRRGGBB value as an (r, g, b) tuple."""
    return ((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF)


def theme_colour(value):
    """A theme table colour 0x00BBGGRR as (r, g, b)."""
    return (value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


class Image:
    """Straight-alpha RGBA pixels, top row first, on a matte colour."""

    def __init__(self, width, height, matte):
        self.width = width
        self.height = height
        self.matte = matte
        self.colour = [[(0.0, 0.0, 0.0)] * width for _ in range(height)]
        self.alpha = [[0.0] * width for _ in range(height)]

    def paint(self, shape, colour, opacity=1.0):
        """Composites colour (an (r, g, b) or a function of x, y) where shape
        covers, weighted by the covered part of each pixel."""
        step = 1.0 / SAMPLES
        for y in range(self.height):
            for x in range(self.width):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if shape(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                            hits += 1
                if not hits:
                    continue
                a = opacity * hits / (SAMPLES * SAMPLES)
                c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                self.over(x, y, c, a)

    def over(self, x, y, c, a):
        old_a = self.alpha[y][x]
        new_a = a + old_a * (1 - a)
        if new_a <= 0:
            return
        old_c = self.colour[y][x]
        self.colour[y][x] = tuple((c[i] * a + old_c[i] * old_a * (1 - a)) / new_a for i in range(3))
        self.alpha[y][x] = new_a

    def fill(self, colour):
        self.paint(rect(0, 0, self.width, self.height), colour)

    def argb(self):
        """Pixels 0xAARRGGBB, top row first, colours composited on the matte."""
        rows = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                a = self.alpha[y][x]
                c = mix(self.matte, self.colour[y][x], a)
                channels = [min(255, max(0, int(round(v)))) for v in c]
                alpha = min(255, max(0, int(round(a * 255))))
                row.append((alpha << 24) | (channels[0] << 16) | (channels[1] << 8) | channels[2])
            rows.append(row)
        return rows

    def transposed(self):
        """The image mirrored over its main diagonal: x and y exchanged."""
        t = Image(self.height, self.width, self.matte)
        for y in range(self.height):
            for x in range(self.width):
                t.colour[x][y] = self.colour[y][x]
                t.alpha[x][y] = self.alpha[y][x]
        return t


# Shapes: predicates over continuous coordinates, pixel (x, y) covering
# [x, x + 1) x [y, y + 1), y growing downwards.

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def difference(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def polygon(points):
    def inside(x, y):
        result = False
        n = len(points)
        for i in range(n):
            (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
            if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                result = not result
        return result
    return inside


def segment_distance(x, y, xa, ya, xb, yb):
    dx, dy = xb - xa, yb - ya
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / length))
    return math.hypot(x - (xa + t * dx), y - (ya + t * dy))


def stroke(points, width):
    """A polyline with round joins and caps."""
    half = width / 2.0
    pairs = list(zip(points, points[1:]))
    return lambda x, y: any(segment_distance(x, y, a[0], a[1], b[0], b[1]) <= half for a, b in pairs)


def arc(cx, cy, r, width, start, end):
    """Part of a ring; angles in degrees, clockwise from 3 o'clock (y down)."""
    half = width / 2.0

    def inside(x, y):
        if abs(math.hypot(x - cx, y - cy) - r) > half:
            return False
        angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
        return (angle - start) % 360 <= (end - start) % 360
    return inside


def vertical(top_colour, bottom_colour, y0, y1):
    """A top-to-bottom gradient between rows y0 and y1."""
    return lambda x, y: mix(top_colour, bottom_colour, min(1.0, max(0.0, (y - y0) / max(1e-9, y1 - y0))))


# Glyphs shared by several images.

def check_mark(img, x0, y0, w, h, colour, width):
    img.paint(stroke([(x0, y0 + h * 0.55), (x0 + w * 0.38, y0 + h * 0.9), (x0 + w, y0 + h * 0.1)], width), colour)


def cross(img, cx, cy, half, colour, width):
    img.paint(stroke([(cx - half, cy - half), (cx + half, cy + half)], width), colour)
    img.paint(stroke([(cx - half, cy + half), (cx + half, cy - half)], width), colour)


def chevron(img, cx, cy, size, direction, colour, width):
    """An open arrow head pointing right, left, down or up."""
    pts = {
        "right": [(cx - size / 2, cy - size), (cx + size / 2, cy), (cx - size / 2, cy + size)],
        "left": [(cx + size / 2, cy - size), (cx - size / 2, cy), (cx + size / 2, cy + size)],
        "down": [(cx - size, cy - size / 2), (cx, cy + size / 2), (cx + size, cy - size / 2)],
        "up": [(cx - size, cy + size / 2), (cx, cy - size / 2), (cx + size, cy + size / 2)],
    }[direction]
    img.paint(stroke(pts, width), colour)


def triangle(img, cx, cy, size, direction, colour):
    """A filled arrow head: size is half its base."""
    pts = {
        "down": [(cx - size, cy - size / 2), (cx + size, cy - size / 2), (cx, cy + size / 2)],
        "up": [(cx - size, cy + size / 2), (cx + size, cy + size / 2), (cx, cy - size / 2)],
        "left": [(cx + size / 2, cy - size), (cx + size / 2, cy + size), (cx - size / 2, cy)],
        "right": [(cx - size / 2, cy - size), (cx - size / 2, cy + size), (cx + size / 2, cy)],
    }[direction]
    img.paint(polygon(pts), colour)


def plus(img, cx, cy, half, colour, width):
    img.paint(stroke([(cx - half, cy), (cx + half, cy)], width), colour)
    img.paint(stroke([(cx, cy - half), (cx, cy + half)], width), colour)


def minus(img, cx, cy, half, colour, width):
    img.paint(stroke([(cx - half, cy), (cx + half, cy)], width), colour)


def star(cx, cy, outer, inner):
    pts = []
    for i in range(10):
        r = outer if i % 2 == 0 else inner
        a = math.radians(-90 + 36 * i)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polygon(pts)


def png_bytes(width, height, rows):
    """The PNG file of rows: lists of (r, g, b) per pixel, top row first."""
    raw = b"".join(b"\x00" + bytes(v for pixel in row for v in pixel) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def write_png(path, width, height, rows):
    """rows: lists of (r, g, b) per pixel, top row first."""
    with open(path, "wb") as out:
        out.write(png_bytes(width, height, rows))
