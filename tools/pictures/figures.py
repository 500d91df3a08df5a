"""The unicorn and the unicycle, as shapes drawn on a grey-scale raster (see canvas.py); the
face is face.py's.

Makes nothing by itself: make_pictures.py draws these and writes show/picture_rows.hpp.
Re-make the pictures with:  /usr/bin/python3 tools/pictures/make_pictures.py

Coordinates are canvas units: x = column - 1 at a cell's left edge, y = 2 * (row - 1) at its top
edge, so the console's tall cells are already accounted for and round things are drawn round.
Each function draws one picture and returns the settings for its glyph mapping.
"""

import math

import numpy as np

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
# Line-work, for the unicorn and the unicycle's wire
#
# Strokes collected cell by cell: each cell a stroke runs through gets the light glyph that
# follows its direction: `-` along, `/` rising, `:` upright, and for the gentle slopes `` ` ``,
# `-` or `.` by how high in the cell the stroke runs, so a falling line steps down as `` `. ``.
# The glyphs reach the ramp as ink levels that map back onto exactly them.

# The ramp of the pictures drawn as line-work: the density ramp without its heaviest glyph.
LINE_RAMP = RAMP[:-1]


def fill_cell(c, row, column, glyph, ramp=LINE_RAMP):
    """Fills a cell (row and column from 0) with the ink level that maps to `glyph` on `ramp`
    when read with soften 0, or from a cell of even ink (see canvas.to_rows)."""
    level = (ramp.index(glyph) + 0.5) / len(ramp)
    c.ink[row * 2 * SAMPLES:(row + 1) * 2 * SAMPLES,
          column * SAMPLES:(column + 1) * SAMPLES] = level


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
            fill_cell(c, row, column, glyph, ramp)


def direction_glyph(angle, height):
    """Returns the glyph for a stroke at `angle` degrees (0 along the row, 90 upright, positive
    rising to the right) running at `height` in its cell (0 top, 1 bottom)."""
    if angle > 79 or angle < -70:
        return ":"
    if angle > 24:
        return "/"
    if angle < -30:
        # Falling steeply: the line's top in one cell, its foot in the next, as `` `. ``.
        return "`" if height < 0.5 else "."
    # Along the row, or falling gently: a falling line crosses the top of one cell and the
    # bottom of the next.
    if height < 0.3:
        return "`"
    if height > 0.7:
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


def stencil(rows, columns, *shapes, smooth=True):
    """Returns the samples inside any of `shapes` (polygons), as a boolean array."""
    mask = Canvas(rows, columns)
    for shape in shapes:
        mask.polygon(shape, smooth=smooth)
    return mask.inside()


# ---------------------------------------------------------------------------------------------
# Picture 1: the unicorn, facing left, in light line-work.
#
# The unicorn is a few outlines in line-work: its near side (head, neck, body and near legs)
# as one closed curve, the far legs behind it, the cheek and the thigh inside the outline; the
# horn row by row, a `/` groove in every cell between its edges; the mane and the tail locks of
# hair that fall in curves to points of their own; the shoulder's curve inside the body, and a
# second line at the chest and a `-` run at the belly, so the outline closes where one light
# glyph a cell would leave gaps. The eye, the nostril and the hooves are the hand finish's
# (finish.txt).

def scaled(points, about, factor):
    """Returns `points` moved towards (or away from) the point `about` by `factor`."""
    ax, ay = about
    return [(ax + (x - ax) * factor, ay + (y - ay) * factor) for x, y in points]


# The head is drawn at full size and then made smaller about the throat, which keeps it in
# proportion to the body.
THROAT, HEAD_SCALE = (30.0, 24.0), 0.82


def head(points):
    """Returns points of the head, made smaller about the throat."""
    return scaled(points, THROAT, HEAD_SCALE)


