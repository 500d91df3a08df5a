#!/usr/bin/env python3
"""Records the real show for the README: the opening, the first story lines and the unicorn's
picture building up, at the show's own pace, in an 80x40 terminal (asciinema), and turns the
recording into an animated SVG (svg-term-cli, installed from npm into a scratch folder for the
run). Needs the built program with bixo.mp3 beside it; installs asciinema and npm when missing.

    /usr/bin/python3 tools/recording/make_recording.py [--build build] [--out docs/show.svg]
                                                       [--screenshots DIR] [--cast PATH]
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SVG_TERM = "svg-term-cli@2.1.1"
COLUMNS, ROWS = 80, 40
# The recording ends where the show goes on after this line, so its pause is kept.
LAST_LINE = "He is a M A G I C A L unicorn\r\n\r\n"
PICTURE_BEGINS = "B I X O \r\n"  # the story's words just before the picture's first row
# Enough for the last line to be typed, with room to spare on a loaded machine.
RECORD_SECONDS = 45
# Output within one frame is shown at once: typing at 1 ms a character would otherwise give
# thousands of frames and an SVG of several megabytes.
FRAME_SECONDS = 0.05
MAX_BYTES = 1_000_000


def fail(message):
    sys.exit(f"make_recording: {message}")


def install_missing(commands_and_packages):
    """Installs the Debian package of each command that is not on the PATH."""
    missing = [package for command, package in commands_and_packages if shutil.which(command) is None]
    if not missing:
        return
    sudo = [] if os.geteuid() == 0 else ["sudo"]
    print(f"Installing: {' '.join(missing)}")
    environment = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    subprocess.run(sudo + ["apt-get", "install", "-y", "-qq", "--no-install-recommends"] + missing,
                   check=True, env=environment, stdout=subprocess.DEVNULL)


def record(build, cast):
    """Records the show from its start until RECORD_SECONDS, when Ctrl-C's signal ends it."""
    environment = dict(os.environ, SDL_AUDIODRIVER="dummy", TERM="xterm-256color")
    subprocess.run(["asciinema", "rec", "--quiet", "--overwrite", "--cols", str(COLUMNS), "--rows", str(ROWS),
                    "--command", f"exec timeout --foreground -s INT {RECORD_SECONDS} ./bixo", str(cast)],
                   cwd=build, env=environment, stdin=subprocess.DEVNULL, check=True)


def read_cast(cast):
    lines = cast.read_text().splitlines()
    return json.loads(lines[0]), [json.loads(line) for line in lines[1:] if line.strip()]


def time_when_complete(events, text):
    """The time of the event that completes the first `text` of the output, or None."""
    output = ""
    for time, kind, data in events:
        if kind == "o":
            output += data
            if text in output:
                return time
    return None


def first_pause_after(events, start):
    """The time of the last output before the first pause of a second or more after `start`."""
    times = [time for time, kind, _ in events if kind == "o" and time >= start]
    for before, after in zip(times, times[1:]):
        if after - before >= 1.0:
            return before
    return times[-1]


def cut_and_frame(events):
    """The events up to where the show goes on after LAST_LINE, merged into frames. Returns them
    with the moments the picture begins and is complete, and the end."""
    typed = time_when_complete(events, LAST_LINE)
    picture = time_when_complete(events, PICTURE_BEGINS)
    if typed is None or picture is None:
        fail(f"the show did not reach {LAST_LINE!r} within {RECORD_SECONDS} s")
    following = [time for time, kind, _ in events if kind == "o" and time > typed]
    if not following:
        fail(f"the show stopped after {LAST_LINE!r}: nothing followed within {RECORD_SECONDS} s")
    end = following[0]
    picture_complete = first_pause_after(events, picture)

    frames = []
    for time, kind, data in events:
        if kind != "o" or time >= end:
            continue
        if frames and time - frames[-1][0] < FRAME_SECONDS:
            frames[-1][2] += data
        else:
            frames.append([time, "o", data])
    frames.append([end, "o", ""])  # holds the last frame for the show's own pause
    return frames, (picture, picture_complete), end


