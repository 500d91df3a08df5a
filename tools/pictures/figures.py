"""The three figures of the show, as shapes drawn on a grey-scale raster (see canvas.py).

Makes nothing by itself: make_pictures.py draws these and writes show/picture_rows.hpp.
Re-make the pictures with:  /usr/bin/python3 tools/pictures/make_pictures.py

Coordinates are canvas units: x = column - 1 at a cell's left edge, y = 2 * (row - 1) at its top
edge, so the console's tall cells are already accounted for and round things are drawn round.
Each function draws one picture and returns the settings for its glyph mapping.
"""

import math

from canvas import Canvas, ribbon, spline


def limb(path, widths):
    """Returns the outline of a smooth band along `path`, `widths` across at its points."""
    dense = spline(path)
    # Spread the widths evenly over the dense points between the given ones.
    per_span = (len(dense) - 1) / (len(path) - 1)
    spread = []
    for i in range(len(dense)):
        position = i / per_span
        j = min(int(position), len(widths) - 2)
        t = position - j
        spread.append(widths[j] * (1 - t) + widths[j + 1] * t)
    return ribbon(dense, spread)


# ---------------------------------------------------------------------------------------------
# Picture 1: the unicorn, facing left, in light line-work.

# The unicorn is drawn as silhouettes whose edges become the line-work: the near side (body,
# neck, head, ears, near legs) and, behind it, the far legs.
BARREL = [(37.0, 36.0), (38.5, 30.0), (44.0, 25.0), (50.0, 23.5), (57.0, 25.3), (64.0, 24.6),
          (69.0, 24.0), (73.0, 27.0), (75.2, 32.0), (74.8, 38.0), (72.5, 43.0), (66.0, 46.5),
          (58.0, 47.6), (50.0, 47.5), (43.0, 46.0), (38.5, 42.5)]
NECK = [(50.0, 24.0), (44.0, 18.5), (37.0, 14.0), (29.5, 11.0), (27.0, 14.0), (29.0, 22.0),
        (31.0, 28.0), (35.0, 34.0), (38.0, 42.0), (46.0, 36.0)]
HEAD = [(29.0, 11.0), (24.0, 13.5), (19.5, 18.0), (15.5, 23.5), (12.5, 27.5), (11.0, 30.5),
        (11.3, 33.0), (12.5, 34.6), (15.0, 35.6), (17.0, 35.3), (21.0, 33.5), (26.0, 32.5),
        (29.5, 30.0), (31.0, 25.0), (30.5, 18.0), (29.5, 13.0)]
NEAR_EAR = [(27.5, 12.5), (28.8, 7.5), (31.2, 3.6), (31.8, 8.0), (31.0, 12.0)]

MANE_CREST = [(28.0, 9.8), (33.0, 10.3), (38.0, 12.3), (43.0, 15.3), (47.5, 19.3), (51.0, 23.0)]
TAIL = ([(72.5, 26.5), (75.5, 29.0), (76.4, 35.0), (75.4, 43.0), (75.6, 51.0), (77.3, 58.0)],
        [2.0, 3.6, 4.4, 4.6, 4.0, 1.0])
TAIL_LOCKS = [[(74.5, 30.5), (76.0, 36.0), (75.0, 43.0), (75.5, 50.0)],
              [(76.5, 40.0), (77.2, 46.0), (76.8, 52.0)]]

# legs as (path from the body down to the hoof, width at each point)
NEAR_FORELEG = ([(42.0, 40.0), (38.0, 46.5), (33.0, 50.0), (34.5, 56.0), (36.5, 60.0)],
                [6.0, 4.5, 3.6, 2.8, 3.4])                      # raised, bent at the knee
FAR_FORELEG = ([(44.0, 44.0), (43.5, 52.0), (43.5, 56.0), (43.6, 64.0), (43.4, 69.6)],
               [5.0, 3.8, 3.2, 3.0, 3.6])
