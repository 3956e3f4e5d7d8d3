"""Veldakor's artwork: every icon and status picture, drawn from shapes.

All pictures are designed on a 16 x 16 unit grid (one unit is one pixel of
the 16-pixel icons, so their strokes sit on whole pixels) and scaled for the
larger images. The five health symbols differ in outline as well as colour,
so they read without colour vision too:

  good     green circle, white check mark
  caution  amber triangle, dark exclamation mark
  danger   red octagon, white cross
  error    grey square, white question mark
  hot      thermometer with orange mercury and heat waves
"""

from raster import (Canvas, Painter, arc, box, circle, ellipse, polygon, polyline, radial,
                    regular_polygon, rgb, segment, union, vertical, wedge)
import math

WHITE = rgb("ffffff")


def _body(p, shape, top, bottom, edge, edge_width, gloss):
    """A filled symbol body: dark edge, vertical gradient, optional gloss."""
    p.fill(shape, edge)
    inner = shape.grow(-edge_width)
    p.fill(inner, vertical(inner.box[1], top, inner.box[3], bottom))
    if gloss:
        x0, y0, x1, y1 = inner.box
        shine = ellipse((x0 + x1) / 2, y0 + (y1 - y0) * 0.18, (x1 - x0) * 0.42, (y1 - y0) * 0.3)
        p.fill(inner & shine, vertical(y0, rgb("ffffff", 0.45), y0 + (y1 - y0) * 0.45, rgb("ffffff", 0.0)))


# --- Health symbols -------------------------------------------------------

def good(p, large=False):
    body = circle(8, 8, 7.5)
    _body(p, body, rgb("63d16a"), rgb("26963b"), rgb("17612a"), 0.9 if not large else 0.45, large)
    p.fill(polyline([(4.3, 8.2), (6.9, 10.9), (11.8, 5.4)], 2.1 if not large else 1.8), WHITE)


def caution(p, large=False):
    r = 1.3
    tri = polygon([(8, 1.2 + r * 1.7), (15.3 - r * 1.4, 14.6 - r), (0.7 + r * 1.4, 14.6 - r)]).grow(r)
    _body(p, tri, rgb("ffd54a"), rgb("f5a300"), rgb("8a5a00"), 0.9 if not large else 0.45, large)
    ink = rgb("2b1d00")
    p.fill(segment(8, 5.6, 8, 9.3, 2.0 if not large else 1.7), ink)
    p.fill(circle(8, 12.0, 1.1 if not large else 0.95), ink)


def danger(p, large=False):
    octagon = regular_polygon(8, 8, 7.9, 8, math.radians(22.5)).grow(-0.35).grow(0.35)
    _body(p, octagon, rgb("f0524f"), rgb("c01f1f"), rgb("6e0e0e"), 0.9 if not large else 0.45, large)
    w = 2.1 if not large else 1.8
    p.fill(segment(5.2, 5.2, 10.8, 10.8, w) | segment(10.8, 5.2, 5.2, 10.8, w), WHITE)


def error(p, large=False):
    square = box(1.0, 1.0, 15.0, 15.0, 2.2)
    _body(p, square, rgb("7a7f85"), rgb("42464b"), rgb("1f2124"), 0.9 if not large else 0.45, large)
    w = 2.0 if not large else 1.7
    hook = arc(8, 6.0, 2.4, 180, 60, w)
    stem = segment(8 + 2.4 * math.cos(math.radians(60)), 6.0 + 2.4 * math.sin(math.radians(60)), 8, 9.0, w)
    p.fill(hook | stem | segment(8, 9.0, 8, 9.4, w), WHITE)
    p.fill(circle(8, 12.2, 1.1 if not large else 0.95), WHITE)


