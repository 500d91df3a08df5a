"""Picture 2: the hornless unicorn's head under its enormous unibrow (see make_pictures.py).

The head is traced from a public-domain drawing of a horse's head turned a little to its right,
both eyes showing (the README names the file): its outline strokes, read from the drawing's
paths and drawn as line-work, with what the drawing's fills cover left out, and its mane
shaded. Then the hand's part: the brow, one solid mass of hair over both eyes, the eyes and
the nostrils, the stump where the horn was, and two tufts of hair standing up to meet row 1.
"""

import math
import pathlib
import re
import xml.etree.ElementTree as ElementTree

import numpy as np

from canvas import RAMP, SAMPLES, Canvas, arc_points, spline
from figures import LineWork

# The drawing the head is traced from: a Debian package's file, read when the pictures are made.
REFERENCE = pathlib.Path("/usr/share/openclipart/svg/animals/mammals/horses/"
                         "cavallo_architetto_franc_03.svg")

# Where the drawing lands on the canvas: its x and its y each mapped through a few matching
# points (drawing, canvas), straight between them. Across, the mane is drawn narrower than the
# head to fit; down, the head above the eyes is drawn shorter and the face below them longer,
# which leaves the brow its rows and makes the muzzle long.
ACROSS_KNOTS = [(0.0, 16.0), (130.0, 55.0), (263.0, 79.5)]
DOWN_KNOTS = [(0.0, 0.0), (20.0, 2.8), (68.0, 9.5), (146.0, 26.5), (316.0, 79.0),
              (417.0, 107.0)]


# ---------------------------------------------------------------------------------------------
# Reading the drawing

_TOKEN = re.compile(r"[A-Za-z]|-?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?")


def _cubic(p0, p1, p2, p3, steps=10):
    """Returns points along a cubic Bezier curve, without its start."""
    out = []
    for k in range(1, steps + 1):
        t = k / steps
        u = 1 - t
        out.append(tuple(u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d
                         for a, b, c, d in zip(p0, p1, p2, p3)))
    return out


def path_lines(d):
    """Returns the polylines of an SVG path's data (moves, lines and cubic curves)."""
    tokens = _TOKEN.findall(d)
    lines, current, start = [], [], (0.0, 0.0)
    point = (0.0, 0.0)
    command, i = None, 0
    while i < len(tokens):
        if tokens[i].isalpha():
            command = tokens[i]
            i += 1
            if command in "Zz":
                if current:
                    current.append(start)
                point = start
                continue
        relative = command.islower()
        count = {"m": 2, "l": 2, "h": 1, "v": 1, "c": 6}[command.lower()]
        numbers = [float(t) for t in tokens[i:i + count]]
        i += count
        base = point if relative else (0.0, 0.0)
        pairs = [(base[0] + numbers[k], base[1] + numbers[k + 1])
                 for k in range(0, len(numbers) - 1, 2)]
        kind = command.lower()
        if kind == "m":
            if len(current) > 1:
                lines.append(current)
            point = start = pairs[0]
            current = [point]
            command = "l" if relative else "L"  # further pairs are lines
        elif kind == "l":
            point = pairs[0]
            current.append(point)
        elif kind == "h":
            point = (numbers[0] + (point[0] if relative else 0.0), point[1])
            current.append(point)
        elif kind == "v":
            point = (point[0], numbers[0] + (point[1] if relative else 0.0))
            current.append(point)
        else:
            current += _cubic(point, *pairs)
            point = pairs[2]
    if len(current) > 1:
        lines.append(current)
    return lines


def read_drawing(path=REFERENCE):
    """Returns the drawing's paths in the order they are painted, as (filled, polylines)."""
    out = []
    for element in ElementTree.parse(path).getroot().iter():
        if not element.tag.endswith("}path") and element.tag != "path":
            continue
        style = element.get("style", "")
        filled = "fill:none" not in style
        out.append((filled, path_lines(element.get("d", ""))))
    return out


def placed(points):
    """Returns the drawing's points where they land on the canvas."""
    (xs, xc), (ys, yc) = zip(*ACROSS_KNOTS), zip(*DOWN_KNOTS)
    return [(float(np.interp(x, xs, xc)), float(np.interp(y, ys, yc))) for x, y in points]


def _shrink(mask, units):
    """Returns `mask` with its edges pulled in by `units` (at whole samples)."""
    steps = max(1, int(round(units * SAMPLES)))
    out = mask.copy()
    for _ in range(steps):
        out[1:, :] &= out[:-1, :].copy()
        out[:-1, :] &= out[1:, :].copy()
        out[:, 1:] &= out[:, :-1].copy()
        out[:, :-1] &= out[:, 1:].copy()
    return out


