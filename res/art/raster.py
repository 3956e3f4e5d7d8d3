"""A small anti-aliased rasteriser for Veldakor's icons and pictures.

Shapes are signed distance functions in design units (negative inside). A
Painter maps design units to pixels, turns each pixel's distance into its
coverage and composites a paint over the canvas. One sample per pixel is
enough: the distance gives a smooth one-pixel edge, and the shapes are
placed so that the 16-pixel icons keep their strokes on whole pixels.
"""

import math


class Shape:
    """A signed distance function with a bounding box (design units)."""

    def __init__(self, sdf, box):
        self.sdf = sdf
        self.box = box  # (x0, y0, x1, y1)

    def grow(self, r):
        """The shape with its edge moved out by r (in by a negative r)."""
        sdf = self.sdf
        x0, y0, x1, y1 = self.box
        m = max(r, 0.0)
        return Shape(lambda x, y: sdf(x, y) - r, (x0 - m, y0 - m, x1 + m, y1 + m))

    def outline(self, width):
        """A band of the given width centred on the shape's edge."""
        sdf = self.sdf
        h = width / 2.0
        x0, y0, x1, y1 = self.box
        return Shape(lambda x, y: abs(sdf(x, y)) - h, (x0 - h, y0 - h, x1 + h, y1 + h))

    def moved(self, dx, dy):
        sdf = self.sdf
        x0, y0, x1, y1 = self.box
        return Shape(lambda x, y: sdf(x - dx, y - dy), (x0 + dx, y0 + dy, x1 + dx, y1 + dy))

    def __or__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: min(a(x, y), b(x, y)), _box_union(self.box, other.box))

    def __and__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: max(a(x, y), b(x, y)), _box_meet(self.box, other.box))

    def __sub__(self, other):
        a, b = self.sdf, other.sdf
        return Shape(lambda x, y: max(a(x, y), -b(x, y)), self.box)


def _box_union(p, q):
    return (min(p[0], q[0]), min(p[1], q[1]), max(p[2], q[2]), max(p[3], q[3]))


def _box_meet(p, q):
    return (max(p[0], q[0]), max(p[1], q[1]), min(p[2], q[2]), min(p[3], q[3]))


def union(*shapes):
    result = shapes[0]
    for s in shapes[1:]:
        result = result | s
    return result


def circle(cx, cy, r):
    return Shape(lambda x, y: math.hypot(x - cx, y - cy) - r, (cx - r, cy - r, cx + r, cy + r))


