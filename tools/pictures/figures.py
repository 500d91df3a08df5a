"""The three figures of the show, as shapes drawn on a grey-scale raster (see canvas.py).

Makes nothing by itself: make_pictures.py draws these and writes show/picture_rows.hpp.
Re-make the pictures with:  /usr/bin/python3 tools/pictures/make_pictures.py

Coordinates are canvas units: x = column - 1 at a cell's left edge, y = 2 * (row - 1) at its top
edge, so the console's tall cells are already accounted for and round things are drawn round.
Each function draws one picture and returns the settings for its glyph mapping.
"""

import math

import numpy as np

from canvas import RAMP, SAMPLES, Canvas, arc_points, ribbon, spline


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
#
# The unicorn is silhouettes whose edges become strokes one cell thin. Each cell a stroke runs
# through gets the light glyph that follows its direction: `-` along, `/` rising, `:` upright,
# and for the gentle slopes `` ` ``, `-` or `.` by how high in the cell the stroke runs, so a
# falling line steps down as `` `. ``. The horn's twist is bands of `/` across it, and the eye
# and the nostril are an `o` each. The glyphs reach the ramp as ink levels that map back onto
# exactly them.

# Picture 1's ramp in make_pictures.py: the density ramp without its heaviest glyph.
LINE_RAMP = RAMP[:-1]


