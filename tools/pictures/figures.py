"""The three figures of the show, as shapes drawn on a grey-scale raster (see canvas.py).

Makes nothing by itself: make_pictures.py draws these and writes show/picture_rows.hpp.
Re-make the pictures with:  /usr/bin/python3 tools/pictures/make_pictures.py

Coordinates are canvas units: x = column - 1 at a cell's left edge, y = 2 * (row - 1) at its top
edge, so the console's tall cells are already accounted for and round things are drawn round.
Each function draws one picture and returns the settings for its glyph mapping.
"""

import math

from canvas import RAMP, SAMPLES, Canvas, ribbon, spline


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

    def __init__(self, rows, columns, glyph_for=None):
        """`glyph_for(angle, height)` picks each cell's glyph from its stroke's direction and
        height in the cell; direction_glyph unless given."""
        self.rows = rows
        self.columns = columns
        self.glyph_for = glyph_for or direction_glyph
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
            self.strokes[cell] = (length, glyph or self.glyph_for(angle, height / length))

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

    def draw(self, c):
        """Fills each of the canvas's cells that holds a glyph with the ink level that maps to
        that glyph, when read with soften 0 (see canvas.to_rows)."""
        cells = {cell: glyph for cell, (length, glyph) in self.strokes.items()
                 if length >= self.MIN_LENGTH}
        cells.update(self.accents)
        for (row, column), glyph in cells.items():
            level = (LINE_RAMP.index(glyph) + 0.5) / len(LINE_RAMP)
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


def mirrored_glyph(angle, height):
    """Returns the glyph for a stroke like direction_glyph, but from glyphs that are their own
    mirror image: a line rising to the right steps up as `.` then `` ` ``, one falling steps
    down as `` ` `` then `.`, so a drawing made of them is as even on its left as its right."""
    if abs(angle) > 56:
        return ":"
    if height < 0.4:
        return "`"
    if height > 0.6:
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

# The face seen from the front, centred between columns 16 and 80; row 1 is left to the finish,
# which repeats there the unicorn's hoof row: its two clusters of legs are the ears' tips.
FACE_X = 48.0
FACE = [(28.5, 17.0), (33.0, 12.5), (40.0, 10.6), (48.0, 10.2), (56.0, 10.6), (63.0, 12.5),
        (67.5, 17.0), (69.5, 26.0), (69.0, 34.0), (66.0, 42.0), (62.0, 50.0), (60.5, 60.0),
        (62.5, 68.0), (63.5, 76.0), (59.5, 81.5), (48.0, 83.6), (36.5, 81.5), (32.5, 76.0),
        (33.5, 68.0), (35.5, 60.0), (34.0, 50.0), (30.0, 42.0), (27.0, 34.0), (26.5, 26.0)]
EAR = [(32.5, 14.0), (30.6, 6.0), (30.8, 0.2), (34.5, 3.5), (40.0, 11.0)]  # the left one
INNER_EAR = [(33.6, 12.0), (32.2, 6.5), (31.9, 3.4), (34.4, 6.0), (37.8, 10.5)]
# The forelock: a lock of hair from the poll between the ears, falling onto the forehead, its
# lower edge ragged in points.
FORELOCK = [(44.0, 9.0), (48.0, 7.0), (52.0, 9.0), (55.0, 13.0), (53.5, 16.0), (52.0, 13.6),
            (50.5, 17.0), (48.5, 14.0), (46.5, 17.0), (45.0, 13.6), (42.5, 16.0), (41.0, 13.0)]
# The neck behind the head, widening into the chest and shoulders at the picture's foot.
NECK_EDGE = [(29.0, 44.0), (26.5, 56.0), (25.0, 68.0), (21.5, 76.5), (15.9, 82.6)]
BROW_LEFT, BROW_RIGHT = 30.5, 65.5
EYE_Y = 37.0


def mirrored(points):
    """Returns `points` mirrored across the face's middle."""
    return [(2 * FACE_X - x, y) for x, y in points]