NEAR_HIND_LEG = ([(68.0, 38.0), (69.5, 47.0), (71.0, 53.5), (70.0, 60.0), (69.8, 64.5),
                  (69.5, 69.6)], [9.0, 5.5, 3.8, 2.8, 3.0, 3.6])
FAR_HIND_LEG = ([(64.0, 40.0), (63.0, 48.0), (64.5, 54.0), (62.5, 61.0), (61.5, 65.0),
                 (60.8, 69.6)], [7.0, 5.0, 3.6, 2.8, 3.0, 3.6])


def horn(c, base, tip, half_width, turns, level):
    """Draws a spiral horn: the outline of a cone and the twist as bands that climb across it."""
    bx, by = base
    tx, ty = tip
    length = math.hypot(tx - bx, ty - by)
    ux, uy = (tx - bx) / length, (ty - by) / length  # along the horn
    nx, ny = -uy, ux                                  # across it

    def at(t, side):
        half = half_width * (1 - t)
        return (bx + ux * length * t + nx * half * side, by + uy * length * t + ny * half * side)

    step = 1.0 / (turns + 0.3)
    for k in range(turns):
        # Each band rises by half a turn from one side to the other: the twist.
        t0 = (k + 0.3) * step
        c.line([at(t0, -1), at(t0 + 0.5 * step, 1)], width=1.1, level=level, tall=1.6)
    c.line([at(0, -1), at(1, 0), at(0, 1)], width=0.8, level=level * 0.7, tall=1.6)


def mane_outline(crest, locks, depth):
    """Returns the outline of a mane lying along the `crest` polyline: its top edge just above
    the crest, its lower edge hanging `depth` units down in `locks` pointed locks."""
    line = spline(crest, steps=16)
    top, bottom = [], []
    for i, (x, y) in enumerate(line):
        ax, ay = line[max(0, i - 1)]
        bx, by = line[min(len(line) - 1, i + 1)]
        length = math.hypot(bx - ax, by - ay) or 1.0
        nx, ny = (by - ay) / length, -(bx - ax) / length  # the up side of the crest
        t = i / (len(line) - 1)
        # A sawtooth: each lock grows longer towards its tip, then the next one starts.
        reach = depth * (0.45 + 0.55 * ((t * locks) % 1.0) ** 1.5) * (1.0 - 0.3 * t)
        top.append((x + nx * 1.0, y + ny * 1.0))
        bottom.append((x - nx * reach, y - ny * reach))
    return top + bottom[::-1]


def horse1(c):
    """Draws the unicorn with its spiral horn; returns its glyph mapping: line-work, so every
    stroke keeps its glyph wherever it crosses a cell."""
    pen = {"width": 1.1, "tall": 1.8}
    near = Canvas(c.rows, c.columns)
    for shape in (BARREL, NECK, HEAD, NEAR_EAR):
        near.polygon(shape, smooth=True)
    near.polygon(limb(*NEAR_FORELEG))
    near.polygon(limb(*NEAR_HIND_LEG))
    far = Canvas(c.rows, c.columns)
    far.polygon(limb(*FAR_FORELEG))
    far.polygon(limb(*FAR_HIND_LEG))

    # What is behind first, hidden where the near side stands in front of it.
    c.outline(far, level=0.5, **pen)
    c.hide(near)
    c.outline(near, level=0.65, **pen)

    horn(c, base=(25.5, 13.0), tip=(10.6, 0.6), half_width=3.6, turns=4, level=0.9)

    # Face: eye under a soft lid, nostril, mouth.
    c.ellipse(21.3, 19.8, 1.4, 1.1, level=1.0)
    c.curve([(19.0, 18.8), (21.3, 17.6), (23.5, 18.8)], width=0.7, level=0.5, tall=1.6)
    c.curve([(13.0, 28.5), (14.3, 27.5), (15.2, 29.0)], width=0.9, level=0.8, tall=1.6)
    c.curve([(11.8, 33.3), (13.8, 33.5), (15.5, 32.8)], width=0.7, level=0.6, tall=1.6)

    # Mane and tail lie over the body: hide what they cover, draw their edges and a few locks.
    hair = Canvas(c.rows, c.columns)
    hair.polygon(mane_outline(MANE_CREST, locks=5, depth=6.5))
    hair.polygon(limb(*TAIL))
    c.hide(hair)
    c.outline(hair, level=0.6, **pen)
    for lock in TAIL_LOCKS:
        c.curve(lock, width=0.8, level=0.5, tall=1.6)
    c.curve([(27.0, 11.0), (25.3, 13.0), (25.0, 16.0)], width=0.8, level=0.6, tall=1.6)  # forelock

    # Shoulder and thigh, a hint of the muscles; the coronets over the hooves.
    c.curve([(40.0, 27.0), (41.5, 31.0), (41.0, 34.0)], width=0.6, level=0.35, tall=1.6)
    c.curve([(64.0, 29.0), (67.0, 34.0), (66.0, 40.0)], width=0.6, level=0.35, tall=1.6)
    for x0, x1, y in [(41.8, 45.2, 66.5), (67.6, 71.4, 66.5), (58.8, 62.6, 66.5)]:
        c.line([(x0, y), (x1, y)], width=0.8, level=0.6, tall=1.6)
    c.line([(34.6, 58.0), (37.9, 56.4)], width=0.8, level=0.6, tall=1.6)

    return {"floor": 0.25, "soften": 0.3}