def hot(p, large=True):
    glass = union(box(5.3, 0.9, 10.7, 10.5, 2.7), circle(8, 12.0, 3.6))
    edge = rgb("7a2300")
    p.fill(glass, edge)
    p.fill(glass.grow(-0.5), vertical(1.2, rgb("ffffff"), 15.0, rgb("ffe7d6")))
    mercury = union(box(6.75, 3.8, 9.25, 12.0, 1.25), circle(8, 12.0, 2.6))
    p.fill(mercury, vertical(4.0, rgb("ffa21a"), 14.5, rgb("f24e00")))
    if large:
        p.fill(ellipse(7.1, 11.0, 0.9, 0.65), rgb("ffffff", 0.55))
        for y in (3.4, 5.4, 7.4):
            p.fill(segment(5.9, y, 6.8, y, 0.32), rgb("7a2300", 0.65))
    # Heat rising on both sides.
    for x in (2.3, 13.7):
        points = [(x + 0.8 * math.sin(t / 4.0 * math.pi), 10.0 - t * 0.9) for t in range(0, 9)]
        p.fill(polyline(points, 1.1), rgb("ff7a00"))


STATUS = {"good": good, "caution": caution, "danger": danger, "error": error, "hot": hot}


# --- Program icon ---------------------------------------------------------

def program(p, size):
    """A hard disk seen from above with a heartbeat across it."""
    small = size <= 24
    case = box(1.3, 0.6, 14.7, 15.4, 1.7 if not small else 1.4)
    _body(p, case, rgb("5d7481"), rgb("30414b"), rgb("1a252b"), 0.5 if not small else 0.8, False)
    if not small:
        for x, y in ((2.8, 2.1), (13.2, 2.1), (2.8, 13.9), (13.2, 13.9)):
            p.fill(circle(x, y, 0.45), rgb("8fa3ad"))
            p.fill(circle(x, y, 0.2), rgb("1a252b"))
    platter = circle(8, 7.0, 5.4 if not small else 5.6)
    p.fill(platter, rgb("6f8590"))
    p.fill(platter.grow(-0.35 if not small else -0.6), radial(6.6, 5.4, 7.0, rgb("f6f9fa"), rgb("a9b9c1")))
    if not small:
        for r in (2.6, 3.7, 4.6):
            p.fill(circle(8, 7.0, r).outline(0.12), rgb("8a9ca6", 0.5))
    p.fill(circle(8, 7.0, 1.2), rgb("5d7481"))
    p.fill(circle(8, 7.0, 0.55), rgb("d7e0e4"))
    if not small:
        p.fill(segment(12.8, 13.0, 9.9, 8.6, 0.9), rgb("c7d2d7"))
        p.fill(segment(12.8, 13.0, 9.9, 8.6, 0.9).outline(0.2), rgb("4a5d67"))
        p.fill(circle(12.8, 13.0, 1.05), rgb("9aaab2"))
        p.fill(circle(12.8, 13.0, 0.45), rgb("30414b"))
    if small:
        pulse = [(0.5, 10.5), (4.8, 10.5), (7.0, 5.2), (9.4, 14.0), (11.0, 10.5), (15.5, 10.5)]
    else:
        pulse = [(0.4, 11.0), (4.3, 11.0), (5.6, 8.0), (7.3, 14.1), (9.1, 6.3), (10.6, 11.0), (15.6, 11.0)]
    w = 1.1 if not small else 1.5
    p.fill(polyline(pulse, w + (0.9 if not small else 1.0)), rgb("0b3318"))
    p.fill(polyline(pulse, w), rgb("2fe36a"))


# --- Tooltip title icons (16 x 16) ----------------------------------------

def tip_model(p):
    """A drive from the front: case, label, activity light."""
    case = box(0.5, 4.5, 15.5, 11.5, 1.5)
    _body(p, case, rgb("7e8c95"), rgb("4b5860"), rgb("263036"), 1.0, False)
    p.fill(box(2.5, 6.5, 10.0, 9.5, 0.5), rgb("dfe6ea"))
    p.fill(circle(12.8, 8.0, 1.2), rgb("2fe36a"))


def tip_firmware(p):
    """A chip with four pins on each side."""
    pin = rgb("6d7d86")
    for c in (4, 6, 9, 11):
        p.fill(box(c, 1, c + 1, 3), pin)
        p.fill(box(c, 13, c + 1, 15), pin)
        p.fill(box(1, c, 3, c + 1), pin)
        p.fill(box(13, c, 15, c + 1), pin)
    chip = box(3, 3, 13, 13, 1.0)
    _body(p, chip, rgb("4f6470"), rgb("263540"), rgb("121a20"), 1.0, False)
    p.fill(circle(5.5, 5.5, 0.9), rgb("c9d4da"))


