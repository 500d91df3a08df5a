"""The grey-scale raster the pictures are drawn on, and its mapping onto the glyph ramp.

Makes nothing by itself: make_pictures.py draws figures.py onto a Canvas and turns it into rows.
Re-make the pictures with:  /usr/bin/python3 tools/pictures/make_pictures.py

Coordinates are in units of one character cell's width. A console cell is about twice as tall
as it is wide, so a cell spans 1 unit across and 2 units down: column c covers x in [c-1, c),
row r covers y in [2r-2, 2r). A circle drawn here is round on the console.
Ink runs from 0 (blank) to 1 (the heaviest glyph).
"""

import math

import numpy as np

# Samples per unit in each direction: a cell is averaged from SAMPLES x 2*SAMPLES samples.
SAMPLES = 8


# ---------------------------------------------------------------------------------------------
# Curves: everything is drawn from straight segments, so smooth shapes become dense polylines.

def spline(points, closed=False, steps=12):
    """Returns a dense polyline through `points` (a Catmull-Rom spline), closed if asked."""
    points = [tuple(map(float, p)) for p in points]
    if len(points) < 3:
        return points
    if closed:
        ring = [points[-1]] + points + points[:2]
    else:
        # Mirror the end points so the curve starts and ends on them with a natural slope.
        first = (2 * points[0][0] - points[1][0], 2 * points[0][1] - points[1][1])
        last = (2 * points[-1][0] - points[-2][0], 2 * points[-1][1] - points[-2][1])
        ring = [first] + points + [last]
    out = []
    for i in range(1, len(ring) - 2):
        p0, p1, p2, p3 = (np.array(ring[j]) for j in range(i - 1, i + 3))
        for step in range(steps):
            t = step / steps
            out.append(tuple(0.5 * ((2 * p1) + (-p0 + p2) * t
                                    + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t * t
                                    + (-p0 + 3 * p1 - 3 * p2 + p3) * t * t * t)))
    out.append(points[0] if closed else points[-1])
    return out


def arc_points(cx, cy, rx, ry, start=0.0, end=360.0, steps=None):
    """Returns the polyline of an elliptical arc; angles in degrees, 0 at +x, 90 at +y (down)."""
    if steps is None:
        steps = max(8, int(abs(end - start) / 360.0 * 4 * (rx + ry)))
    angles = np.radians(np.linspace(start, end, steps + 1))
    return [(cx + rx * math.cos(a), cy + ry * math.sin(a)) for a in angles]


def ribbon(points, widths):
    """Returns the outline polygon of a band along the polyline `points`, `widths` across at
    each point (a limb, a tail lock): left side down, right side back."""
    left, right = [], []
    for i, (x, y) in enumerate(points):
        ax, ay = points[max(0, i - 1)]
        bx, by = points[min(len(points) - 1, i + 1)]
        length = math.hypot(bx - ax, by - ay) or 1.0
        nx, ny = -(by - ay) / length, (bx - ax) / length
        half = widths[i] / 2.0
        left.append((x + nx * half, y + ny * half))
        right.append((x - nx * half, y - ny * half))
    return left + right[::-1]


# ---------------------------------------------------------------------------------------------
# The canvas