# ---------------------------------------------------------------------------------------------
# Picture 2: the hornless unicorn's face under its enormous unibrow.

# The face seen from the front, centred between columns 16 and 80; row 1 is left to the finish.
FACE_X = 48.0
FACE = [(27.0, 20.0), (33.0, 13.5), (40.0, 11.0), (48.0, 10.2), (56.0, 11.0), (63.0, 13.5),
        (69.0, 20.0), (70.0, 30.0), (67.0, 40.0), (62.5, 50.0), (61.0, 60.0), (63.5, 68.0),
        (64.5, 76.0), (60.0, 81.5), (48.0, 83.6), (36.0, 81.5), (31.5, 76.0), (32.5, 68.0),
        (35.0, 60.0), (33.5, 50.0), (29.0, 40.0), (26.0, 30.0)]
EAR = [(34.0, 16.0), (30.5, 9.0), (28.5, 2.5), (34.5, 6.0), (40.0, 12.0)]  # the left one


def mirrored(points):
    """Returns `points` mirrored across the face's middle."""
    return [(2 * FACE_X - x, y) for x, y in points]


def brow(c, left, right, top, bottom, droop, level):
    """Draws one enormous bushy eyebrow from x `left` to `right`, solid between `top` and
    `bottom` along most of its length, drooping by `droop` and thinning into tufts at both
    ends, with hairs sticking out of its edges."""
    middle = (left + right) / 2.0
    half = (right - left) / 2.0

    # Returns the brow's upper and lower edge at x.
    def edges(x):
        u = (x - middle) / half                      # -1 at the left end, 1 at the right
        centre = (top + bottom) / 2.0 + droop * u ** 4  # the ends hang down: a sad brow
        thick = (bottom - top) / 2.0 * (1.0 - abs(u) ** 5)
        return centre - thick, centre + thick

    steps = 64
    xs = [left + (right - left) * i / steps for i in range(steps + 1)]
    c.polygon([(x, edges(x)[0]) for x in xs] + [(x, edges(x)[1]) for x in reversed(xs)],
              level=level)
    # Hairs: short strokes out of both edges, combed outwards from the middle, a few lighter
    # ones running through the band.
    for k in range(-28, 29):
        x = middle + half * 0.95 * k / 28.0
        u = (x - middle) / half
        upper, lower = edges(x)
        lean = 2.0 * u
        length = 1.2 + 0.8 * ((k * 7) % 3)
        c.line([(x, upper + 1.0), (x + lean, upper - length)], width=0.7, level=level)
        c.line([(x, lower - 1.0), (x + lean, lower + length * 0.8)], width=0.7, level=level)
        if k % 3 == 0:
            c.line([(x - lean, upper + 1.5), (x + lean, lower - 1.5)], width=0.5,
                   level=level * 0.9, mode="set")