def brow(c, left, right, top, bottom, level):
    """Draws one enormous bushy eyebrow from x `left` to `right`, solid between `top` and
    `bottom`, sagging a little over the nose and rounding off at its ends, its edges ragged
    with hairs combed outwards from the middle."""
    middle = (left + right) / 2.0
    half = (right - left) / 2.0

    # Returns the brow's upper and lower edge at x: an arch over each eye, a sag between.
    def edges(x):
        u = (x - middle) / half                      # -1 at the left end, 1 at the right
        arch = 1.6 * math.sin(math.pi * u) ** 2
        end = max(0.0, abs(u) - 0.86) / 0.14          # 0 inside, 1 at the very end
        return top - arch + 6.0 * end ** 2, bottom + 0.8 * (1.6 - arch) - 4.0 * end ** 2

    steps = 80
    xs = [left + (right - left) * i / steps for i in range(steps + 1)]
    c.polygon([(x, edges(x)[0]) for x in xs] + [(x, edges(x)[1]) for x in reversed(xs)],
              level=level)
    # Hairs: strokes out of both edges and off the ends, combed outwards from the middle, of
    # uneven lengths so the edges look ragged rather than cut.
    for k in range(-22, 23):
        x = middle + half * 0.97 * k / 22.0
        u = (x - middle) / half
        upper, lower = edges(x)
        lean = 2.2 * u
        length = (1.0, 2.4, 1.6, 3.0, 1.3)[k % 5]
        c.line([(x, upper + 1.0), (x + lean, upper - length)], width=0.6, level=level * 0.8)
        drop = (1.4, 0.8, 2.0, 1.0)[k % 4]
        c.line([(x, lower - 1.0), (x + lean * 0.8, lower + drop)], width=0.6,
               level=level * 0.8)


def horse2(c):
    """Draws the hornless unicorn's face under the unibrow; returns its glyph mapping."""
    # Neck and shoulders behind the head: the neck's edges, and a little shade along them.
    for edge in (NECK_EDGE, mirrored(NECK_EDGE)):
        c.curve(edge, width=1.1, level=0.7, tall=1.6)
    # Ears behind the head: pointed outlines, the inside of each a shade darker.
    for ear, inside in ((EAR, INNER_EAR), (mirrored(EAR), mirrored(INNER_EAR))):
        c.polygon(inside, level=0.25, smooth=True)
        stencil_of_ear = Canvas(c.rows, c.columns)
        stencil_of_ear.polygon(ear, smooth=True)
        c.outline(stencil_of_ear, width=1.1, level=0.8, tall=1.4)

    # The face: blank, with a firm outline.
    c.polygon(FACE, level=0.0, mode="set", smooth=True)
    shape = Canvas(c.rows, c.columns)
    shape.polygon(FACE, smooth=True)
    c.outline(shape, width=1.2, level=0.8, tall=1.6)

    # The forelock, its strands parted by thin lines of shade.
    c.polygon(FORELOCK, level=0.75, mode="set", smooth=True)
    for x0, x1 in ((46.5, 44.0), (48.0, 48.0), (49.5, 52.0)):
        c.line([(x0, 9.0), (x1, 15.0)], width=0.5, level=0.3, mode="set")

    # Eyes at the sides, their upper lids just under the brow: the white, the lids, the pupil
    # looking forward.
    for side in (-1, 1):
        ex = FACE_X + side * 12.5
        c.ellipse(ex, EYE_Y, 6.5, 5.5, level=0.0, mode="set")
        c.arc(ex, EYE_Y, 6.5, 5.5, start=195.0, end=345.0, width=1.0, level=0.7)
        c.arc(ex, EYE_Y, 6.5, 5.5, start=15.0, end=165.0, width=1.0, level=0.6)
        c.ellipse(ex - side * 1.0, EYE_Y + 0.5, 2.4, 3.4, level=1.0)

    brow(c, BROW_LEFT, BROW_RIGHT, top=16.0, bottom=30.0, level=1.0)

    # The long nose: its bridge down the middle of the face, widening into the muzzle.
    for side in (-1, 1):
        c.curve([(FACE_X + side * 4.0, 40.0), (FACE_X + side * 3.2, 50.0),
                 (FACE_X + side * 3.6, 58.0), (FACE_X + side * 6.0, 64.0)], width=0.8,
                level=0.3)

    # Muzzle: the nostrils, and the lip line under them.
    for side in (-1, 1):
        c.polygon([(FACE_X + side * 6.5, 66.5), (FACE_X + side * 10.0, 68.5),
                   (FACE_X + side * 9.5, 73.0), (FACE_X + side * 6.5, 71.5)], level=1.0,
                  smooth=True)
    c.curve([(41.0, 79.0), (44.5, 78.0), (48.0, 77.8), (51.5, 78.0), (55.0, 79.0)], width=1.0,
            level=0.5)

    return {"floor": 0.1, "soften": 1.0}