class Canvas:
    """An ink raster `rows` cells tall and `columns` cells wide."""

    def __init__(self, rows, columns=80):
        self.rows = rows
        self.columns = columns
        self.ink = np.zeros((rows * 2 * SAMPLES, columns * SAMPLES))

    # Returns the row and column slices of the samples inside the box, with the coordinates of
    # their centres, or None when the box misses the canvas.
    def _window(self, x0, y0, x1, y1):
        height, width = self.ink.shape
        r0 = max(0, int(math.floor(y0 * SAMPLES)))
        r1 = min(height, int(math.ceil(y1 * SAMPLES)) + 1)
        c0 = max(0, int(math.floor(x0 * SAMPLES)))
        c1 = min(width, int(math.ceil(x1 * SAMPLES)) + 1)
        if r0 >= r1 or c0 >= c1:
            return None
        ys = (np.arange(r0, r1) + 0.5) / SAMPLES
        xs = (np.arange(c0, c1) + 0.5) / SAMPLES
        x, y = np.meshgrid(xs, ys)
        return (slice(r0, r1), slice(c0, c1)), x, y

    # Puts `level` where `mask` is set: 'max' keeps heavier ink already there, 'set' paints over.
    def _paint(self, where, mask, level, mode):
        window = self.ink[where]
        if mode == "max":
            window[mask] = np.maximum(window[mask], level)
        else:
            window[mask] = level

    def line(self, points, width=1.0, level=1.0, mode="max", tall=1.0):
        """Strokes a polyline with a round pen `width` units across and `tall` times that high."""
        half = width / 2.0
        for (ax, ay), (bx, by) in zip(points, points[1:] or points):
            found = self._window(min(ax, bx) - half, min(ay, by) - half * tall,
                                 max(ax, bx) + half, max(ay, by) + half * tall)
            if found is None:
                continue
            where, x, y = found
            # Squash y so the elliptical pen becomes a round one, then measure the distance.
            sy, say, sby = y / tall, ay / tall, by / tall
            dx, dy = bx - ax, sby - say
            length2 = dx * dx + dy * dy
            if length2 == 0:
                t = np.zeros_like(x)
            else:
                t = np.clip(((x - ax) * dx + (sy - say) * dy) / length2, 0.0, 1.0)
            distance2 = (x - ax - t * dx) ** 2 + (sy - say - t * dy) ** 2
            self._paint(where, distance2 <= half * half, level, mode)

    def curve(self, points, width=1.0, level=1.0, closed=False, mode="max", tall=1.0):
        """Strokes a smooth curve through `points`."""
        self.line(spline(points, closed), width, level, mode, tall)

    def arc(self, cx, cy, rx, ry, start=0.0, end=360.0, width=1.0, level=1.0, mode="max"):
        """Strokes an elliptical arc (see arc_points for the angles)."""
        self.line(arc_points(cx, cy, rx, ry, start, end), width, level, mode)

    def polygon(self, points, level=1.0, mode="max", smooth=False):
        """Fills a polygon (even-odd rule); with `smooth` its outline is a closed spline."""
        if smooth:
            points = spline(points, closed=True)
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        found = self._window(min(xs), min(ys), max(xs), max(ys))
        if found is None:
            return
        where, x, y = found
        inside = np.zeros(x.shape, dtype=bool)
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if ay == by:
                continue
            crosses = (ay > y) != (by > y)
            x_at = ax + (y - ay) * (bx - ax) / (by - ay)
            inside ^= crosses & (x < x_at)
        self._paint(where, inside, level, mode)

    def ellipse(self, cx, cy, rx, ry, level=1.0, mode="max"):
        """Fills an ellipse."""
        found = self._window(cx - rx, cy - ry, cx + rx, cy + ry)
        if found is None:
            return
        where, x, y = found
        self._paint(where, ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, level, mode)

    def inside(self):
        """Returns the samples holding ink, as a boolean array: the canvas used as a stencil."""
        return self.ink > 0.5

    def outline(self, stencil, width=1.0, level=1.0, tall=1.0, mode="max"):
        """Strokes the edge of a stencil's shapes with a pen `width` units across, `tall` times
        that high, centred on the edge: the line-work of a silhouette, without the seams where
        the shapes that make it overlap."""
        inside = stencil.inside() if isinstance(stencil, Canvas) else stencil
        near_inside = _dilate(inside, width / 2.0, tall)
        near_outside = _dilate(~inside, width / 2.0, tall)
        self._paint((slice(None), slice(None)), near_inside & near_outside, level, mode)

    def hide(self, stencil):
        """Blanks everything under a stencil's shapes: what stands in front hides what is behind."""
        inside = stencil.inside() if isinstance(stencil, Canvas) else stencil
        self.ink[inside] = 0.0

    def cells(self):
        """Returns each cell's mean ink and its heaviest ink, two rows x columns arrays."""
        blocks = self.ink.reshape(self.rows, 2 * SAMPLES, self.columns, SAMPLES)
        return blocks.mean(axis=(1, 3)), blocks.max(axis=(1, 3))


# Returns `mask` grown by an elliptical pen `radius` units across and `tall` times that high.
def _dilate(mask, radius, tall):
    rx = max(1, int(round(radius * SAMPLES)))
    ry = max(1, int(round(radius * tall * SAMPLES)))
    height, width = mask.shape
    grown = mask.copy()
    for dy in range(-ry, ry + 1):
        for dx in range(-rx, rx + 1):
            if (dx / rx) ** 2 + (dy / ry) ** 2 > 1.0 or (dx == 0 and dy == 0):
                continue
            # grown[y, x] |= mask[y + dy, x + dx], clipped at the borders
            grown[max(0, -dy):height - max(0, dy), max(0, -dx):width - max(0, dx)] |= \
                mask[max(0, dy):height - max(0, -dy), max(0, dx):width - max(0, -dx)]
    return grown


# ---------------------------------------------------------------------------------------------
# From ink to glyphs

# The density ramp, lightest first; a blank stands for no ink.
RAMP = "`.-:/+osyhdmNM"


def to_rows(cells, ramp=RAMP, floor=0.04, soften=1.0):
    """Returns one string per row of cells (as Canvas.cells gives them): a ramp glyph for the
    ink of each cell, or a blank.

    A cell's glyph follows the heaviest ink in it, lightened by how little of the cell that ink
    covers: weight = heaviest * coverage ** soften. With soften 1 that is the cell's mean ink;
    lower values keep a stroke's glyph steady where it only grazes a cell. Cells whose coverage
    is below `floor` stay blank, which keeps stray grazes off the picture.
    """
    means, peaks = cells
    rows = []
    for mean_row, peak_row in zip(means, peaks):
        text = []
        for mean, peak in zip(mean_row, peak_row):
            coverage = mean / peak if peak > 0 else 0.0
            if coverage < floor:
                text.append(" ")
                continue
            weight = min(peak, 1.0) * coverage ** soften
            text.append(ramp[min(len(ramp) - 1, int(weight * len(ramp)))])
        rows.append("".join(text))
    return rows