def traced_strokes(rows, columns):
    """Returns the drawing's outline strokes on the canvas, each as (index, polyline, hidden):
    `hidden` the samples that the fills painted after it cover."""
    drawing = read_drawing()
    covers = []  # for each path, the fills painted after it
    later = np.zeros((rows * 2 * SAMPLES, columns * SAMPLES), dtype=bool)
    for filled, lines in reversed(drawing):
        covers.append(later)
        if filled:
            fill = Canvas(rows, columns)
            for line in lines:
                fill.polygon(placed(line))
            # A stroke on a fill's edge shows its outer half, so only the fill's inside hides.
            later = later | _shrink(fill.inside(), 0.4)
    covers.reverse()
    out = []
    for index, ((filled, lines), hidden) in enumerate(zip(drawing, covers)):
        if filled:
            continue
        for line in lines:
            out.append((index, placed(line), hidden))
    return out


# The drawing's paths kept, by their place in it. On the head: its outline (one closed line),
# the line down the front of the nose, the cheek and the mouth. Behind the head: the
# neck and the mane's locks. The drawing's forelock, eyes and nostrils and its other lines
# inside the face are left out: at this size they only blur, and the hand draws the brow, the
# eyes and the nostrils instead.
HEAD = 34
ON_HEAD = {HEAD, 123, 125, 168, 136, 138}
BEHIND_HEAD = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 15, 16, 17, 18, 19, 23, 170, 172}
# The mane's fill in the drawing, and the ink it is shaded with (a `:`).
MANE, MANE_SHADE = 0, 0.27
# The nostrils, in the drawing's points: commas curling outwards.
NOSTRILS = [[(36.0, 256.0), (28.0, 258.0), (26.0, 268.0), (31.0, 277.0)],
            [(68.0, 257.0), (77.0, 258.0), (81.0, 267.0), (77.0, 276.0)]]

# The brow, across the face in canvas units: its top edge (x, y), straight between. Gull-
# winged: its tails overhang the face and droop beside the eyes, it arches over each eye and
# dips over the bridge of the nose.
BROW_TOP = [(15.3, 27.0), (16.5, 21.0), (18.5, 17.0), (22.5, 15.0), (27.0, 15.6), (31.0, 17.6),
            (35.8, 19.4), (40.5, 17.6), (44.5, 15.6), (49.6, 15.0), (54.5, 16.5), (57.0, 20.0),
            (59.5, 27.0)]
# Its bottom edge: low at the tails and over the bridge, where it hangs down between the
# eyes; over each eye it follows the eye's top, a little above it.
BROW_BOTTOM = [(15.3, 30.6), (31.0, 27.0), (35.3, 30.2), (39.5, 27.0), (59.5, 30.6)]
BROW_OVER_EYE = 0.8
# The eyes under the arches, in canvas units: centre, radii; and the pupils.
EYES = [(24.2, 27.4, 6.0, 4.6), (46.6, 27.4, 7.6, 4.6)]
PUPIL_DOWN, PUPIL_RX, PUPIL_RY = 27.8, 2.8, 3.3
# How high the hairs on the brow's top reach: the top of row 8.
HAIRS_TOP = 14.0
# The left edge of the picture's first column of ink, column 16.
FIRST_COLUMN_X = 15

# The stump where the horn was, sawn off flat, on the forehead in the dip of the brow: its rows
# typed from STUMP_ROW and STUMP_COLUMN, the cut face on top, the horn's grooves under it.
STUMP_ROW, STUMP_COLUMN = 7, 35
STUMP = [".--.", "`--`", "`////."]


def brow_edges(x):
    """Returns the brow's upper and lower edge at `x`."""
    top = float(np.interp(x, *zip(*BROW_TOP)))
    bottom = float(np.interp(x, *zip(*BROW_BOTTOM)))
    for ex, ey, rx, ry in EYES:
        if abs(x - ex) < rx:
            bottom = min(bottom, ey - ry * math.sqrt(1 - ((x - ex) / rx) ** 2) - BROW_OVER_EYE)
    return top, bottom


