#!/usr/bin/python3
"""Makes show/picture_rows.hpp, the rows of the show's three text-art pictures.

From: figures.py and face.py (the figures as shapes drawn on a grey-scale raster, see
canvas.py), mapped onto the glyph ramp, then finish.txt (the hand finish: the label, the
repeated rows, the line break).
Re-make it, from the repository's top:

    /usr/bin/python3 tools/pictures/make_pictures.py

Options: --check compares instead of writing (exit 1 on a difference); --preview DIR also draws
each picture as a PNG the way an 80-column console shows it (needs python3-pil).
"""

import argparse
import pathlib
import re
import sys

import canvas
import face
import figures

HERE = pathlib.Path(__file__).resolve().parent
HEADER = HERE.parent.parent / "show" / "picture_rows.hpp"
FINISH = HERE / "finish.txt"
WIDTH = 80

# name in the header, function that draws it, rows, glyph ramp
#   ramp: picture 1 is light line-work and never reaches the heaviest glyph
PICTURES = [
    ("horse1", figures.horse1, 35, canvas.RAMP[:-1]),
    ("horse2", face.horse2, 42, canvas.RAMP),
    ("unibike", figures.unibike, 59, canvas.RAMP),
]


# ---------------------------------------------------------------------------------------------
# Hand finish

class FinishError(Exception):
    pass


def parse_span(text):
    """Returns (first, last) from "7" or "7-12"."""
    first, _, last = text.partition("-")
    return int(first), int(last or first)


def apply_finish(pictures, lines):
    """Applies the hand-finish directives in `lines` to `pictures` (name -> list of rows).

    Rows and columns are counted from 1. Edits act in the order given; copies and repeats act
    after all edits, so they copy finished rows. Returns the shared rows as a list of
    (constant name, text, note on where it is used).
    """
    copies = []  # (target picture, target row, source picture, source row, name)
    notes = {}   # name -> where the shared row is used, for the header

    def rows_of(name):
        if name not in pictures:
            raise FinishError(f"unknown picture {name!r}")
        return pictures[name]

    for number, raw in enumerate(lines, 1):
        line = raw.rstrip("\n")
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        try:
            # The text of a put stands between bars so that its blanks are visible.
            text = None
            match = re.search(r"\|(.*)\|\s*$", line)
            if match:
                text = match.group(1)
                line = line[:match.start()]
            words = line.split()
            verb, args = words[0], words[1:]
            if verb == "put" and text is not None and len(args) == 3:
                rows = rows_of(args[0])
                row, column = int(args[1]), int(args[2])
                old = rows[row - 1]
                if column < 1 or column - 1 + len(text) > len(old):
                    raise FinishError("text runs off the row")
                rows[row - 1] = old[:column - 1] + text + old[column - 1 + len(text):]
            elif verb == "clear" and len(args) == 3:
                rows = rows_of(args[0])
                row = int(args[1])
                first, last = parse_span(args[2])
                old = rows[row - 1]
                rows[row - 1] = old[:first - 1] + " " * (last - first + 1) + old[last:]
            elif verb == "copy" and len(args) == 5:
                rows_of(args[0])[int(args[1]) - 1]  # both rows must exist
                rows_of(args[2])[int(args[3]) - 1]
                copies.append((args[0], int(args[1]), args[2], int(args[3]), args[4]))
                notes[args[4]] = (f"Row {args[3]} of {args[2]}_rows, typed again as row {args[1]}"
                                  f" of {args[0]}_rows.")
            elif verb == "repeat" and len(args) == 3:
                first, last = parse_span(args[1])
                rows_of(args[0])[last - 1]
                copies += [(args[0], row, args[0], first, args[2])
                           for row in range(first + 1, last + 1)]
                notes[args[2]] = (f"Rows {first} to {last} of {args[0]}_rows: one row typed"
                                  f" {last - first + 1} times.")
            elif verb == "newline" and len(args) == 2:
                rows = rows_of(args[0])
                rows[int(args[1]) - 1] += "\n"
            else:
                raise FinishError("cannot read this line")
        except (FinishError, ValueError, IndexError) as error:
            raise FinishError(f"{FINISH.name}:{number}: {error}: {raw.strip()}") from None

    shared = []
    for target, target_row, source, source_row, name in copies:
        text = pictures[source][source_row - 1]
        pictures[target][target_row - 1] = text
        if all(name != known for known, _, _ in shared):
            shared.append((name, text, notes[name]))
    return shared


# ---------------------------------------------------------------------------------------------
# The header

def literal(text):
    """Returns `text` as a C++ string literal."""
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
    return f'"{escaped}"'