def write_cast(path, header, events):
    with open(path, "w") as cast:
        cast.write(json.dumps(header) + "\n")
        for event in events:
            cast.write(json.dumps(event) + "\n")


def screenshot(svg, seconds, png, scratch):
    """Shows the SVG in headless Chromium, its animation held at `seconds`, and saves a PNG."""
    text = svg.read_text()
    size = re.match(r'<svg[^>]* width="([\d.]+)" height="([\d.]+)"', text)
    width, height = (int(float(value) + 0.999) for value in size.groups())
    page = scratch / f"at-{seconds:.1f}.html"
    page.write_text(f"""<!doctype html><html><body style="margin:0;overflow:hidden">{text}<script>
for (const animation of document.getAnimations()) {{ animation.pause(); animation.currentTime = {seconds * 1000:.0f}; }}
</script></body></html>""")
    profile = scratch / f"chromium-{seconds:.1f}"
    result = subprocess.run(
        ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--no-first-run", f"--user-data-dir={profile}",
         f"--window-size={width},{height}", "--virtual-time-budget=2000", f"--screenshot={png}", page.as_uri()],
        capture_output=True, text=True, timeout=120)
    if result.returncode != 0 or not png.exists():
        fail(f"chromium made no screenshot:\n{result.stderr}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", type=Path, default=ROOT / "build", help="the folder with bixo and bixo.mp3")
    parser.add_argument("--out", type=Path, default=ROOT / "docs" / "show.svg")
    parser.add_argument("--screenshots", type=Path, help="also save two moments of the SVG in Chromium as PNGs here")
    parser.add_argument("--cast", type=Path, help="also keep the recording, cut and framed, here")
    arguments = parser.parse_args()

    build = arguments.build.resolve()
    for needed in ("bixo", "bixo.mp3"):
        if not (build / needed).is_file():
            fail(f"{build / needed} is missing: build the show first")
    tools = [("asciinema", "asciinema"), ("npm", "npm")]
    if arguments.screenshots:
        tools.append(("chromium", "chromium"))
    install_missing(tools)

    with tempfile.TemporaryDirectory() as scratch_name:
        scratch = Path(scratch_name)
        subprocess.run(["npm", "install", "--prefix", str(scratch), "--no-audit", "--no-fund", "--loglevel=error", SVG_TERM],
                       check=True, stdout=subprocess.DEVNULL)
        print(f"Recording {RECORD_SECONDS} s of the show in an {COLUMNS}x{ROWS} terminal...")
        record(build, scratch / "show.cast")
        header, events = read_cast(scratch / "show.cast")
        frames, picture, end = cut_and_frame(events)
        framed = scratch / "framed.cast"
        write_cast(framed, header, frames)
        if arguments.cast:
            shutil.copyfile(framed, arguments.cast)

        arguments.out.parent.mkdir(parents=True, exist_ok=True)
        # The size comes from the recording: svg-term's --height would emulate one row more than it
        # shows, so the bottom row, where the story is typed, would stay hidden.
        subprocess.run([str(scratch / "node_modules" / ".bin" / "svg-term"), "--in", str(framed), "--out", str(arguments.out),
                        "--window"], check=True)
        size = arguments.out.stat().st_size
        print(f"{arguments.out}: {size} bytes, {end:.1f} s in {len(frames)} frames "
              f"(the picture from {picture[0]:.1f} s to {picture[1]:.1f} s)")
        if size >= MAX_BYTES:
            fail(f"{arguments.out} is {size} bytes, not under {MAX_BYTES}")

        if arguments.screenshots:
            arguments.screenshots.mkdir(parents=True, exist_ok=True)
            # The opening, and the picture half built.
            for seconds in (5.0, sum(picture) / 2):
                png = arguments.screenshots / f"show-at-{seconds:.1f}s.png"
                screenshot(arguments.out, seconds, png, scratch)
                print(f"{png}: the SVG in Chromium at {seconds:.1f} s")


if __name__ == "__main__":
    main()