def horse2(c):
    """Draws the hornless unicorn's face under the unibrow; returns its glyph mapping."""
    # Ears behind the head, with their dark insides.
    inner_ear = [(34.5, 14.0), (31.5, 8.5), (30.5, 5.0), (34.5, 8.0), (38.0, 12.5)]
    for ear, inside in ((EAR, inner_ear), (mirrored(EAR), mirrored(inner_ear))):
        c.polygon(ear, level=0.75, smooth=True)
        c.polygon(inside, level=0.3, mode="set", smooth=True)

    # The face: blank, with a firm outline.
    c.polygon(FACE, level=0.0, mode="set", smooth=True)
    shape = Canvas(c.rows, c.columns)
    shape.polygon(FACE, smooth=True)
    c.outline(shape, width=1.2, level=0.8, tall=1.6)

    # Eyes, half hidden under the brow: the white, the lower lid, the pupil.
    for side in (-1, 1):
        ex = FACE_X + side * 13.5
        c.ellipse(ex, 31.0, 7.5, 9.0, level=0.0, mode="set")
        c.arc(ex, 31.0, 7.5, 9.0, start=0.0, end=180.0, width=1.2, level=0.9)
        c.ellipse(ex - side * 1.5, 35.0, 2.8, 3.2, level=1.0)
        c.arc(ex, 33.0, 9.0, 10.0, start=50.0, end=130.0, width=0.6, level=0.35)  # the bags
    # One tear on its way down.
    c.polygon([(57.5, 45.0), (59.1, 49.0), (57.5, 50.6), (55.9, 49.0)], level=0.9, smooth=True)

    brow(c, left=15.6, right=79.4, top=16.0, bottom=30.0, droop=3.0, level=1.0)

    # What is left of the horn: a stump on the forehead, cut off flat, in front of the brow.
    c.polygon([(43.5, 16.0), (52.5, 16.0), (51.5, 5.5), (44.5, 5.5)], level=0.6, mode="set")
    for y in (9.0, 13.0):
        c.line([(44.0, y + 1.8), (52.0, y - 1.2)], width=1.0, level=1.0)
    c.ellipse(48.0, 5.5, 3.5, 1.4, level=0.15, mode="set")
    c.arc(48.0, 5.5, 3.5, 1.4, width=0.8, level=0.9)
    for side in (-1, 1):
        c.line([(48.0 + side * 4.5, 16.0), (48.0 + side * 3.5, 5.5)], width=0.9, level=0.9)

    # Muzzle: nostrils, and the mouth turned down.
    for side in (-1, 1):
        c.polygon([(FACE_X + side * 7.0, 66.5), (FACE_X + side * 10.0, 69.0),
                   (FACE_X + side * 9.0, 73.0), (FACE_X + side * 6.5, 71.5)], level=1.0,
                  smooth=True)
    c.curve([(40.0, 80.0), (44.0, 77.8), (48.0, 77.3), (52.0, 77.8), (56.0, 80.0)], width=1.0,
            level=0.7)

    return {"floor": 0.1, "soften": 1.0}


# ---------------------------------------------------------------------------------------------
# Picture 3: the unicycle.

# The wheel: centre, and the radii of the tyre, the rim and the hub.
WHEEL_X, WHEEL_Y = 40.0, 84.0
TYRE_OUTER, TYRE_INNER, RIM, HUB = 34.0, 30.0, 28.5, 4.5

# The saddle seen from the side, nose to the left.
SADDLE = [(21.5, 8.5), (23.0, 5.5), (27.0, 3.8), (35.0, 2.8), (46.0, 2.5), (55.0, 2.8),
          (59.5, 3.8), (61.5, 6.5), (60.5, 10.0), (57.0, 11.6), (48.0, 12.0), (38.0, 12.4),
          (29.0, 11.8), (24.0, 10.8)]