# The near side, clockwise from the forehead, in canvas units.
NEAR_SIDE = head([
    (26.0, 12.4), (27.4, 9.6), (29.2, 7.0), (30.6, 9.8), (31.8, 12.2),           # ear
]) + [
    (36.0, 12.2), (40.5, 14.0), (44.5, 17.2), (48.0, 21.0), (51.0, 24.6),         # crest
    (54.5, 27.4), (59.0, 28.6), (63.5, 28.6), (67.0, 28.4), (69.8, 29.8),         # withers, back
    (71.8, 33.0), (72.6, 37.0), (71.0, 41.5),                                     # buttock
    (70.2, 46.5), (70.8, 51.5), (71.8, 55.5), (70.8, 59.0), (70.0, 63.2),         # hind leg's back,
    (69.8, 66.6), (70.4, 69.6), (64.4, 69.6), (65.0, 67.0), (65.2, 63.4),         # the cannon
    (65.8, 60.0), (66.4, 56.5), (65.2, 53.0), (64.0, 50.5),                       # upright
    (62.6, 46.6), (58.0, 47.4), (51.0, 48.4), (44.0, 47.6),                       # belly
    (36.6, 45.6), (35.8, 50.0), (35.2, 55.0), (34.8, 59.5), (34.6, 63.5),         # foreleg's back,
    (34.6, 66.6), (35.2, 69.6), (29.4, 69.6), (29.8, 67.0), (29.8, 64.0),         # upright
    (30.0, 60.0), (30.2, 55.0), (30.4, 50.0),                                     # foreleg's front
    (30.0, 45.5), (26.8, 42.0), (25.4, 38.0), (26.6, 34.0),                       # chest, neck
] + head([
    (29.2, 29.2),                                                                 # throat
    (27.0, 30.6), (23.4, 31.8), (19.6, 32.6), (16.4, 32.8),                       # jaw
    (14.2, 31.8), (13.8, 29.6), (15.6, 26.6), (18.2, 22.2), (20.8, 17.8),         # muzzle, face
    (23.4, 14.2),
])
# The back of the cheek, from the throat up towards the ear.
CHEEK = head([(29.2, 29.2), (30.0, 27.0), (29.4, 24.4), (27.4, 22.2)])
# The far legs: (path from the body down to the hoof, width at each point).
FAR_FORELEG = ([(40.0, 44.0), (41.2, 51.0), (42.2, 57.0), (42.4, 63.0), (41.8, 69.4)],
               [5.4, 4.4, 4.2, 3.6, 4.4])
FAR_HIND_LEG = ([(56.4, 43.0), (55.4, 49.0), (57.2, 55.0), (56.4, 62.0), (55.4, 69.4)],
                [6.4, 5.0, 4.2, 3.6, 4.4])
# The tail: locks of hair from the top of the rump, arching out and falling in waves, each
# to a point of its own.
TAIL_LOCKS = [[(69.6, 29.2), (74.0, 29.4), (77.4, 33.0), (78.4, 40.0), (76.8, 47.0),
               (77.8, 53.0), (75.8, 59.4)],
              [(69.8, 30.2), (72.8, 32.0), (74.2, 37.0), (73.6, 43.0), (74.4, 49.0),
               (75.6, 54.0)]]
# The thigh's front edge inside the body, from the croup down to the stifle.
THIGH = [(66.8, 30.8), (64.8, 35.0), (63.6, 40.0), (63.8, 44.6)]
# The mane: where its locks grow along the crest, from the poll down to the withers, and how
# long each is; every lock falls from there in the same curve onto the neck to a point, the
# longest in the middle.
MANE_ROOTS = [(34.0, 12.6, 0.7), (36.6, 13.0, 0.9), (39.2, 14.0, 1.1), (41.6, 15.6, 1.2),
              (44.0, 17.6, 1.2), (46.2, 19.8, 1.1), (48.4, 22.2, 0.9), (50.6, 24.6, 0.7)]
MANE_LOCK = [(0.0, 0.0), (-1.4, 2.4), (-2.2, 4.6), (-2.0, 6.0)]
# The inner lines of the body: the shoulder's curve down to the elbow; the chest's second line
# and the belly drawn again as one `-` run keep the outline closed where one light glyph a cell
# would leave gaps.
SHOULDER = [(37.0, 32.0), (34.6, 36.4), (33.8, 40.6), (35.6, 44.0)]
CHEST = [(27.6, 34.0), (26.4, 38.0), (27.8, 42.0), (31.0, 45.2)]
BELLY = [(38.4, 46.4), (44.0, 47.6), (51.0, 48.4), (58.0, 47.4), (62.6, 46.6)]
# The horn: a narrow cone from the forehead to the tip at the picture's top left.
HORN_BASE, HORN_TIP, HORN_HALF_WIDTH = head([(24.2, 13.6)])[0], (10.5, 0.8), 2.8


def horn_outline():
    """Returns the horn's cone as a triangle: base corners and tip."""
    bx, by = HORN_BASE
    tx, ty = HORN_TIP
    length = math.hypot(tx - bx, ty - by)
    ux, uy = (tx - bx) / length, (ty - by) / length
    across = (-uy * HORN_HALF_WIDTH, ux * HORN_HALF_WIDTH)
    return [(bx + across[0], by + across[1]), (tx, ty), (bx - across[0], by - across[1])]