def tip_serial(p):
    """A label with a bar code."""
    label = box(0, 3, 16, 13, 1.0)
    p.fill(label, rgb("5b6b74"))
    p.fill(label.grow(-1.0), rgb("ffffff"))
    for x0, x1 in ((2, 3), (4, 5), (6, 8), (9, 10), (11, 12), (13, 14)):
        p.fill(box(x0, 5, x1, 11), rgb("1b2227"))


def tip_condition(p):
    """A heart, for the drive's health."""
    heart = union(circle(4.8, 5.8, 3.5), circle(11.2, 5.8, 3.5),
                  polygon([(1.5, 7.0), (8.0, 3.9), (14.5, 7.0), (8.0, 15.0)]))
    _body(p, heart, rgb("f2605c"), rgb("c62828"), rgb("7a1010"), 1.0, False)
    p.fill(ellipse(4.6, 5.0, 1.5, 1.1), rgb("ffffff", 0.8))


def tip_power_on_time(p):
    """A clock face."""
    face = circle(8, 8, 7.5)
    p.fill(face, rgb("1f5fae"))
    p.fill(face.grow(-1.2), vertical(1, rgb("ffffff"), 15, rgb("dce9f7")))
    hand = rgb("14345e")
    p.fill(segment(8, 8, 8, 4, 2.0), hand)
    p.fill(segment(8, 8, 11.5, 8, 2.0), hand)
    p.fill(circle(8, 8, 1.0), rgb("d0342c"))


def tip_temperature(p):
    """A thermometer."""
    glass = union(box(5.5, 0.5, 10.5, 10.0, 2.5), circle(8, 12, 3.5))
    p.fill(glass, rgb("7a2300"))
    p.fill(glass.grow(-1.0), rgb("ffffff"))
    p.fill(union(box(7, 4, 9, 12, 1.0), circle(8, 12, 2.0)), rgb("f24e00"))


def tip_disk_usage(p):
    """A pie of used and free space."""
    p.fill(circle(8, 8, 7.5), rgb("14497f"))
    p.fill(circle(8, 8, 6.5), rgb("a9d1f5"))
    p.fill(wedge(8, 8, 6.5, -90, 160), vertical(1, rgb("3a95ea"), 15, rgb("1e6fc0")))
    p.fill(segment(8, 8, 8, 1.5, 0.9) | segment(8, 8, 8 + 6.5 * math.cos(math.radians(160)),
                                                   8 + 6.5 * math.sin(math.radians(160)), 0.9), WHITE)


TIPS = {
    "tip_model": tip_model,
    "tip_firmware": tip_firmware,
    "tip_serial": tip_serial,
    "tip_condition": tip_condition,
    "tip_power_on_time": tip_power_on_time,
    "tip_temperature": tip_temperature,
    "tip_disk_usage": tip_disk_usage,
}


# --- Images ---------------------------------------------------------------

def icon_image(draw, size):
    """One transparent icon image of size x size pixels."""
    canvas = Canvas(size, size)
    draw(Painter(canvas, size / 16.0))
    return canvas.rgba_rows()


def program_image(size):
    canvas = Canvas(size, size)
    program(Painter(canvas, size / 16.0), size)
    return canvas.rgba_rows()


# The status pictures are blitted as they are onto the header, so they are
# opaque, on the colour of a dialog's face.
PICTURE_SIZE = 115
PICTURE_BACKGROUND = rgb("f0f0f0")


def status_picture(name):
    canvas = Canvas(PICTURE_SIZE, PICTURE_SIZE, PICTURE_BACKGROUND)
    scale = 6.0
    origin = (PICTURE_SIZE - 16 * scale) / 2.0
    # A soft shadow under the symbol lifts it off the panel.
    shadow = Canvas(PICTURE_SIZE, PICTURE_SIZE)
    STATUS[name](Painter(shadow, scale, origin + 1.5, origin + 2.5), True)
    for i, pixel in enumerate(shadow.pixels):
        if pixel[3] > 0.0:
            canvas.blend(i % PICTURE_SIZE, i // PICTURE_SIZE, (0, 0, 0, 0.18), pixel[3])
    STATUS[name](Painter(canvas, scale, origin, origin), True)
    return canvas.rgba_rows()