def tube(c, x0, y0, x1, y1, width, level=0.93, shine=0.45):
    """Draws a straight tube from (x0, y0) to (x1, y1), solid with a lighter line of shine
    along it a little left of its middle."""
    length = math.hypot(x1 - x0, y1 - y0)
    nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
    c.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)],
              level=level)
    if shine:
        sx, sy = -nx * 0.35, -ny * 0.35
        c.line([(x0 + sx, y0 + sy), (x1 + sx, y1 + sy)], width=width * 0.2, level=shine,
               mode="set")


def unibike(c):
    """Draws the unicycle standing on the ground; returns its glyph mapping."""
    # Ground line under the tyre, across the whole picture.
    c.polygon([(0.0, 116.6), (80.0, 116.6), (80.0, 118.0), (0.0, 118.0)], level=0.3)

    # Wheel: the tyre with its tread, the rim, spokes and hub.
    cx, cy = WHEEL_X, WHEEL_Y
    c.ellipse(cx, cy, TYRE_OUTER, TYRE_OUTER, level=1.0, mode="set")
    c.ellipse(cx, cy, TYRE_INNER, TYRE_INNER, level=0.0, mode="set")
    for k in range(36):
        # Tread: short notches cut into the tyre's outer edge.
        a = math.radians(k * 10 + 5)
        inner, outer = TYRE_OUTER - 1.6, TYRE_OUTER + 0.2
        c.line([(cx + inner * math.cos(a), cy + inner * math.sin(a)),
                (cx + outer * math.cos(a), cy + outer * math.sin(a))],
               width=0.9, level=0.6, mode="set")
    c.arc(cx, cy, RIM, RIM, width=1.2, level=0.55)
    for k in range(16):
        a = math.radians(k * 22.5 + 11.25)
        c.line([(cx + HUB * math.cos(a), cy + HUB * math.sin(a)),
                (cx + RIM * math.cos(a), cy + RIM * math.sin(a))], width=0.8, level=0.6)

    # Fork: two legs down from the crown, tapering into blades that meet the hub.
    for side in (-1, 1):
        x_leg = cx + side * 8.0
        tube(c, x_leg, 34.0, x_leg, 46.0, 5.0)
        tube(c, x_leg, 45.5, cx + side * 3.0, cy, 3.2)
    c.ellipse(cx, cy, HUB, HUB, level=1.0, mode="set")
    c.ellipse(cx, cy, 1.4, 1.4, level=0.3, mode="set")

    # Cranks and pedals.
    for angle in (60.0, 240.0):
        a = math.radians(angle)
        px, py = cx + 17 * math.cos(a), cy + 17 * math.sin(a)
        tube(c, cx, cy, px, py, 2.6, shine=0)
        c.polygon([(px - 4.5, py - 1.6), (px + 4.5, py - 1.6), (px + 4.5, py + 1.6),
                   (px - 4.5, py + 1.6)], level=0.93, mode="set")
        c.line([(px - 3.5, py), (px + 3.5, py)], width=0.8, level=0.35, mode="set")

    # Crown: the bridge over the tyre that holds both legs.
    c.polygon([(27.0, 28.2), (53.0, 28.2), (55.0, 30.5), (55.0, 35.8), (25.0, 35.8),
               (25.0, 30.5)], level=1.0)
    c.line([(27.0, 30.0), (53.0, 30.0)], width=0.9, level=0.5, mode="set")

    # Seat post with its clamp, then the saddle on top.
    tube(c, cx, 12.0, cx, 29.0, 6.0)
    c.polygon([(35.5, 22.2), (44.5, 22.2), (44.5, 25.8), (35.5, 25.8)], level=1.0)
    c.polygon(SADDLE, level=1.0, smooth=True)
    c.curve([(26.0, 6.5), (35.0, 5.0), (47.0, 4.8), (57.0, 5.5)], width=1.0, level=0.55,
            mode="set", tall=1.4)
    c.line([(30.0, 13.0), (51.0, 13.0)], width=1.2, level=0.8)

    return {"floor": 0.1, "soften": 1.0}
