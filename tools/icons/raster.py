"""A tiny anti-aliased rasteriser and PNG writer (Python standard library only).

Shapes are point-in-shape tests in continuous pixel coordinates: pixel (i, j)
covers the square [i, i + 1] x [j, j + 1].  Each pixel is sampled on an
SS x SS grid and the coverage becomes the alpha of the paint, composited with
the usual "over" operator.  Integer-aligned rectangles therefore come out
crisp, while diagonals and curves are smoothed.
"""

import math
import struct
import zlib

SS = 8  # samples per pixel along each axis


def hex_rgb(colour):
    colour = colour.lstrip("#")
    return tuple(int(colour[k:k + 2], 16) / 255.0 for k in (0, 2, 4))


# --------------------------------------------------------------------------
# Shapes.  Each has bbox() -> (x0, y0, x1, y1) and inside(x, y) -> bool.


class Rect:
    def __init__(self, x0, y0, x1, y1):
        self.x0, self.y0, self.x1, self.y1 = x0, y0, x1, y1

    def bbox(self):
        return self.x0, self.y0, self.x1, self.y1

    def inside(self, x, y):
        return self.x0 <= x < self.x1 and self.y0 <= y < self.y1


def px_rect(x0, y0, x1, y1):
    """Pixels x0..x1, y0..y1 inclusive."""
    return Rect(x0, y0, x1 + 1, y1 + 1)


class RoundRect:
    def __init__(self, x0, y0, x1, y1, r):
        self.x0, self.y0, self.x1, self.y1, self.r = x0, y0, x1, y1, r

    def bbox(self):
        return self.x0, self.y0, self.x1, self.y1

    def inside(self, x, y):
        if not (self.x0 <= x < self.x1 and self.y0 <= y < self.y1):
            return False
        r = self.r
        cx = min(max(x, self.x0 + r), self.x1 - r)
        cy = min(max(y, self.y0 + r), self.y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


class Ellipse:
    def __init__(self, cx, cy, rx, ry=None):
        self.cx, self.cy, self.rx = cx, cy, rx
        self.ry = rx if ry is None else ry

    def bbox(self):
        return (self.cx - self.rx, self.cy - self.ry,
                self.cx + self.rx, self.cy + self.ry)

    def inside(self, x, y):
        dx = (x - self.cx) / self.rx
        dy = (y - self.cy) / self.ry
        return dx * dx + dy * dy <= 1.0


class Poly:
    """Filled polygon, even-odd rule."""

    def __init__(self, pts):
        self.pts = [(float(a), float(b)) for a, b in pts]

    def bbox(self):
        xs = [p[0] for p in self.pts]
        ys = [p[1] for p in self.pts]
        return min(xs), min(ys), max(xs), max(ys)

    def inside(self, x, y):
        res = False
        pts = self.pts
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y):
                xc = xi + (y - yi) * (xj - xi) / (yj - yi)
                if x < xc:
                    res = not res
            j = i
        return res


class Seg:
    """Thick segment with round caps (a capsule)."""

    def __init__(self, p, q, width):
        self.p, self.q, self.h = p, q, width / 2.0
        dx, dy = q[0] - p[0], q[1] - p[1]
        self.len2 = dx * dx + dy * dy

    def bbox(self):
        (ax, ay), (bx, by), h = self.p, self.q, self.h
        return min(ax, bx) - h, min(ay, by) - h, max(ax, bx) + h, max(ay, by) + h

    def inside(self, x, y):
        (ax, ay), (bx, by) = self.p, self.q
        if self.len2 == 0:
            t = 0.0
        else:
            t = ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / self.len2
            t = min(1.0, max(0.0, t))
        dx = x - (ax + t * (bx - ax))
        dy = y - (ay + t * (by - ay))
        return dx * dx + dy * dy <= self.h * self.h


class Arc:
    """Stroke of width w along a circle of radius r, from angle a0 to a1
    (degrees, measured with y pointing down, increasing clockwise on screen),
    with round caps."""

    def __init__(self, cx, cy, r, a0, a1, w):
        self.cx, self.cy, self.r, self.h = cx, cy, r, w / 2.0
        self.a0, self.a1 = min(a0, a1), max(a0, a1)
        self.caps = [Seg(self.point(a), self.point(a), w) for a in (a0, a1)]

    def point(self, a):
        t = math.radians(a)
        return self.cx + self.r * math.cos(t), self.cy + self.r * math.sin(t)

    def bbox(self):
        e = self.r + self.h
        return self.cx - e, self.cy - e, self.cx + e, self.cy + e

    def inside(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        d = math.hypot(dx, dy)
        if abs(d - self.r) <= self.h:
            a = math.degrees(math.atan2(dy, dx))
            for k in (-360, 0, 360):
                if self.a0 <= a + k <= self.a1:
                    return True
        return any(c.inside(x, y) for c in self.caps)


class Union:
    def __init__(self, *shapes):
        self.shapes = [s for s in shapes if s is not None]

    def bbox(self):
        boxes = [s.bbox() for s in self.shapes]
        return (min(b[0] for b in boxes), min(b[1] for b in boxes),
                max(b[2] for b in boxes), max(b[3] for b in boxes))

    def inside(self, x, y):
        return any(s.inside(x, y) for s in self.shapes)


class Diff:
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bbox(self):
        return self.a.bbox()

    def inside(self, x, y):
        return self.a.inside(x, y) and not self.b.inside(x, y)


class Intersect:
    def __init__(self, a, b):
        self.a, self.b = a, b

    def bbox(self):
        a, b = self.a.bbox(), self.b.bbox()
        return max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3])

    def inside(self, x, y):
        return self.a.inside(x, y) and self.b.inside(x, y)


