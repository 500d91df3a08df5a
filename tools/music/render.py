#!/usr/bin/python3
"""Makes media/bixo.mp3, the show's soundtrack, from the score in tools/music/score.py.

Re-make it with:  /usr/bin/python3 tools/music/render.py
(options: --wav PATH keeps the 16-bit WAV; --output PATH writes the MP3 elsewhere)

The score is synthesized (synth.py), mastered (master.py) to 44.1 kHz 16-bit stereo and encoded
with lame at 160 kbit/s. The loudness and true peak are measured by ffmpeg on the decoded MP3 and
the gain and limiter ceiling corrected until both are on target, so the file as heard meets them.
Every step is deterministic: the same score gives the same WAV bytes and the same MP3 bytes.
"""

import argparse
import hashlib
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

import numpy as np

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import master  # noqa: E402
import score  # noqa: E402
import synth  # noqa: E402
import tracker  # noqa: E402

REPOSITORY = pathlib.Path(__file__).resolve().parents[2]

TARGET_LOUDNESS = -16.0      # LUFS, integrated
LOUDNESS_TOLERANCE = 0.2     # LU
TRUE_PEAK_LIMIT = -1.3       # dBTP, a little under the -1 dB we promise
FIRST_CEILING = -1.8         # dBFS sample peak for the limiter on the first try
MAX_TRIES = 8

LAME_OPTIONS = ["--cbr", "-b", "160", "-q", "0", "--silent"]


def render_mix():
    """Returns the unmastered (2, samples) float mix of the whole score."""
    events, length = tracker.song_events(score.ORDER, score.PATTERNS, score.INSTRUMENTS)
    return synth.mix_events(events, score.INSTRUMENTS, length, score.ECHO_FEEDBACK)


def encode(wav_path, mp3_path):
    """Encodes `wav_path` to `mp3_path` with lame at a constant 160 kbit/s."""
    subprocess.run(["lame", *LAME_OPTIONS, str(wav_path), str(mp3_path)], check=True)


def measure(path):
    """Returns (integrated loudness in LUFS, true peak in dBTP) of an audio file, decoded by ffmpeg."""
    result = subprocess.run(["ffmpeg", "-nostats", "-hide_banner", "-i", str(path),
                             "-af", "ebur128=peak=true", "-f", "null", "-"],
                            capture_output=True, text=True, check=True)
    summary = result.stderr[result.stderr.rfind("Summary:"):]
    loudness = float(re.search(r"I:\s+(-?[\d.]+|-inf) LUFS", summary).group(1))
    peak = float(re.search(r"Peak:\s+(-?[\d.]+|-inf) dBFS", summary).group(1))
    return loudness, peak


def first_gain(mix):
    """Returns a first guess of the gain in dB that brings `mix` to the target loudness.

    The plain RMS of the loud parts stands in for the K-weighted loudness; the measured figures
    correct it on the next try."""
    power = np.mean(mix ** 2, axis=0)
    block = synth.SAMPLE_RATE // 2
    blocks = power[:len(power) // block * block].reshape(-1, block).mean(axis=1)
    loud = blocks[blocks > blocks.max() * 1e-3]
    rms_db = 10.0 * np.log10(np.mean(loud) * 2.0)
    return TARGET_LOUDNESS - rms_db


def sha256(path):
    """Returns the hex SHA-256 of a file's bytes."""
    return hashlib.sha256(pathlib.Path(path).read_bytes()).hexdigest()


def main():
    """Renders, masters, encodes and checks the soundtrack; returns the process exit status."""
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default=str(REPOSITORY / "media" / "bixo.mp3"))
    parser.add_argument("--wav", help="also keep the mastered WAV here")
    arguments = parser.parse_args()

    for tool in ("lame", "ffmpeg"):
        if shutil.which(tool) is None:
            print(f"render.py: {tool} is missing (bash tools/setup.sh installs it)", file=sys.stderr)
            return 1

    mix = render_mix()
    gain, ceiling = first_gain(mix), FIRST_CEILING
    with tempfile.TemporaryDirectory(prefix="music-") as scratch:
        wav_path = pathlib.Path(scratch) / "bixo.wav"
        mp3_path = pathlib.Path(scratch) / "bixo.mp3"
        for attempt in range(1, MAX_TRIES + 1):
            signal = master.master(mix, gain, ceiling)
            master.write_wav(wav_path, signal)
            encode(wav_path, mp3_path)
            loudness, peak = measure(mp3_path)
            print(f"try {attempt}: gain {gain:+.2f} dB, ceiling {ceiling:.2f} dBFS -> "
                  f"{loudness:.1f} LUFS, true peak {peak:.1f} dBTP")
            loud_ok = abs(loudness - TARGET_LOUDNESS) <= LOUDNESS_TOLERANCE
            if loud_ok and peak <= TRUE_PEAK_LIMIT:
                break
            gain += TARGET_LOUDNESS - loudness
            if peak > TRUE_PEAK_LIMIT:
                ceiling -= peak - TRUE_PEAK_LIMIT + 0.1
        else:
            print("render.py: loudness or peak still off target", file=sys.stderr)
            return 1
        output = pathlib.Path(arguments.output)
        output.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(mp3_path, output)
        if arguments.wav:
            shutil.copyfile(wav_path, arguments.wav)
        seconds = signal.shape[-1] / synth.SAMPLE_RATE
        print(f"{output}: {seconds:.2f} s, wav sha256 {sha256(wav_path)[:16]}, mp3 sha256 {sha256(output)[:16]}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
