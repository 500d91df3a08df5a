#!/usr/bin/python3
# Makes show/banners.hpp, the two banners of the credits: the programmer's handle GOVEK in the
# FIGlet font "lean" (/usr/share/figlet/lean.flf from Debian's figlet) and the artist's handle
# Quellvorn in the FIGlet font "Chunky" (fonts/Chunky.flf of the npm package figlet, fetched with
# `npm pack` into a temporary directory and never kept). figlet draws both in the font's default
# layout; the rows are trimmed, padded to the widest row and written as C++ string literals.
# Re-make:  /usr/bin/python3 tools/banners/make_banners.py
#
# `--print` writes the ten rows (programmer's, then artist's) to stdout instead, exactly as the
# header holds them; the tests compare the two. Exit status 77 means figlet, npm or a font could
# not be had, so nothing was rendered.

import argparse
import pathlib
import shutil
import subprocess
import sys
import tarfile
import tempfile

REPO = pathlib.Path(__file__).resolve().parents[2]
HEADER = REPO / "show" / "banners.hpp"

LEAN_FONT = pathlib.Path("/usr/share/figlet/lean.flf")
# Pinned so that a re-make draws the same glyphs as the committed header.
FIGLET_NPM_PACKAGE = "figlet@1.12.0"
CHUNKY_IN_TARBALL = "package/fonts/Chunky.flf"

ROW_COUNT = 5
UNAVAILABLE = 77


class Unavailable(Exception):
    """A program or font that rendering needs is not on this machine."""


class BadShape(Exception):
    """figlet drew something that is not a five-row banner."""


# ---------------------------------------------------------------------------------------------
# Rendering
# ---------------------------------------------------------------------------------------------

# Runs figlet on `text` with the font file at `font`, in the font's own default layout, and
# returns its output lines without line ends. A wide -w keeps figlet from wrapping.
def figlet_rows(font, text):
    if shutil.which("figlet") is None:
        raise Unavailable("figlet is not installed (Debian package figlet)")
    done = subprocess.run(["figlet", "-w", "200", "-f", str(font), text],
                          capture_output=True, text=True)
    if done.returncode != 0:
        raise Unavailable(f"figlet -f {font} failed: {done.stderr.strip()}")
    return done.stdout.split("\n")[:-1]  # the output ends in a newline


# Fetches the npm package figlet into `workdir` and writes its Chunky.flf there; returns the path.
def fetch_chunky_font(workdir):
    if shutil.which("npm") is None:
        raise Unavailable("npm is not installed, so Chunky.flf cannot be fetched")
    done = subprocess.run(["npm", "pack", FIGLET_NPM_PACKAGE, "--silent",
                           "--pack-destination", str(workdir)],
                          capture_output=True, text=True)
    tarballs = list(pathlib.Path(workdir).glob("figlet-*.tgz"))
    if done.returncode != 0 or len(tarballs) != 1:
        raise Unavailable(f"npm pack {FIGLET_NPM_PACKAGE} failed: {done.stderr.strip()}")
    with tarfile.open(tarballs[0]) as tarball:
        font_bytes = tarball.extractfile(CHUNKY_IN_TARBALL).read()
    font = pathlib.Path(workdir) / "Chunky.flf"
    font.write_bytes(font_bytes)
    return font


# Turns figlet's lines into a banner: trailing blanks trimmed, the font's blank padding rows
# above and below dropped when `drop_blank_edges` is set, every row padded with blanks to the
# widest row and ended with "\n". Raises BadShape unless exactly five rows remain.
def shape_banner(lines, drop_blank_edges):
    rows = [line.rstrip() for line in lines]
    if drop_blank_edges:
        while rows and not rows[0]:
            rows.pop(0)
        while rows and not rows[-1]:
            rows.pop()
    if len(rows) != ROW_COUNT:
        raise BadShape(f"expected {ROW_COUNT} rows, figlet drew {len(rows)}: {rows!r}")
    width = max(len(row) for row in rows)
    return [row.ljust(width) + "\n" for row in rows]


# Renders both banners; returns (programmer_rows, artist_rows).
def render(chunky_font=None):
    # Lean is eight rows high: capitals leave its accent row and two descender rows blank.
    programmer = shape_banner(figlet_rows(LEAN_FONT, "GOVEK"), drop_blank_edges=True)
    # Chunky is five rows high and keeps them all: row 5 is its descender row, blank here.
    with tempfile.TemporaryDirectory() as workdir:
        font = chunky_font or fetch_chunky_font(workdir)
        artist = shape_banner(figlet_rows(font, "Quellvorn"), drop_blank_edges=False)
    return programmer, artist


# ---------------------------------------------------------------------------------------------
# The header
# ---------------------------------------------------------------------------------------------

# Returns `row` as a C++ string literal; backslashes, quotes and the line end are escaped.
def cpp_literal(row):
    escaped = row.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
    return f'"{escaped}"'


# Returns the text of show/banners.hpp for the two banners.
def header_text(programmer, artist):
    def array(name, comment, rows):
        body = "".join(f"    {cpp_literal(row)},\n" for row in rows)
        width = len(rows[0]) - 1
        return (f"// {comment}, {width} columns.\n"
                f"constexpr auto {name} = std::to_array<std::string_view>({{\n{body}}});\n"
                f"static_assert({name}.size() == 5, \"a banner has five rows\");\n"
                f"static_assert(rows_are_even({name}), \"rows must share one width and end in a newline\");\n")

    return ("// The two banners of the credits, typed at the fast pace. Generated, do not edit:\n"
            "// re-make with  /usr/bin/python3 tools/banners/make_banners.py\n"
            "#pragma once\n"
            "#include <array>\n"
            "#include <cstddef>\n"
            "#include <string_view>\n"
            "\n"
            "namespace banners {\n"
            "\n"
            "// True when every row is non-empty, ends in its only '\\n' and is as long as the first.\n"
            "template <std::size_t N>\n"
            "constexpr bool rows_are_even(const std::array<std::string_view, N>& rows) {\n"
            "  for (std::string_view row : rows) {\n"
            "    if (row.empty() || row.size() != rows[0].size() || row.find('\\n') != row.size() - 1) {\n"
            "      return false;\n"
            "    }\n"
            "  }\n"
            "  return true;\n"
            "}\n"
            "\n"
            + array("programmer_banner_rows", "GOVEK in the FIGlet font lean", programmer)
            + "\n"
            + array("artist_banner_rows", "Quellvorn in the FIGlet font Chunky", artist)
            + "\n"
            "}  // namespace banners\n")


def main():
    parser = argparse.ArgumentParser(description="Makes show/banners.hpp from the FIGlet fonts.")
    parser.add_argument("--print", action="store_true",
                        help="write the ten rows to stdout instead of the header")
    parser.add_argument("--chunky-font", type=pathlib.Path,
                        help="use this Chunky.flf instead of fetching it with npm")
    args = parser.parse_args()
    try:
        programmer, artist = render(args.chunky_font)
    except Unavailable as error:
        print(f"make_banners: {error}", file=sys.stderr)
        return UNAVAILABLE
    except BadShape as error:
        print(f"make_banners: {error}", file=sys.stderr)
        return 1
    if args.print:
        sys.stdout.write("".join(programmer + artist))
    else:
        HEADER.write_text(header_text(programmer, artist))
        print(f"make_banners: wrote {HEADER.relative_to(REPO)}: "
              f"GOVEK {len(programmer[0]) - 1} columns, Quellvorn {len(artist[0]) - 1} columns")
    return 0


if __name__ == "__main__":
    sys.exit(main())
