"""Picture 2: the hornless unicorn's head in profile, facing left like picture 1, under its
enormous unibrow (see make_pictures.py).

The head and neck are line-work: one closed outline (ears, forehead, the long muzzle, the lips,
the jaw, the neck), the round cheek, the mouth, a big nostril and the mane's strands. Their
points were read off a public-domain drawing of a horse facing left (the README names it) and
are mapped onto the canvas through a few matching points, which makes the muzzle longer than
the drawing's. The hand's part: the brow, one solid mass of hair over the eye that runs on past
the front of the forehead (the far half of the one brow), the eye, and the stump where the horn
was, taped over.
"""

import numpy as np

from canvas import RAMP, SAMPLES, Canvas, arc_points, spline
from figures import LineWork, fill_cell

# Where the drawing's points land: its x and its y each mapped through matching points
# (drawing, canvas), straight between them. The face in front of the eye is drawn wider than
# the drawing's and the neck shorter, which makes the muzzle long and leaves the head the rows.
ACROSS_KNOTS = [(58.0, 16.5), (150.0, 28.0), (300.0, 46.0), (440.0, 62.0), (610.0, 75.5),
                (700.0, 81.0)]
DOWN_KNOTS = [(0.0, 2.2), (130.0, 14.5), (285.0, 34.0), (500.0, 71.0), (560.0, 79.0),
              (900.0, 110.0)]


def placed(points):
    """Returns the drawing's points where they land on the canvas."""
    (xs, xc), (ys, yc) = zip(*ACROSS_KNOTS), zip(*DOWN_KNOTS)
    return [(float(np.interp(x, xs, xc)), float(np.interp(y, ys, yc))) for x, y in points]


# The outline of the head and neck, in the drawing's points, round from the near ear's front:
# down the forehead and the straight front of the face to the nose, round the lips and the
# chin, back under the jaw to the throat, down the neck's front, along the bottom, up the back
# of the neck to the poll, over the far ear and the near one.
OUTLINE = [(232.0, 128.0), (196.0, 150.0), (170.0, 190.0), (156.0, 245.0), (138.0, 318.0),
           (108.0, 392.0), (80.0, 442.0), (62.0, 476.0), (58.0, 500.0), (70.0, 522.0),
           (92.0, 532.0), (98.0, 545.0), (140.0, 560.0), (200.0, 552.0), (256.0, 518.0),
           (296.0, 470.0), (318.0, 500.0), (306.0, 600.0), (262.0, 700.0), (232.0, 800.0),
           (222.0, 905.0)]
NECK_BACK = [(700.0, 905.0), (690.0, 760.0), (664.0, 560.0), (640.0, 400.0), (606.0, 268.0),
             (540.0, 170.0), (452.0, 112.0)]
FAR_EAR = [(452.0, 112.0), (440.0, 60.0), (418.0, 8.0), (390.0, 52.0), (372.0, 102.0)]
NEAR_EAR = [(372.0, 102.0), (334.0, 92.0), (290.0, 42.0), (263.0, 6.0), (246.0, 60.0),
            (232.0, 128.0)]
# The inside of each ear, a line from its tip down towards its base.
EAR_LINES = [[(266.0, 20.0), (266.0, 70.0), (256.0, 112.0)],
             [(418.0, 24.0), (412.0, 70.0), (400.0, 104.0)]]
# The round back of the cheek, from under the ear down to the jaw's corner.
CHEEK = [(432.0, 236.0), (436.0, 318.0), (404.0, 384.0), (346.0, 430.0), (298.0, 458.0)]
# The mouth's line, back from between the lips.
MOUTH = [(64.0, 520.0), (100.0, 526.0), (150.0, 522.0)]
# The nostril: a big round hole near the end of the muzzle, and the fold curling back from it.
NOSTRIL = (104.0, 478.0)
NOSTRIL_RADII = (3.2, 3.0)
NOSTRIL_SHADE = 0.5
NOSTRIL_FOLD = [(118.0, 452.0), (134.0, 470.0), (132.0, 494.0)]
# The mane: strands from the crest, falling along the neck.
MANE_STRANDS = [
    [(470.0, 120.0), (560.0, 200.0), (520.0, 300.0), (600.0, 420.0), (560.0, 520.0)],
    [(510.0, 140.0), (610.0, 250.0), (560.0, 390.0), (650.0, 540.0), (600.0, 680.0)],
    [(452.0, 130.0), (510.0, 200.0), (470.0, 280.0), (520.0, 350.0)],
    [(560.0, 190.0), (650.0, 330.0), (610.0, 480.0), (690.0, 650.0), (640.0, 820.0)],
]