def header_text(pictures, shared):
    """Returns the whole generated header for `pictures` and their `shared` rows."""
    out = [
        "// The rows of the show's three text-art pictures, typed one row at a time.",
        "// Generated by tools/pictures/make_pictures.py from figures.py, face.py and finish.txt",
        "// there: do not edit by hand. Re-make with:",
        "//     /usr/bin/python3 tools/pictures/make_pictures.py",
        "#pragma once",
        "",
        "#include <array>",
        "#include <cstddef>",
        "#include <string_view>",
        "",
        "namespace pictures {",
        "",
        "// Every row fills one line of an 80-column console, whose wrap starts the next row.",
        f"inline constexpr std::size_t row_width = {WIDTH};",
        "",
    ]
    names = {}
    for name, text, note in shared:
        names[text] = name
        out.append(f"// {note}")
        out.append(f"inline constexpr std::string_view {name} =")
        out.append(f"    {literal(text)};")
    out.append("")
    for name, rows in pictures.items():
        out.append(f"inline constexpr std::array<std::string_view, {len(rows)}> {name}_rows = {{")
        for text in rows:
            out.append(f"    {names.get(text, literal(text))},")
        out.append("};")
        out.append("")
    out += [
        "// True when every row is `row_width` printable characters, except that the last row",
        "// carries one line break after them when `last_breaks_line` is set.",
        "template <std::size_t N>",
        "consteval bool rows_fit_console(const std::array<std::string_view, N>& rows,",
        "                                bool last_breaks_line) {",
        "    for (std::size_t i = 0; i < N; ++i) {",
        "        const bool breaks = last_breaks_line && i + 1 == N;",
        "        std::string_view text = rows[i];",
        "        if (breaks) {",
        "            if (text.empty() || text.back() != '\\n') return false;",
        "            text.remove_suffix(1);",
        "        }",
        "        if (text.size() != row_width) return false;",
        "        for (char c : text) {",
        "            if (c < ' ' || c > '~') return false;",
        "        }",
        "    }",
        "    return true;",
        "}",
        "",
    ]
    for name, rows in pictures.items():
        breaks = "true" if rows[-1].endswith("\n") else "false"
        out.append(f"static_assert({name}_rows.size() == {len(rows)});")
        out.append(f"static_assert(rows_fit_console({name}_rows, {breaks}));")
    out += ["", "}  // namespace pictures", ""]
    return "\n".join(out)


# ---------------------------------------------------------------------------------------------
# Preview

def write_preview(name, rows, directory):
    """Draws `rows` as an 80-column console shows them into DIRECTORY/NAME.png."""
    from PIL import Image, ImageDraw, ImageFont

    font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf", 16)
    cell_width, cell_height = 10, 20  # the console's cells: about twice as tall as wide
    image = Image.new("L", (WIDTH * cell_width + 16, len(rows) * cell_height + 16), 12)
    draw = ImageDraw.Draw(image)
    for r, text in enumerate(rows):
        for c, glyph in enumerate(text.rstrip("\n")):
            if glyph != " ":
                draw.text((8 + c * cell_width, 8 + r * cell_height), glyph, font=font, fill=204)
    directory.mkdir(parents=True, exist_ok=True)
    # Sixteen greys are plenty for light text on black and keep the files small.
    image.quantize(16).save(directory / f"{name}.png", optimize=True)


# ---------------------------------------------------------------------------------------------

def make_rows():
    """Returns the finished pictures (name -> rows) and their shared rows."""
    pictures = {}
    for name, draw, rows, ramp in PICTURES:
        raster = canvas.Canvas(rows, WIDTH)
        settings = draw(raster) or {}
        pictures[name] = canvas.to_rows(raster.cells(), ramp, **settings)
    with open(FINISH, encoding="ascii") as finish:
        shared = apply_finish(pictures, finish.readlines())
    return pictures, shared


# Prints where each picture's ink lies, the numbers the layout depends on.
def report(pictures):
    for name, rows in pictures.items():
        columns = [c + 1 for text in rows for c, glyph in enumerate(text) if glyph not in " \n"]
        span = f"{min(columns)} to {max(columns)}" if columns else "none"
        print(f"{name}: {len(rows)} rows, ink in columns {span}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="compare with the committed header")
    parser.add_argument("--preview", type=pathlib.Path, help="also draw PNG previews here")
    options = parser.parse_args()

    try:
        pictures, shared = make_rows()
    except FinishError as error:
        print(error, file=sys.stderr)
        return 2
    text = header_text(pictures, shared)
    report(pictures)
    if options.preview:
        for name, rows in pictures.items():
            write_preview(name, rows, options.preview)
    if options.check:
        if not HEADER.exists() or HEADER.read_text(encoding="ascii") != text:
            print(f"{HEADER} differs from what the pipeline makes", file=sys.stderr)
            return 1
        print(f"{HEADER} is up to date")
        return 0
    HEADER.write_text(text, encoding="ascii")
    print(f"wrote {HEADER}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