class Pixels:
    """Whole pixels given as a picture of strings: '#' marks a pixel."""

    def __init__(self, x, y, rows):
        self.cells = set()
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch == "#":
                    self.cells.add((x + i, y + j))
        xs = [c[0] for c in self.cells] or [x]
        ys = [c[1] for c in self.cells] or [y]
        self.box = (min(xs), min(ys), max(xs) + 1, max(ys) + 1)

    def bbox(self):
        return self.box

    def inside(self, x, y):
        return (math.floor(x), math.floor(y)) in self.cells


def polyline(points, width):
    return Union(*[Seg(points[k], points[k + 1], width)
                   for k in range(len(points) - 1)])


def poly_outline(points, width):
    pts = list(points) + [points[0]]
    return polyline(pts, width)


def grown_poly(points, by=1.0):
    """The polygon with a band of `by` pixels around it (for outlines)."""
    return Union(Poly(points), poly_outline(points, 2 * by))


# --------------------------------------------------------------------------


class Canvas:
    """A picture of width x height in the drawing's own units, stored at `scale`
    pixels per unit: the same drawing at scale 2 is the sharp picture for
    screens of twice the density (the @2x files)."""

    def __init__(self, width, height, scale=1):
        self.scale = scale
        self.w, self.h = width * scale, height * scale
        self.rgba = [[(0.0, 0.0, 0.0, 0.0)] * self.w for _ in range(self.h)]

    def coverage(self, shape, i, j):
        n = 0
        step = 1.0 / SS
        k = 1.0 / self.scale
        for sy in range(SS):
            y = (j + (sy + 0.5) * step) * k
            for sx in range(SS):
                if shape.inside((i + (sx + 0.5) * step) * k, y):
                    n += 1
        return n / float(SS * SS)

    def _pixel_box(self, shape):
        x0, y0, x1, y1 = shape.bbox()
        s = self.scale
        return x0 * s, y0 * s, x1 * s, y1 * s

    def fill(self, shape, colour, alpha=1.0):
        r, g, b = hex_rgb(colour)
        x0, y0, x1, y1 = self._pixel_box(shape)
        for j in range(max(0, int(math.floor(y0))), min(self.h, int(math.ceil(y1)) + 1)):
            row = self.rgba[j]
            for i in range(max(0, int(math.floor(x0))), min(self.w, int(math.ceil(x1)) + 1)):
                c = self.coverage(shape, i, j) * alpha
                if c <= 0.0:
                    continue
                dr, dg, db, da = row[i]
                oa = c + da * (1.0 - c)
                if oa <= 0.0:
                    continue
                row[i] = ((r * c + dr * da * (1.0 - c)) / oa,
                          (g * c + dg * da * (1.0 - c)) / oa,
                          (b * c + db * da * (1.0 - c)) / oa,
                          oa)

    def erase(self, shape):
        """Cut a hole: multiply alpha by (1 - coverage)."""
        x0, y0, x1, y1 = self._pixel_box(shape)
        for j in range(max(0, int(math.floor(y0))), min(self.h, int(math.ceil(y1)) + 1)):
            row = self.rgba[j]
            for i in range(max(0, int(math.floor(x0))), min(self.w, int(math.ceil(x1)) + 1)):
                c = self.coverage(shape, i, j)
                if c > 0.0:
                    r, g, b, a = row[i]
                    row[i] = (r, g, b, a * (1.0 - c))

    def box(self, x0, y0, x1, y1, fill, stroke):
        """A pixel-aligned rectangle x0..x1, y0..y1 (inclusive) with a
        one-pixel border."""
        self.fill(px_rect(x0, y0, x1, y1), stroke)
        if x1 - x0 >= 2 and y1 - y0 >= 2 and fill is not None:
            self.fill(px_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1), fill)

    def outlined(self, shape, grown, fill, stroke):
        """Paint `grown` in the stroke colour, then `shape` in the fill."""
        self.fill(grown, stroke)
        self.fill(shape, fill)

    def flip_horizontal(self):
        for row in self.rgba:
            row.reverse()

    def save_png(self, path):
        raw = bytearray()
        for row in self.rgba:
            raw.append(0)
            for r, g, b, a in row:
                raw += bytes((_byte(r), _byte(g), _byte(b), _byte(a)))
        write_png(path, self.w, self.h, bytes(raw))


def _byte(v):
    return max(0, min(255, int(round(v * 255.0))))


def write_png(path, width, height, raw_rgba_rows):
    def chunk(tag, data):
        body = tag + data
        return (struct.pack(">I", len(data)) + body +
                struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
           chunk(b"IDAT", zlib.compress(raw_rgba_rows, 9)) +
           chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)