# The brow, in canvas units: its top edge and its bottom edge (x, y), each smooth through its
# points from the front tail to the back one. Gull-winged: it rises from a pointed tail in front
# of the forehead to a small wing, dips over the front of the forehead, arches high over the eye
# and droops to a pointed tail behind it; underneath it hangs low over the eye.
BROW_TOP = [(21.5, 25.5), (24.0, 21.6), (27.0, 18.0), (29.8, 16.0), (32.4, 16.8), (34.6, 19.4),
            (37.0, 15.2), (40.0, 13.6), (45.0, 13.4), (49.0, 13.6), (53.0, 14.8), (56.0, 18.0),
            (58.0, 24.0), (59.4, 35.0)]
BROW_BOTTOM = [(21.5, 25.5), (24.0, 28.6), (28.0, 29.8), (33.0, 30.2), (38.0, 29.8),
               (46.0, 29.7), (52.0, 30.0), (55.5, 31.0), (59.4, 35.0)]
# Hairs stand out of its edges, combed outwards from the dip: how far, in turn.
HAIR_LENGTHS = (1.2, 2.0, 1.0, 1.6, 2.2, 1.0, 1.8)
HAIR_LEANS = (0.9, 0.2, 0.6, 1.2, 0.0, 0.7)
# Where it dips, from which its hairs lean out forwards and backwards.
BROW_DIP_X = 35.0
# How far the ends of its locks make its top edge rise and fall.
BROW_RAGGED = 0.7
# The ink of the short hairs of its fur, in turn (from `d` to `N` once read).
FUR_LEVELS = (0.55, 0.8, 0.65, 0.85)

# The eye under the brow's near wing, typed row by row from EYE_ROW and EYE_COLUMN: an almond
# of lids round its white, the pupil heavy in it, looking ahead (left).
EYE_ROW, EYE_COLUMN = 16, 38
EYE = ["  .---------.  ",
       " :   NMMN     `.",
       ":    NMMN       :",
       " `.   ``     ..` ",
       "   ``-------``   "]

# The stump where the horn was, on the forehead in front of the ears, above the brow, with a
# plaster stuck across it: its rows typed from STUMP_ROW and STUMP_COLUMN.
STUMP_ROW, STUMP_COLUMN = 5, 34
STUMP = [" .:. ", "--+--", " `:` "]