class LineWork:
    """Strokes collected cell by cell, to be drawn as direction glyphs on a canvas."""

    # Cells whose stroke runs for less than this many units stay blank: a line that only
    # clips a cell's corner would make the line look ragged.
    MIN_LENGTH = 0.6

    def __init__(self, rows, columns):
        self.rows = rows
        self.columns = columns
        self.strokes = {}  # (row, column) from 0 -> (length, glyph)
        self.accents = {}  # (row, column) from 0 -> glyph, placed over the strokes

    def stroke(self, points, hidden=None, glyph=None, smooth=True, closed=False, over=False):
        """Adds a stroke along `points` (a smooth curve through them unless `smooth` is off),
        leaving out where the boolean sample array `hidden` is set. Each cell keeps the longest
        stroke through it, or this one if it goes `over` the others; `glyph` fixes the
        stroke's glyph instead of its direction."""
        line = spline(points, closed) if smooth else [tuple(map(float, p)) for p in points]
        found = {}  # cell -> [length, cos 2a, sin 2a, height in cell times length]
        for (ax, ay), (bx, by) in zip(line, line[1:]):
            span = math.hypot(bx - ax, by - ay)
            if span == 0:
                continue
            # Doubled angles average a direction without caring which way the line was drawn.
            angle = math.atan2(-(by - ay), bx - ax)
            c2, s2 = math.cos(2 * angle), math.sin(2 * angle)
            steps = max(1, int(span / 0.05))
            for i in range(steps):
                t = (i + 0.5) / steps
                x, y = ax + (bx - ax) * t, ay + (by - ay) * t
                row, column = int(y // 2), int(x // 1)
                if not (0 <= row < self.rows and 0 <= column < self.columns):
                    continue
                if hidden is not None and hidden[int(y * SAMPLES), int(x * SAMPLES)]:
                    continue
                piece = span / steps
                entry = found.setdefault((row, column), [0.0, 0.0, 0.0, 0.0])
                entry[0] += piece
                entry[1] += c2 * piece
                entry[2] += s2 * piece
                entry[3] += (y / 2 - row) * piece
        for cell, (length, c2, s2, height) in found.items():
            if not over and length < self.strokes.get(cell, (0.0, ""))[0]:
                continue
            angle = math.degrees(math.atan2(s2, c2)) / 2  # -90 (falling) to 90 (rising)
            self.strokes[cell] = (length, glyph or direction_glyph(angle, height / length))

    def outline(self, shape, hidden=None, **options):
        """Adds the edge of a closed shape as a stroke (see stroke)."""
        self.stroke(shape, hidden, closed=True, **options)

    def mark(self, row, column, glyph):
        """Places `glyph` at a cell given as row and column counted from 0, unless a stroke
        already draws there."""
        if self.strokes.get((row, column), (0.0, ""))[0] < self.MIN_LENGTH:
            self.accents[(row, column)] = glyph

    def accent(self, row, column, text):
        """Places `text` from a cell given as row and column counted from 1, over the strokes."""
        for k, glyph in enumerate(text):
            if glyph != " ":
                self.accents[(row - 1, column - 1 + k)] = glyph

    def draw(self, c, ramp=LINE_RAMP):
        """Fills each of the canvas's cells that holds a glyph with the ink level that maps to
        that glyph on `ramp`, when read with soften 0 or from a cell of even ink (see
        canvas.to_rows)."""
        cells = {cell: glyph for cell, (length, glyph) in self.strokes.items()
                 if length >= self.MIN_LENGTH}
        cells.update(self.accents)
        for (row, column), glyph in cells.items():
            level = (ramp.index(glyph) + 0.5) / len(ramp)
            c.ink[row * 2 * SAMPLES:(row + 1) * 2 * SAMPLES,
                  column * SAMPLES:(column + 1) * SAMPLES] = level


def direction_glyph(angle, height):
    """Returns the glyph for a stroke at `angle` degrees (0 along the row, 90 upright, positive
    rising to the right) running at `height` in its cell (0 top, 1 bottom)."""
    if angle > 75 or angle < -62:
        return ":"
    if angle > 24:
        return "/"
    # Along the row, or falling gently: a falling line crosses the top of one cell and the
    # bottom of the next.
    if height < 0.36:
        return "`"
    if height > 0.64:
        return "."
    return "-"


def scaled(points, about, factor):
    """Returns `points` moved towards (or away from) the point `about` by `factor`."""
    ax, ay = about
    return [(ax + (x - ax) * factor, ay + (y - ay) * factor) for x, y in points]


# The silhouettes, in canvas units. The head, its ear and the horn's base are drawn at full
# size and then made smaller about the poll, so the head stays in proportion to the body.
POLL, HEAD_SCALE = (32.0, 13.0), 0.8
HEAD = [(31.5, 13.0), (28.5, 14.5), (25.5, 17.2), (22.0, 21.5), (18.8, 26.0), (16.0, 30.0),
        (14.0, 32.5), (13.2, 35.0), (13.6, 37.5), (15.4, 39.0), (18.0, 39.2), (21.5, 38.0),
        (25.5, 36.5), (29.5, 34.0), (32.0, 30.0), (33.0, 23.0), (32.8, 16.0)]
HEAD = scaled(HEAD, POLL, HEAD_SCALE)
NECK = [(30.5, 12.5), (36.5, 11.8), (42.0, 14.3), (47.0, 18.8), (51.5, 23.5), (45.0, 34.0),
        (40.0, 42.0), (37.0, 35.0), (34.0, 28.5), (31.5, 21.0)]
BARREL = [(39.0, 34.0), (43.0, 27.5), (49.0, 23.5), (55.0, 25.0), (60.5, 25.0), (64.5, 23.5),
          (68.0, 25.0), (70.2, 30.0), (69.8, 37.0), (67.0, 43.5), (61.0, 46.5), (55.0, 47.0),
          (48.0, 47.0), (42.0, 46.0), (38.6, 41.0)]
NEAR_EAR = [(29.6, 14.5), (30.6, 9.0), (32.6, 4.2), (34.4, 9.2), (34.0, 14.0)]
NEAR_EAR = scaled(NEAR_EAR, POLL, HEAD_SCALE)

# The mane: locks of hair lying along the neck's crest, combed back and down.
MANE_STRANDS = [[(33.5, 9.5), (38.5, 10.5), (43.0, 13.5), (46.0, 17.0)],
                [(36.0, 12.5), (41.0, 14.5), (45.0, 18.0), (48.0, 22.5)],
                [(40.5, 15.5), (45.0, 19.0), (48.5, 23.5), (50.0, 27.0)]]
# The tail: strands of hair from the top of the rump, arching out and falling in long curves.
TAIL_STRANDS = [[(68.5, 24.0), (73.0, 22.8), (76.5, 26.0), (78.3, 33.0), (78.3, 42.0),
                 (77.0, 51.0), (74.5, 58.0)],
                [(69.0, 25.5), (72.5, 26.0), (74.8, 31.0), (75.6, 39.0), (74.8, 48.0),
                 (72.5, 55.0), (70.0, 59.5)],
                [(70.5, 24.6), (74.5, 25.5), (76.8, 31.5), (77.2, 40.0), (76.0, 49.0)]]

# legs as (path from the body down to the hoof, width at each point)
NEAR_FORELEG = ([(41.5, 41.0), (41.0, 50.0), (40.6, 57.0), (40.5, 64.0), (40.5, 69.4)],
                [6.0, 4.4, 3.6, 3.0, 4.0])                      # straight, standing
FAR_FORELEG = ([(46.0, 42.0), (45.5, 52.0), (44.8, 57.0), (44.5, 65.0), (44.5, 69.4)],
               [5.0, 3.8, 3.2, 3.0, 4.0])
NEAR_HIND_LEG = ([(62.0, 36.0), (63.5, 46.0), (67.0, 54.0), (66.3, 63.0), (66.1, 69.4)],
                 [10.0, 6.0, 3.6, 3.0, 4.0])
FAR_HIND_LEG = ([(57.0, 38.0), (57.5, 47.0), (60.5, 55.0), (59.5, 63.0), (59.1, 69.4)],
                [8.0, 5.0, 3.4, 3.0, 4.0])

LEGS = (NEAR_FORELEG, FAR_FORELEG, NEAR_HIND_LEG, FAR_HIND_LEG)
# The glyph of the mane's and the tail's strands: wavy, so that they read as hair.
HAIR = "s"
# The glyph of the shading along the figure's shadow side.
HATCH = "/"
# The row of the fetlocks, the last the shading reaches: below them the pasterns are slim, and
# the row after them is typed again at the top of the next picture, where it should be light.
FETLOCK_ROW = 32

HORN_BASE, HORN_TIP = scaled([(26.0, 17.5)], POLL, HEAD_SCALE)[0], (10.5, 0.7)
HORN_HALF_WIDTH = 3.8


def stencil(rows, columns, *shapes, smooth=True):
    """Returns the samples inside any of `shapes` (polygons), as a boolean array."""
    mask = Canvas(rows, columns)
    for shape in shapes:
        mask.polygon(shape, smooth=smooth)
    return mask.inside()


def horn_point(t, side):
    """Returns the point a fraction `t` of the way up the horn from its base, on its axis
    (side 0) or on one of its edges (side -1 or 1)."""
    bx, by = HORN_BASE
    tx, ty = HORN_TIP
    length = math.hypot(tx - bx, ty - by)
    ux, uy = (tx - bx) / length, (ty - by) / length  # along the horn
    half = HORN_HALF_WIDTH * (1 - t) * side
    return (bx + ux * length * t - uy * half, by + uy * length * t + ux * half)


def horn_strokes(lines, period, band):
    """Draws the spiral horn: a narrow cone, and its twist as the grooves that wind round it,
    seen as bands of `/` across it, `band` cells wide every `period` cells."""
    for side in (-1, 1):
        lines.stroke([horn_point(0, side), horn_point(1, 0)], smooth=False, over=True)
    lines.stroke([horn_point(0, -1), horn_point(0, 1)], smooth=False, over=True)
    bx, by = HORN_BASE
    tx, ty = HORN_TIP
    length = math.hypot(tx - bx, ty - by)
    ux, uy = (tx - bx) / length, (ty - by) / length
    for row in range(lines.rows):
        for column in range(lines.columns):
            # The cell's centre, along the horn (t from base to tip) and across it.
            dx, dy = column + 0.5 - bx, 2 * row + 1.0 - by
            t = (dx * ux + dy * uy) / length
            across = abs(dy * ux - dx * uy)
            if 0 < t < 1 and across < HORN_HALF_WIDTH * (1 - t) - 0.3:
                # `/` runs one column right per row up: the bands are the cells whose column
                # and row add up to the same phase.
                if (column + row) % period < band:
                    lines.mark(row, column, "/")


def draw_layers(lines, layers, rows, columns):
    """Draws the edges of the shapes in `layers`, front first: each layer a list of
    (outline, smooth) pairs. A shape's edge is left out where any other shape of its layer or
    of the layers in front of it covers it."""
    covered = Canvas(rows, columns).inside()
    for layer in layers:
        masks = [stencil(rows, columns, shape, smooth=smooth) for shape, smooth in layer]
        for i, (shape, smooth) in enumerate(layer):
            hidden = covered.copy()
            for j, mask in enumerate(masks):
                if j != i:
                    hidden |= mask
            lines.outline(shape, hidden=hidden, smooth=smooth)
        for mask in masks:
            covered |= mask


def hatch_shadow_side(lines, inside, glyph, last_row):
    """Shades the figure where the light from the upper left leaves it: `glyph` in each blank
    cell inside the boolean sample array `inside` that lies just inside an upright edge on
    the figure's right, so the back of each leg and the rump get a second line beside the
    outline's thin `:` column; no lower than `last_row` (from 1), so the legs end slim."""
    height, width = inside.shape

    def is_inside(x, y):
        row, column = int(y * SAMPLES), int(x * SAMPLES)
        return 0 <= row < height and 0 <= column < width and bool(inside[row, column])

    for row in range(last_row):
        for column in range(lines.columns):
            x, y = column + 0.5, 2.0 * row + 1.0
            if lines.strokes.get((row, column), (0.0, ""))[0] >= lines.MIN_LENGTH:
                continue
            # Inside, the edge within a cell to the right, and the figure going on below.
            if is_inside(x, y) and not is_inside(x + 1.5, y) and is_inside(x, y + 2.0):
                lines.mark(row, column, glyph)


def horse1(c):
    """Draws the unicorn with its spiral horn as direction glyphs; returns its glyph mapping,
    which reads each cell's level back as the glyph chosen for it."""
    rows, columns = c.rows, c.columns
    lines = LineWork(rows, columns)
    horn = [horn_point(0, -1), horn_point(1, 0), horn_point(0, 1)]
    # Front to back: the horn, the near side, the far legs.
    layers = [[(horn, False)],
              [(HEAD, True), (NECK, True), (BARREL, True), (NEAR_EAR, True),
               (limb(*NEAR_FORELEG), False), (limb(*NEAR_HIND_LEG), False)],
              [(limb(*FAR_FORELEG), False), (limb(*FAR_HIND_LEG), False)]]
    draw_layers(lines, layers, rows, columns)
    body = stencil(rows, columns, HEAD, NECK, BARREL) | \
        stencil(rows, columns, *(limb(*leg) for leg in LEGS), smooth=False)
    hatch_shadow_side(lines, body, HATCH, last_row=FETLOCK_ROW)
    for strand in MANE_STRANDS + TAIL_STRANDS:
        lines.stroke(strand, glyph=HAIR)
    horn_strokes(lines, period=4, band=2)

    # Face: the eye under the horn, the nostril above the muzzle (row and column from 1).
    lines.accent(12, 27, "o")
    lines.accent(16, 20, "o")

    lines.draw(c)
    return {"floor": 0.5, "soften": 0.0}


# ---------------------------------------------------------------------------------------------
# Picture 2: the hornless unicorn's face under its enormous unibrow.
#
# A cartoon face seen from the front: pointed ears at the top corners, a forehead, the brow
# across it, two glaring eyes tucked under the brow, and the long face narrowing to a muzzle
# with two nostrils and a frowning mouth; the neck, in a light tone, behind it, and the mane
# falling on one side. The brow, the pupils and the nostrils are solid ink, the face has a
# firm outline; the lids, the neck's edges, the mane and the line over the head are light
# line-work, drawn by direction like the unicorn's.

# The face's middle: halfway between the outer ends of the two clusters of hooves the finish
# types in row 1, so that the ears' tips, EAR_HALF's highest point, stand right under them and
# those hooves read as the tips' last hairs.
FACE_X = 53.0

# Shapes as (across from the face's middle, down), given by their right half where they are
# mirrored.
# The head's top dips a little between the ears, at the poll.
FACE_HALF = [(0.0, 10.6), (4.5, 10.0), (9.5, 8.8), (16.0, 10.6), (21.5, 14.5), (23.8, 19.5),
             (24.5, 27.0), (24.5, 34.0), (23.0, 40.0), (19.0, 46.0), (14.5, 52.0),
             (12.0, 58.0), (11.8, 64.0), (13.0, 70.0), (13.0, 76.0), (9.5, 81.0), (0.0, 82.8)]
EAR_HALF = [(8.0, 11.0), (9.4, 8.0), (12.0, 5.0), (14.5, 2.5), (16.0, 4.6), (18.0, 7.6),
            (19.3, 11.0), (18.5, 14.0)]
INNER_EAR_HALF = [(10.5, 9.5), (11.8, 6.8), (14.6, 4.4), (16.7, 6.6), (17.6, 10.0)]
NECK_HALF = [(17.0, 50.0), (17.5, 62.0), (19.0, 72.0), (22.5, 79.0), (27.5, 83.9)]
MANE = [[(-20.0, 10.0), (-26.0, 20.0), (-29.0, 36.0), (-31.0, 52.0), (-34.0, 68.0),
         (-37.6, 83.9)],
        [(-22.0, 12.0), (-27.5, 26.0), (-30.0, 44.0), (-33.5, 62.0), (-35.0, 76.0)]]
EYE_ACROSS, EYE_Y, EYE_RX, EYE_RY = 12.0, 35.8, 8.0, 6.0
# The brow: solid ink out to BROW_CORE either side of the middle, a lighter tail beyond, to
# BROW_TAIL.
BROW_TAIL, BROW_CORE = 21.5, 16.2
# Above this height the head's outline is a light line, so that nothing above the brow reads
# as the crown of a hat; below that one the face is shaded along its sides.
HEAD_TOP_LINE, SHADE_FROM = 12.0, 42.0


def face_point(across, down):
    """Returns the canvas point `across` units right of the face's middle and `down` units
    from the top."""
    return (FACE_X + across, down)


def half_shape(half, side=1):
    """Returns the points of `half` on the right of the face (side 1) or the left (-1)."""
    return [face_point(side * a, d) for a, d in half]


def both_sides(half):
    """Returns a shape given by its right half as a closed outline of both halves."""
    return half_shape(half) + [p for p in half_shape(reversed(half), -1) if p[0] != FACE_X]


def brow_edges(across):
    """Returns the brow's upper and lower edge `across` units from the face's middle: one
    bushy band, thickest over each eye and pinched over the nose, where the two brows have
    grown together; its tails thin to points that rise a little."""
    d = abs(across)
    if d <= BROW_CORE:
        return (16.0 - 1.4 * math.sin(math.pi * d / 18.0),
                30.2 + 1.7 * math.sin(math.pi * d / 18.0))
    t = min(1.0, (d - BROW_CORE) / (BROW_TAIL - BROW_CORE))
    middle, half = 23.0 - 4.5 * t, 7.4 * (1.0 - t) ** 1.6
    return middle - half, middle + half


def draw_brow(c):
    """Draws the unibrow: a solid band, its tails lighter, its edges ragged with hairs combed
    outwards."""
    steps = 90
    for left, right, level in ((-BROW_TAIL, BROW_TAIL, 0.74), (-BROW_CORE, BROW_CORE, 1.0)):
        xs = [left + (right - left) * i / steps for i in range(steps + 1)]
        c.polygon([face_point(x, brow_edges(x)[0]) for x in xs] +
                  [face_point(x, brow_edges(x)[1]) for x in reversed(xs)], level=level,
                  mode="set")
    # Tufts of hair along the upper edge, combed outwards from the middle.
    for k in range(-12, 13):
        x = BROW_TAIL * 0.94 * k / 12.0
        top, bottom = brow_edges(x)
        lean = 2.4 * x / BROW_TAIL
        height = (1.4, 2.6, 1.0, 2.0)[k % 4]
        c.polygon([face_point(x - 0.8, top + 0.5), face_point(x + lean, top - height),
                   face_point(x + 0.8, top + 0.5)], level=0.8)
    # Each tail ends in a few loose hairs flicking outwards and up.
    for side in (-1, 1):
        for rise, reach in ((-3.5, 2.0), (-1.0, 2.6), (1.5, 2.2)):
            start = BROW_TAIL - 2.5
            middle = sum(brow_edges(start)) / 2.0
            c.line([face_point(side * start, middle + rise * 0.5),
                    face_point(side * (start + reach), middle + rise - 1.5)], width=0.6,
                   level=0.6)


def horse2(c):
    """Draws the hornless unicorn's face under the unibrow; returns its glyph mapping."""
    rows, columns = c.rows, c.columns
    face = both_sides(FACE_HALF)
    face_mask = stencil(rows, columns, face)

    # Behind the head: the neck in a light tone with its edges, and the mane on its left.
    c.polygon(half_shape(NECK_HALF) + half_shape(reversed(NECK_HALF), -1), level=0.1)
    behind = LineWork(rows, columns)
    for side in (-1, 1):
        behind.stroke(half_shape(NECK_HALF, side), hidden=face_mask)
    for strand in MANE:
        behind.stroke(half_shape(strand), hidden=face_mask, glyph=HAIR)
    behind.draw(c, RAMP)
    # The ears: pointed outlines, the inside of each a shade darker.
    for side in (-1, 1):
        ear = Canvas(rows, columns)
        ear.polygon(half_shape(EAR_HALF, side))
        c.polygon(half_shape(INNER_EAR_HALF, side), level=0.22, smooth=True)
        c.outline(ear, width=1.0, level=0.75, tall=1.0)

    # The face: blank, its outline firm below HEAD_TOP_LINE and a light line above it.
    c.polygon(face, level=0.0, mode="set", smooth=True)
    firm = Canvas(rows, columns)
    firm.outline(face_mask, width=1.1, level=0.75, tall=1.1)
    firm.ink[:int(HEAD_TOP_LINE * SAMPLES)] = 0.0
    # Shade along the inside of the long face below the eyes, so that it looks round.
    for width, level in ((7.0, 0.09), (3.6, 0.2)):
        shade = Canvas(rows, columns)
        shade.outline(face_mask, width=width, level=level)
        shade.ink[~face_mask] = 0.0
        shade.ink[:int(SHADE_FROM * SAMPLES)] = 0.0
        firm.ink = np.maximum(firm.ink, shade.ink)
    c.ink = np.maximum(c.ink, firm.ink)
    light = LineWork(rows, columns)
    below_top = np.zeros_like(face_mask)
    below_top[int(HEAD_TOP_LINE * SAMPLES):] = True
    light.outline(face, hidden=below_top)
    # The eyes' lower lids; their upper lids are hidden under the brow.
    for side in (-1, 1):
        light.stroke(arc_points(FACE_X + side * EYE_ACROSS, EYE_Y, EYE_RX, EYE_RY, -25.0,
                                205.0), smooth=False)
    light.draw(c, RAMP)

    # The pupils, looking a little inwards, then the brow over them.
    for side in (-1, 1):
        c.ellipse(FACE_X + side * (EYE_ACROSS - 2.0), EYE_Y + 1.2, 2.6, 3.2, level=1.0)
    draw_brow(c)

    # Muzzle: the nostrils, slits slanting outwards, and the mouth under them.
    for side in (-1, 1):
        c.curve(half_shape([(4.8, 65.5), (7.2, 67.5), (8.2, 71.0), (7.0, 73.5)], side),
                width=1.7, level=0.95)
    c.curve(both_sides([(6.5, 79.0), (3.0, 77.8), (0.0, 77.5)]), width=1.0, level=0.5)
    return {"floor": 0.1, "soften": 1.0}


# ---------------------------------------------------------------------------------------------
# Picture 3: the unicycle.

# The wheel: centre, and the radii of the tyre, the rim and the hub.
WHEEL_X, WHEEL_Y = 40.0, 84.0
TYRE_OUTER, TYRE_INNER, RIM, HUB = 34.0, 30.0, 28.5, 4.5
SPOKES = 16
# The cranks: their length from the hub's middle, and the angles they point at (0 ahead, 90
# down), one pedal ahead and a little down, the other behind and a little up.
CRANK, CRANK_ANGLES = 13.0, (20.0, 200.0)

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
        inner, outer = TYRE_OUTER - 1.6, TYRE_OUTER - 0.4
        c.line([(cx + inner * math.cos(a), cy + inner * math.sin(a)),
                (cx + outer * math.cos(a), cy + outer * math.sin(a))],
               width=0.9, level=0.6, mode="set")
    c.arc(cx, cy, RIM, RIM, width=1.2, level=0.55)

    # What stands in front of the spokes: the fork's blades, the hub, the cranks and pedals.
    blades = [(cx + side * 8.0, 45.5, cx + side * 3.0, cy) for side in (-1, 1)]
    pedals = []
    for angle in CRANK_ANGLES:
        a = math.radians(angle)
        # Each pedal fills one row of cells exactly, so its block has no ragged edges.
        py = 2.0 * math.floor((cy + CRANK * math.sin(a)) / 2.0) + 1.0
        pedals.append((cx + CRANK * math.cos(a), py))
    front = Canvas(c.rows, c.columns)
    for x0, y0, x1, y1 in blades:
        tube(front, x0, y0, x1, y1, 5.0, shine=0)
    front.ellipse(cx, cy, HUB + 1.5, HUB + 1.5)
    for px, py in pedals:
        tube(front, cx, cy, px, py, 4.0, shine=0)
        front.polygon([(px - 5.5, py - 1.0), (px + 5.5, py - 1.0), (px + 5.5, py + 1.0),
                       (px - 5.5, py + 1.0)])

    # Spokes: straight line-work from the hub to the rim, evenly round the wheel, each drawn
    # with the glyph of its direction so that the lower half is as clean as the upper.
    spokes = LineWork(c.rows, c.columns)
    for k in range(SPOKES):
        a = math.radians(360.0 / SPOKES * (k + 0.5))
        spokes.stroke([(cx + HUB * math.cos(a), cy + HUB * math.sin(a)),
                       (cx + (RIM - 0.8) * math.cos(a), cy + (RIM - 0.8) * math.sin(a))],
                      hidden=front.inside(), smooth=False)
    spokes.draw(c)

    # Fork: two legs down from the crown, tapering into blades that run into the hub.
    for side, (x0, y0, x1, y1) in zip((-1, 1), blades):
        tube(c, x0, 34.0, x0, 46.0, 5.0)
        tube(c, x0, y0, x1, y1, 3.2)
    c.ellipse(cx, cy, HUB, HUB, level=1.0, mode="set")
    c.ellipse(cx, cy, 1.4, 1.4, level=0.3, mode="set")

    # Cranks: short straight bars from the hub, a pedal block at each end.
    for px, py in pedals:
        tube(c, cx, cy, px, py, 1.6, shine=0)
        c.polygon([(px - 4.5, py - 1.0), (px + 4.5, py - 1.0), (px + 4.5, py + 1.0),
                   (px - 4.5, py + 1.0)], level=1.0, mode="set")

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