def draw_horn(lines, in_horn):
    """Draws the spiral horn row by row across its tip and the cells it covers a fifth of: its
    upper edge a `` ` ``, its lower edge a `.`, and the grooves that wind round it, seen from
    the side, a `/` in every cell between."""
    cover = in_horn.reshape(lines.rows, 2 * SAMPLES, lines.columns, SAMPLES).mean(axis=(1, 3))
    tip = (int(HORN_TIP[1] // 2), int(HORN_TIP[0]))  # its fine point covers little of its cell
    for row in range(lines.rows):
        inside = [column for column in range(lines.columns) if cover[row, column] >= 0.2
                  or (row, column) == tip]
        if not inside:
            continue
        first, last = inside[0], inside[-1]
        glyphs = "." if first == last else "`" + "/" * (last - first - 1) + "."
        lines.accent(row + 1, first + 1, glyphs)


def horse1(c):
    """Draws the unicorn with its horn; returns its glyph mapping, which reads each cell's
    level back as the glyph drawn there."""
    rows, columns = c.rows, c.columns
    horn = horn_outline()
    near, in_horn = stencil(rows, columns, NEAR_SIDE), stencil(rows, columns, horn, smooth=False)
    lines = LineWork(rows, columns)
    lines.outline(NEAR_SIDE, hidden=in_horn)
    for lock in TAIL_LOCKS:
        lines.stroke(lock, over=True)
    for leg in (FAR_FORELEG, FAR_HIND_LEG):
        lines.outline(limb(*leg), hidden=near | in_horn, smooth=False)
    lines.stroke(CHEEK)
    lines.stroke(THIGH)
    for rx, ry, length in MANE_ROOTS:
        lines.stroke([(rx + x * length, ry + y * length) for x, y in MANE_LOCK])
    lines.stroke(SHOULDER)
    lines.stroke(CHEST)
    lines.stroke(BELLY, glyph="-", over=True)
    draw_horn(lines, in_horn)
    lines.draw(c)
    return {"floor": 0.5, "soften": 0.0}


# ---------------------------------------------------------------------------------------------
# Picture 3: the unicycle.
#
# The tyre is a solid ring shaded by the ramp; the rim and the spokes are line-work in glyphs
# that are their own mirror image (see mirrored_glyph). The wheel's middle sits on a cell corner,
# so a spoke that steps a whole number of cells per row crosses every row the same way and comes
# out as one clean repeated pattern: `` `-. `` for three columns a row, `:` for one.

# The wheel: centre, and the radii of the tyre and the rim; the hub (see HUB_CELLS) reaches
# HUB above and below the middle.
WHEEL_X, WHEEL_Y = 40.0, 84.0
TYRE_OUTER, TYRE_INNER, RIM, HUB = 34.0, 30.0, 27.8, 4.0
# The slanting spokes, as (columns, rows) stepped per row, each drawn in all four quarters, and
# one straight down. The level spokes would lie behind the crank, which takes their place.
SPOKE_STEPS = [(3, 1), (1, 1)]
# The cranks: two level arms out from the hub on the row below its middle, one glyph thick, and
# this long from the middle to each pedal.
CRANK, CRANK_ARM = 13.0, "-"
# A pedal seen from the side, typed cell by cell round its spindle: a solid block with lighter
# edges, taller than the arm that holds it, so that it reads as a pedal, not as a bar's end.
PEDAL = (".ssssss.", "dMMMMMMd", "`ssssss`")
# The fork: the legs' middles this far either side, straight down from the crown to the end of
# the repeated rows; the blades then go on straight down, a little narrower, onto the hub.
FORK_LEG_OFFSET, FORK_LEG_WIDTH, FORK_LEG_END = 5.0, 5.0, 46.0
BLADE_WIDTH = 4.0
# How far from a leg's middle its line of shine runs, down the blade too.
LEG_SHINE = 0.35 * FORK_LEG_WIDTH / 2

# The saddle seen from the side, given by its right half (across from the post's middle, down)
# and mirrored, so that it sits even on the post: its top one gentle arch, its ends rounded, its
# underside one shallow curve down to the clamp, cut level there.
SADDLE_HALF = [(0.0, 3.0), (6.0, 3.3), (10.5, 4.1), (13.5, 5.4), (15.0, 7.4), (14.0, 9.2),
               (10.5, 10.6), (5.0, 11.6), (0.0, 12.2)]
SADDLE_BOTTOM = 12.0
# The hub between the blades, typed by rows from the one above the wheel's middle: round, with
# the crank arms' row through it.
HUB_CELLS = (".oo.", "MMMM", "NMMN", "`oo`")


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

    # Rim and spokes. Every spoke runs from the wheel's middle, under the hub, out to the rim, so
    # that they meet at the hub as one star.
    wire = LineWork(c.rows, c.columns, glyph_for=mirrored_glyph)
    wire.stroke([(cx + RIM * math.cos(a), cy + RIM * math.sin(a))
                 for a in (math.radians(d) for d in range(0, 361, 3))], smooth=False)
    for columns, rows in SPOKE_STEPS:
        across = columns / (2.0 * rows)  # units across for each unit down
        last = (RIM - 0.5) / math.hypot(across, 1.0)
        for sx in (-1, 1):
            for sy in (-1, 1):
                wire.stroke([(cx + sx * across * down, cy + sy * down) for down in (0.0, last)],
                            hidden=in_front, smooth=False)
    # The spoke straight down takes both middle columns, the middle being a column's edge; the
    # one straight up would only crowd the gap between the blades.
    for x in (cx - 0.5, cx + 0.5):
        wire.stroke([(x, cy), (x, cy + RIM - 0.5)], smooth=False)
    wire.draw(c)

    # Fork: two legs straight down from the crown, going on as blades onto the hub, each lit
    # on its inner side so that the two mirror each other, with a blank edge on that side
    # where the tyre runs behind them.
    for side in (-1, 1):
        x0 = cx + side * FORK_LEG_OFFSET
        c.polygon(box(x0 - side * 0.5, (FORK_LEG_END + cy) / 2, BLADE_WIDTH / 2 + 0.5,
                      (cy - FORK_LEG_END) / 2), level=0.0, mode="set")
        tube(c, x0, 34.0, x0, FORK_LEG_END, FORK_LEG_WIDTH, shine=0)
        tube(c, x0, FORK_LEG_END, x0, cy, BLADE_WIDTH, shine=0)
        shine_x = x0 - side * LEG_SHINE
        c.line([(shine_x, 34.0), (shine_x, cy)], width=1.0, level=0.45, mode="set")

    # Between the blades, above the hub, the tyre and the rim are left out: a scrap of them
    # there reads as a smudge rather than as the wheel running on behind.
    c.polygon(box(cx, (FORK_LEG_END + cy - HUB) / 2, FORK_LEG_OFFSET - BLADE_WIDTH / 2,
                  (cy - HUB - FORK_LEG_END) / 2), level=0.0, mode="set")

    # Cranks: two arms out from the hub, a pedal at the end of each, the round hub over their
    # roots.
    arm_row = int(cy // 2)  # from 0: the row just below the middle
    for side in (-1, 1):
        end = cx + side * CRANK
        first_column = int(round(end - len(PEDAL[0]) / 2))
        for column in range(int(cx), int(end), side):
            fill_cell(c, arm_row, column, CRANK_ARM, RAMP)
        for row, text in enumerate(PEDAL, arm_row - 1):
            for column, glyph in enumerate(text, first_column):
                fill_cell(c, row, column, glyph, RAMP)
    for row, text in enumerate(HUB_CELLS, arm_row - 2):
        for column, glyph in enumerate(text, int(cx) - len(text) // 2):
            fill_cell(c, row, column, glyph, RAMP)

    # Crown: the bridge over the tyre that holds both legs.
    reach = FORK_LEG_OFFSET + FORK_LEG_WIDTH
    c.polygon([(cx - reach + 2.0, 28.2), (cx + reach - 2.0, 28.2), (cx + reach, 30.5),
               (cx + reach, 35.8), (cx - reach, 35.8), (cx - reach, 30.5)], level=1.0)
    c.line([(cx - reach + 2.0, 30.0), (cx + reach - 2.0, 30.0)], width=0.9, level=0.5,
           mode="set")

    # The saddle, its cells typed by how much of each it covers, in glyphs that are their own
    # mirror image (a `:` for the `/` a slanting edge would get), so that its two ends match.
    saddle = Canvas(c.rows, c.columns)
    saddle.polygon([(cx + a, d) for a, d in SADDLE_HALF] +
                   [(cx - a, d) for a, d in reversed(SADDLE_HALF[1:-1])], smooth=True)
    saddle.ink[int(SADDLE_BOTTOM * SAMPLES):] = 0.0
    cover, _ = saddle.cells()
    for row, column in zip(*np.nonzero(cover >= 0.1)):
        glyph = RAMP[min(len(RAMP) - 1, int(cover[row, column] * len(RAMP)))]
        fill_cell(c, row, column, ":" if glyph == "/" else glyph, RAMP)
    # The seat post under it, and the clamp that holds the saddle.
    tube(c, cx, 11.0, cx, 29.0, 6.0, shine=0)
    c.polygon(box(cx, SADDLE_BOTTOM + 1.0, 3.8, 1.0), level=1.0)

    return {"floor": 0.1, "soften": 1.0}