def draw_brow(c):
    """Draws the unibrow: a solid mass of furred hair, with hairs standing out of its edges as
    line-work and tufts fanning out of its tails; returns the samples it covers."""
    lines = LineWork(c.rows, c.columns)
    top, bottom = spline(BROW_TOP), spline(BROW_BOTTOM)
    # Its top is ragged: the ends of its locks.
    top = [(x, y + BROW_RAGGED * np.sin(2.3 * x)) for x, y in top]
    core = top + bottom[::-1]
    inside = Canvas(c.rows, c.columns)
    inside.polygon(core)
    covered = inside.inside()
    c.ink[covered] = 1.0
    # Its fur: short hairs a shade lighter all over it, flowing out from the dip, up along
    # its top and down along its bottom.
    fur = Canvas(c.rows, c.columns)
    for row in range(14):
        y = 14.5 + 1.25 * row
        for k in range(20):
            x = 24.0 + 1.7 * k + (0.85 if row % 2 else 0.0)
            top_y, bottom_y = np.interp(x, *zip(*BROW_TOP)), np.interp(x, *zip(*BROW_BOTTOM))
            out = 1.0 if x > BROW_DIP_X else -1.0
            rise = (y - (top_y + bottom_y) / 2) / max(1.0, bottom_y - top_y)
            fur.line([(x, y), (x + out * 1.6, y + 2.4 * rise - 0.4)], width=0.7,
                     level=FUR_LEVELS[(row + k) % len(FUR_LEVELS)], mode="set")
    fur.ink[~covered] = 0.0
    c.ink[fur.ink > 0] = fur.ink[fur.ink > 0]
    # Hairs standing out of the top and bottom edges, leaning away from the dip.
    for edge, side in ((top, -1.0), (bottom, 1.0)):
        for k, (x, y) in enumerate(edge[2:-2:5]):
            # Under it the hairs hang short, and shorter still over the eye's lid.
            over_eye = EYE_COLUMN <= x <= EYE_COLUMN + len(EYE[0]) - 2
            share = 1.0 if side < 0 else (0.35 if over_eye else 0.6)
            length = HAIR_LENGTHS[k % len(HAIR_LENGTHS)] * share
            lean = HAIR_LEANS[k % len(HAIR_LEANS)] * length * (1 if x > BROW_DIP_X else -1)
            lines.stroke([(x, y - side * 0.6), (x + 0.3 * lean, y + side * 0.5 * length),
                          (x + lean, y + side * length)], hidden=covered)
    # Tufts at the tails: hairs fanning out past each pointed end.
    for end, before in ((top[0], top[10]), (top[-1], top[-11])):
        dx, dy = end[0] - before[0], end[1] - before[1]
        norm = (dx * dx + dy * dy) ** 0.5
        dx, dy = dx / norm, dy / norm
        for spread, length in ((-0.6, 2.6), (-0.2, 3.6), (0.2, 3.2), (0.6, 2.4)):
            tip = (end[0] + length * (dx - spread * dy), end[1] + length * (dy + spread * dx))
            lines.stroke([(end[0] - dx, end[1] - dy), tip], hidden=covered, smooth=False)
    # The hairs take the cells the brow leaves mostly bare.
    hairs = Canvas(c.rows, c.columns)
    lines.draw(hairs, RAMP)
    share = covered.reshape(c.rows, 2 * SAMPLES, c.columns, SAMPLES).mean(axis=(1, 3))
    bare = np.repeat(np.repeat(share < 0.4, 2 * SAMPLES, axis=0), SAMPLES, axis=1)
    take = bare & (hairs.ink > 0)
    c.ink[take] = hairs.ink[take]
    return covered


def draw_eye(c):
    """Types the eye, blanking its white."""
    for k, text in enumerate(EYE):
        for j, glyph in enumerate(text):
            row, column = EYE_ROW - 1 + k, EYE_COLUMN - 1 + j
            if 0 < j < len(text) - 1 and (glyph != " " or 0 < k < len(EYE) - 1):
                c.ink[row * 2 * SAMPLES:(row + 1) * 2 * SAMPLES,
                      column * SAMPLES:(column + 1) * SAMPLES] = 0.0
            if glyph != " ":
                fill_cell(c, row, column, glyph, RAMP)


def horse2(c):
    """Draws the hornless unicorn's head under the unibrow; returns its glyph mapping."""
    lines = LineWork(c.rows, c.columns)
    outline = placed(OUTLINE + NECK_BACK + FAR_EAR + NEAR_EAR)
    lines.stroke(outline, closed=True)
    for line in EAR_LINES + [CHEEK, MOUTH, NOSTRIL_FOLD] + MANE_STRANDS:
        lines.stroke(placed(line))
    nx, ny = placed([NOSTRIL])[0]
    lines.stroke(arc_points(nx, ny, *NOSTRIL_RADII), smooth=False)
    lines.draw(c, RAMP)
    # The nostril's hole is dark, though lighter than the brow.
    c.ellipse(nx, ny, NOSTRIL_RADII[0] - 1.0, NOSTRIL_RADII[1] - 1.2, level=NOSTRIL_SHADE)
    draw_brow(c)
    draw_eye(c)
    for k, text in enumerate(STUMP):
        for j, glyph in enumerate(text):
            if glyph != " ":
                fill_cell(c, STUMP_ROW - 1 + k, STUMP_COLUMN - 1 + j, glyph, RAMP)
    return {"floor": 0.1, "soften": 0.6}