def ellipse(cx, cy, rx, ry):
    # Not an exact distance, but close enough near the edge for shading.
    k = min(rx, ry)
    return Shape(lambda x, y: (math.hypot((x - cx) / rx, (y - cy) / ry) - 1.0) * k,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def box(x0, y0, x1, y1, radius=0.0):
    """An axis-aligned rectangle from (x0, y0) to (x1, y1), corners rounded."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def sdf(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius

    return Shape(sdf, (x0, y0, x1, y1))


def segment(ax, ay, bx, by, width):
    """A stroke of the given width from a to b with round caps."""
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-12
    h = width / 2.0

    def sdf(x, y):
        t = ((x - ax) * dx + (y - ay) * dy) / length2
        t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - h

    return Shape(sdf, (min(ax, bx) - h, min(ay, by) - h, max(ax, bx) + h, max(ay, by) + h))


def polyline(points, width):
    return union(*[segment(*points[i], *points[i + 1], width) for i in range(len(points) - 1)])


def polygon(points):
    """Any simple polygon: exact distance to the nearest edge, sign by crossings."""
    pts = list(points)
    n = len(pts)
    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]

    def sdf(x, y):
        d2 = float("inf")
        inside = False
        j = n - 1
        for i in range(n):
            xi, yi = pts[i]
            xj, yj = pts[j]
            ex, ey = xj - xi, yj - yi
            wx, wy = x - xi, y - yi
            t = (wx * ex + wy * ey) / ((ex * ex + ey * ey) or 1e-12)
            t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
            px, py = wx - ex * t, wy - ey * t
            d2 = min(d2, px * px + py * py)
            if (yi > y) != (yj > y) and x < xi + (y - yi) * ex / ey:
                inside = not inside
            j = i
        d = math.sqrt(d2)
        return -d if inside else d

    return Shape(sdf, (min(xs), min(ys), max(xs), max(ys)))


def regular_polygon(cx, cy, r, sides, rotation=0.0):
    step = 2.0 * math.pi / sides
    return polygon([(cx + r * math.cos(rotation + i * step), cy + r * math.sin(rotation + i * step))
                    for i in range(sides)])


def arc(cx, cy, r, start, end, width):
    """A stroke along a circle from angle start to end (degrees, y down, clockwise)."""
    a0, a1 = math.radians(start), math.radians(end)
    span = (a1 - a0) % (2.0 * math.pi)
    h = width / 2.0
    ends = [(cx + r * math.cos(a), cy + r * math.sin(a)) for a in (a0, a1)]

    def sdf(x, y):
        a = (math.atan2(y - cy, x - cx) - a0) % (2.0 * math.pi)
        if a <= span:
            return abs(math.hypot(x - cx, y - cy) - r) - h
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - h

    return Shape(sdf, (cx - r - h, cy - r - h, cx + r + h, cy + r + h))


def wedge(cx, cy, r, start, end):
    """A pie slice from angle start to end (degrees, y down, clockwise)."""
    steps = max(2, int(abs(end - start) / 10) + 1)
    far = r * 1.5
    pts = [(cx, cy)]
    for i in range(steps + 1):
        a = math.radians(start + (end - start) * i / steps)
        pts.append((cx + far * math.cos(a), cy + far * math.sin(a)))
    return polygon(pts) & circle(cx, cy, r)


# Paints: a function of the design point giving (r, g, b, a), 0-255 with a
# in 0-1.

def rgb(text, alpha=1.0):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16), alpha)


def solid(colour):
    return lambda x, y: colour


def vertical(top_y, top, bottom_y, bottom):
    """A linear gradient from colour top at top_y to bottom at bottom_y."""
    span = (bottom_y - top_y) or 1e-12

    def paint(x, y):
        t = (y - top_y) / span
        t = 0.0 if t < 0.0 else 1.0 if t > 1.0 else t
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(4))

    return paint


def radial(cx, cy, r, inner, outer):
    def paint(x, y):
        t = min(math.hypot(x - cx, y - cy) / r, 1.0)
        return tuple(inner[i] + (outer[i] - inner[i]) * t for i in range(4))

    return paint


class Canvas:
    """Straight-alpha RGBA pixels as floats; (0, 0) is the top-left pixel."""

    def __init__(self, width, height, background=None):
        self.width = width
        self.height = height
        colour = background or (0, 0, 0, 0.0)
        self.pixels = [list(colour) for _ in range(width * height)]

    def blend(self, px, py, colour, coverage):
        r, g, b, a = colour
        a *= coverage
        if a <= 0.0:
            return
        dst = self.pixels[py * self.width + px]
        da = dst[3]
        out = a + da * (1.0 - a)
        if out <= 0.0:
            return
        k = da * (1.0 - a)
        dst[0] = (r * a + dst[0] * k) / out
        dst[1] = (g * a + dst[1] * k) / out
        dst[2] = (b * a + dst[2] * k) / out
        dst[3] = out

    def rgba_rows(self):
        """Rows top to bottom of (r, g, b, a) byte tuples."""
        rows = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                r, g, b, a = self.pixels[y * self.width + x]
                row.append((_byte(r), _byte(g), _byte(b), _byte(a * 255.0)))
            rows.append(row)
        return rows


def _byte(v):
    v = int(round(v))
    return 0 if v < 0 else 255 if v > 255 else v


class Painter:
    """Draws design-unit shapes onto a canvas: pixel = origin + unit * scale."""

    def __init__(self, canvas, scale, ox=0.0, oy=0.0):
        self.canvas = canvas
        self.scale = scale
        self.ox = ox
        self.oy = oy

    def fill(self, shape, paint, softness=1.0):
        """Composites paint where shape is; softness is the edge width in pixels."""
        if isinstance(paint, tuple):
            paint = solid(paint)
        c = self.canvas
        s = self.scale
        x0, y0, x1, y1 = shape.box
        pad = softness + 1.0
        px0 = max(0, int(math.floor(self.ox + x0 * s - pad)))
        py0 = max(0, int(math.floor(self.oy + y0 * s - pad)))
        px1 = min(c.width, int(math.ceil(self.ox + x1 * s + pad)))
        py1 = min(c.height, int(math.ceil(self.oy + y1 * s + pad)))
        sdf = shape.sdf
        for py in range(py0, py1):
            y = (py + 0.5 - self.oy) / s
            for px in range(px0, px1):
                x = (px + 0.5 - self.ox) / s
                d = sdf(x, y) * s / softness
                if d >= 0.5:
                    continue
                coverage = 1.0 if d <= -0.5 else 0.5 - d
                c.blend(px, py, paint(x, y), coverage)