# ---------------------------------------------------------------------------------------------
# Picture 3: the unicycle.
#
# The tyre is a solid ring shaded by the ramp; the rim and the spokes are line-work in glyphs
# that are their own mirror image (see mirrored_glyph). The wheel's middle sits on a cell corner,
# so a spoke that steps a whole number of cells per row crosses every row the same way and comes
# out as one clean repeated pattern: `` `-. `` for three columns a row, `:` for one.

# The wheel: centre, and the radii of the tyre, the rim, the hub's flange and its axle.
WHEEL_X, WHEEL_Y = 40.0, 84.0
TYRE_OUTER, TYRE_INNER, RIM, HUB, AXLE = 34.0, 30.0, 27.8, 6.0, 2.0
# The spokes, as (columns, rows) stepped per row, each drawn in all four quarters from the
# hub's flange to the rim, and one straight down. The level spokes would lie behind the crank.
SPOKE_STEPS = [(3, 1), (1, 1)]
# The cranks: an arm from the hub each way, this long from the middle to the pedal's middle.
CRANK = 16.0
CRANK_HALF_THICKNESS = 1.0
# A pedal seen end on: a block two rows tall, clearly wider than the arm that holds it.
PEDAL_HALF_WIDTH, PEDAL_HALF_HEIGHT = 3.0, 2.0
# The fork: the legs' middles this far either side, straight down from the crown to the end of
# the repeated rows; the blades then go on straight down, a little narrower, onto the hub.
FORK_LEG_OFFSET, FORK_LEG_WIDTH, FORK_LEG_END = 5.0, 5.0, 46.0
BLADE_WIDTH = 4.0
# How far from a leg's middle its line of shine runs, down the blade too.
LEG_SHINE = 0.35 * FORK_LEG_WIDTH / 2

# The saddle seen from the side: a padded cushion with a gently rounded top and full round
# ends, mirrored about the post; below it a short shell narrows onto the post.
SADDLE_HALF = [(40.0, 3.7), (33.0, 3.5), (28.5, 3.2), (26.0, 4.6), (25.4, 7.2), (26.6, 9.2),
               (29.5, 10.4), (34.0, 10.9), (40.0, 11.0)]
SADDLE = SADDLE_HALF[:-1] + [(2 * WHEEL_X - x, y) for x, y in reversed(SADDLE_HALF[1:])]
SADDLE_SHELL = [(34.5, 9.5), (45.5, 9.5), (43.0, 13.0), (37.0, 13.0)]


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


def blade(side):
    """Returns the outline of one fork blade (`side` -1 left, 1 right), from the leg's end down
    to the hub's middle."""
    return box(WHEEL_X + side * FORK_LEG_OFFSET, (FORK_LEG_END + WHEEL_Y) / 2, BLADE_WIDTH / 2,
               (WHEEL_Y - FORK_LEG_END) / 2)


def box(x, y, half_width, half_height):
    """Returns the corners of the rectangle centred on (x, y)."""
    return [(x - half_width, y - half_height), (x + half_width, y - half_height),
            (x + half_width, y + half_height), (x - half_width, y + half_height)]