def draw_brow(c):
    """Draws the unibrow: a solid mass, streaked with hairs combed outwards from the bridge,
    hairs sticking out of its top; returns the samples it covers."""
    steps = 200
    first, last = BROW_TOP[0][0], BROW_TOP[-1][0]
    xs = [first + (last - first) * i / steps for i in range(steps + 1)]
    outline = [(x, brow_edges(x)[0]) for x in xs] + [(x, brow_edges(x)[1]) for x in reversed(xs)]
    c.polygon(outline, level=1.0, mode="set", smooth=False)
    inside = Canvas(c.rows, c.columns)
    inside.polygon(outline, smooth=False)
    # Streaks a shade lighter along the brow, from the bridge out to each tail.
    streaks = Canvas(c.rows, c.columns)
    middle = BROW_TOP[len(BROW_TOP) // 2][0]
    for share in (0.25, 0.5, 0.75):
        for side in (-1, 1):
            line = []
            for i in range(61):
                x = middle + side * (i / 60) * (middle - first if side < 0 else last - middle)
                top, bottom = brow_edges(x)
                line.append((x, top + share * (bottom - top)))
            streaks.line(line, width=0.6, level=0.68)
    streaks.ink[~inside.inside()] = 0.0
    c.ink[streaks.ink > 0] = streaks.ink[streaks.ink > 0]
    # Hairs sticking up out of its top, combed outwards.
    for k in range(-14, 15):
        x = middle + 1.5 * k
        top, bottom = brow_edges(x)
        if bottom - top < 4.0 or abs(x - STUMP_COLUMN - 1) < 4.0:
            continue
        lean = 1.4 if k > 0 else -1.4
        out = (1.6, 0.8, 2.2, 1.2, 1.8)[k % 5]
        # No higher than row 8, which keeps the ears' bases clear.
        c.line([(x, top + 0.4), (x + lean, max(top - out, HAIRS_TOP))], width=0.7, level=0.85)
    return inside.inside()


def draw_eyes(c, brow):
    """Draws the eyes: white, the lids a line round each where the brow leaves it, and the
    pupils."""
    lids = LineWork(c.rows, c.columns)
    for ex, ey, rx, ry in EYES:
        c.ellipse(ex, ey, rx, ry, level=0.0, mode="set")
        lids.stroke(arc_points(ex, ey, rx, ry), hidden=brow, smooth=False)
    lids.draw(c, RAMP)
    for ex, ey, rx, ry in EYES:
        c.ellipse(ex, PUPIL_DOWN, PUPIL_RX, PUPIL_RY, level=1.0)


# Row 1 repeats the unicorn's hoof row (see finish.txt): a few short upright strokes above the
# head. Two tufts of hair stand up from the head, each a fan of strands from one root, and
# each of those strokes is the tip of one of their strands: the forelock's from the poll
# between the ears, the mane's from behind the right ear. The tufts: root in canvas units, and
# the columns (counted from 1) where their strands end, in row 2 under row 1's strokes.
TUFTS = [[((36.5, 11.5), 30), ((36.5, 11.5), 34), ((36.5, 11.5), 39), ((36.5, 11.5), 42)],
         [((52.5, 10.0), 57), ((53.5, 12.0), 60), ((54.5, 14.0), 65), ((55.5, 16.0), 68)]]


def strand(root, column):
    """Returns the points of a strand from its root up to row 2 of the column: it leaves the
    root leaning out and turns upright towards its tip."""
    (x0, y0), (x1, y1) = root, (column - 0.5, 2.6)
    return spline([(x0, y0), (x0 + 0.75 * (x1 - x0), y0 - 0.45 * (y0 - y1)), (x1, y1)])


def draw_tufts(c, lines, head):
    """Draws the tufts of hair standing up from the head: their strands, and between their
    outer strands a light shade like the mane's."""
    for tuft in TUFTS:
        for root, column in tuft:
            lines.stroke(strand(root, column), smooth=False)
        shade = Canvas(c.rows, c.columns)
        shade.polygon(strand(*tuft[0]) + strand(*tuft[-1])[::-1])
        inside = shade.inside() & ~head
        c.ink[inside] = np.maximum(c.ink[inside], MANE_SHADE)


def horse2(c):
    """Draws the hornless unicorn's head under the unibrow; returns its glyph mapping."""
    strokes = traced_strokes(c.rows, c.columns)
    head = Canvas(c.rows, c.columns)
    for index, line, hidden in strokes:
        if index == HEAD:
            head.polygon(line)
    # The mane, shaded lightly so that it reads as a mass of hair rather than loose lines.
    mane = Canvas(c.rows, c.columns)
    for line in read_drawing()[MANE][1]:
        mane.polygon(placed(line))
    shade = mane.inside() & ~head.inside()
    c.ink[shade] = np.maximum(c.ink[shade], MANE_SHADE)
    lines = LineWork(c.rows, c.columns)
    for index, line, hidden in strokes:
        # The lines on the head show whole: the forelock that hid some of them is left out.
        if index in ON_HEAD:
            lines.stroke(line, smooth=False)
        elif index in BEHIND_HEAD:
            lines.stroke(line, hidden=hidden | head.inside(), smooth=False)
    draw_tufts(c, lines, head.inside())
    for k, text in enumerate(STUMP):
        lines.accent(STUMP_ROW + k, STUMP_COLUMN - (len(text) - 4) // 2, text)
    lines.draw(c, RAMP)
    for nostril in NOSTRILS:
        c.curve(placed(nostril), width=2.2, level=1.0)
    brow = draw_brow(c)
    draw_eyes(c, brow)
    # The picture's ink starts at column 16, whatever the brow's hairs reach for.
    c.ink[:, :FIRST_COLUMN_X * SAMPLES] = 0.0
    return {"floor": 0.1, "soften": 0.6}