def unibike(c):
    """Draws the unicycle standing on the ground; returns its glyph mapping."""
    cx, cy = WHEEL_X, WHEEL_Y
    # Ground line under the tyre, across the whole picture.
    c.polygon([(0.0, 116.6), (80.0, 116.6), (80.0, 118.0), (0.0, 118.0)], level=0.3)

    # Tyre: a solid ring, its edges shaded by how much of each cell it covers.
    c.ellipse(cx, cy, TYRE_OUTER, TYRE_OUTER, level=1.0, mode="set")
    c.ellipse(cx, cy, TYRE_INNER, TYRE_INNER, level=0.0, mode="set")

    # What stands in front of the spokes: the fork's blades.
    front = Canvas(c.rows, c.columns)
    for side in (-1, 1):
        front.polygon(blade(side))
    in_front = front.inside()

    # Rim and spokes. Each spoke runs straight out from the wheel's middle, starting on the
    # hub's flange, so all of them visibly leave the hub, and ends on the rim.
    wire = LineWork(c.rows, c.columns, glyph_for=mirrored_glyph)
    wire.stroke([(cx + RIM * math.cos(a), cy + RIM * math.sin(a))
                 for a in (math.radians(d) for d in range(0, 361, 3))], smooth=False)
    for columns, rows in SPOKE_STEPS:
        across = columns / (2.0 * rows)  # units across for each unit down
        length = math.hypot(across, 1.0)
        first, last = HUB / length, (RIM - 0.5) / length
        for sx in (-1, 1):
            for sy in (-1, 1):
                wire.stroke([(cx + sx * across * down, cy + sy * down) for down in (first, last)],
                            hidden=in_front, smooth=False)
    # The spoke straight down takes both middle columns, the middle being a column's edge; the
    # one straight up would only crowd the gap between the blades.
    for x in (cx - 0.5, cx + 0.5):
        wire.stroke([(x, cy + HUB), (x, cy + RIM - 0.5)], smooth=False)
    wire.draw(c)

    # Fork: two legs straight down from the crown, going on as blades that end on the hub's
    # flange, each lit on its inner side so that the two mirror each other, with a blank edge
    # on that side where the tyre runs behind them.
    for side in (-1, 1):
        x0 = cx + side * FORK_LEG_OFFSET
        blade_end = cy - math.sqrt(HUB * HUB - FORK_LEG_OFFSET * FORK_LEG_OFFSET)
        c.polygon(box(x0 - side * 0.5, (FORK_LEG_END + blade_end) / 2, BLADE_WIDTH / 2 + 0.5,
                      (blade_end - FORK_LEG_END) / 2), level=0.0, mode="set")
        tube(c, x0, 34.0, x0, FORK_LEG_END, FORK_LEG_WIDTH, shine=0)
        tube(c, x0, FORK_LEG_END, x0, blade_end, BLADE_WIDTH, shine=0)
        shine_x = x0 - side * LEG_SHINE
        c.line([(shine_x, 34.0), (shine_x, blade_end)], width=1.0, level=0.45, mode="set")

    # Hub: a round flange, open in its face, with the axle dark in its middle; then a crank
    # arm out of it each way, a pedal block at each arm's end.
    c.ellipse(cx, cy, HUB, HUB, level=1.0, mode="set")
    c.ellipse(cx, cy, HUB - 1.6, HUB - 1.6, level=0.0, mode="set")
    c.ellipse(cx, cy, AXLE, AXLE, level=1.0, mode="set")
    for side in (-1, 1):
        arm_start, arm_end = cx + side * (HUB - 0.3), cx + side * CRANK
        c.polygon(box((arm_start + arm_end) / 2, cy + CRANK_HALF_THICKNESS,
                      abs(arm_end - arm_start) / 2, CRANK_HALF_THICKNESS), level=1.0)
        c.polygon(box(arm_end, cy + CRANK_HALF_THICKNESS, PEDAL_HALF_WIDTH, PEDAL_HALF_HEIGHT),
                  level=1.0)

    # Crown: the bridge over the tyre that holds both legs.
    reach = FORK_LEG_OFFSET + FORK_LEG_WIDTH
    c.polygon([(cx - reach + 2.0, 28.2), (cx + reach - 2.0, 28.2), (cx + reach, 30.5),
               (cx + reach, 35.8), (cx - reach, 35.8), (cx - reach, 30.5)], level=1.0)
    c.line([(cx - reach + 2.0, 30.0), (cx + reach - 2.0, 30.0)], width=0.9, level=0.5,
           mode="set")

    # Seat post, plain, with its clamp; the saddle's shell joins it to the saddle on top.
    tube(c, cx, 12.0, cx, 29.0, 6.0, shine=0)
    c.polygon([(35.5, 22.2), (44.5, 22.2), (44.5, 25.8), (35.5, 25.8)], level=1.0)
    c.polygon(SADDLE_SHELL, level=1.0)
    c.polygon(SADDLE, level=1.0, smooth=True)

    return {"floor": 0.1, "soften": 1.0}
