"""Reads the tracker-like score text of tools/music/score.py and turns it into timed events.

Part of the soundtrack tools: render.py makes media/bixo.mp3 from score.py through this module
and synth.py.  Re-make the soundtrack with:  /usr/bin/python3 tools/music/render.py

Score text, one bar per line, sixteen steps (sixteenth notes) per bar, tokens split by spaces:
    melodic voices   "A-4", "C#5", "Bb3" start a note, "---" holds it, "..." is silence
    chord voices     "Am", "E7", "C#m" start a chord, "---" holds it, "..." is silence
    drums            letters, one per hit on that step ("K", "KC"); "." is nothing.
                     K kick, S snare, H closed hat, O open hat, C crash; lower case is played softly.
"|" may separate beats for the eye; it is ignored.
"""

from dataclasses import dataclass

STEPS_PER_BAR = 16

HOLD = "---"
REST = "..."
DRUM_NOTHING = {".", "-"}
DRUM_LETTERS = "KSHOC"

# Semitones above C of each note letter.
NOTE_OFFSETS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}

# Chord qualities: suffix -> semitones above the root.
CHORD_QUALITIES = {
    "": (0, 4, 7),
    "m": (0, 3, 7),
    "7": (0, 4, 7, 10),
    "m7": (0, 3, 7, 10),
    "maj7": (0, 4, 7, 11),
    "sus4": (0, 5, 7),
    "dim": (0, 3, 6),
}


class ScoreError(ValueError):
    """A mistake in the score text; the message says where."""


# ---------------------------------------------------------------------------------------------
# Notes and chords
# ---------------------------------------------------------------------------------------------

def parse_note(token):
    """Returns the MIDI number of a tracker note name: "A-4" is 69, "C#5" is 73, "Bb3" is 58.

    The name is exactly three characters: letter, accidental ("-", "#" or "b") and octave digit.
    Raises ScoreError for anything else."""
    if len(token) != 3 or token[0] not in NOTE_OFFSETS or token[1] not in "-#b" or not token[2].isdigit():
        raise ScoreError(f"not a note name: {token!r} (expected e.g. A-4, C#5, Bb3)")
    accidental = {"-": 0, "#": 1, "b": -1}[token[1]]
    return 12 * (int(token[2]) + 1) + NOTE_OFFSETS[token[0]] + accidental


def parse_chord(token):
    """Returns (root pitch class 0..11, tuple of intervals) for a chord name like "C#m7".

    Raises ScoreError for an unknown root or quality."""
    if not token or token[0] not in NOTE_OFFSETS:
        raise ScoreError(f"not a chord name: {token!r}")
    root = NOTE_OFFSETS[token[0]]
    rest = token[1:]
    if rest[:1] in ("#", "b"):
        root += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    if rest not in CHORD_QUALITIES:
        raise ScoreError(f"unknown chord quality in {token!r}")
    return root % 12, CHORD_QUALITIES[rest]


def chord_tones(token, floor, count):
    """Returns `count` ascending MIDI notes of the chord, the lowest at or above `floor`.

    Taking the chord's notes upward from a fixed floor voices every chord in the same register,
    so neighbouring chords share notes and move smoothly."""
    root, intervals = parse_chord(token)
    classes = {(root + interval) % 12 for interval in intervals}
    tones = []
    note = floor
    while len(tones) < count:
        if note % 12 in classes:
            tones.append(note)
        note += 1
    return tones


# ---------------------------------------------------------------------------------------------
# Pattern text
# ---------------------------------------------------------------------------------------------

def split_bars(text, name="pattern"):
    """Returns the pattern's tokens, bar after bar, as one flat list (16 per bar).

    Blank lines are skipped and "|" is ignored. Raises ScoreError naming the pattern and line when
    a bar does not hold exactly sixteen steps."""
    tokens = []
    for number, line in enumerate(text.strip("\n").splitlines(), start=1):
        words = [word for word in line.split() if word != "|"]
        if not words:
            continue
        if len(words) != STEPS_PER_BAR:
            raise ScoreError(f"{name}, line {number}: {len(words)} steps instead of {STEPS_PER_BAR}")
        tokens.extend(words)
    if not tokens:
        raise ScoreError(f"{name}: empty pattern")
    return tokens


def held_spans(tokens, name="pattern"):
    """Returns (first step, length in steps, token) for each note or chord of a melodic pattern.

    A token other than "---" and "..." starts a span; "---" lengthens the span before it.
    Raises ScoreError for a "---" with nothing to hold."""
    spans = []
    current = None
    for step, token in enumerate(tokens):
        if token == HOLD:
            if current is None:
                raise ScoreError(f"{name}, step {step}: '---' holds nothing")
            current[1] += 1
        elif token == REST:
            current = None
        else:
            current = [step, 1, token]
            spans.append(current)
    return [tuple(span) for span in spans]


def drum_hits(tokens, name="pattern"):
    """Returns (step, letter upper case, velocity) for each drum hit; lower case plays at half."""
    hits = []
    for step, token in enumerate(tokens):
        if token in DRUM_NOTHING:
            continue
        for letter in token:
            if letter.upper() not in DRUM_LETTERS:
                raise ScoreError(f"{name}, step {step}: unknown drum {letter!r}")
            hits.append((step, letter.upper(), 1.0 if letter.isupper() else 0.5))
    return hits


# ---------------------------------------------------------------------------------------------
# Time
# ---------------------------------------------------------------------------------------------

def step_times(bpm_from, bpm_to, steps, swing=0.0, start=0.0):
    """Returns steps + 1 onset times in seconds: the start of every step and the end of the last.

    The tempo moves in a straight line from `bpm_from` at the first step to `bpm_to` at the last
    (equal values keep it steady). `swing` (0..0.5) delays every odd step by that fraction of
    a step, which makes straight sixteenths bounce."""
    times = [start]
    for step in range(steps):
        bpm = bpm_from + (bpm_to - bpm_from) * (step / max(steps - 1, 1))
        times.append(times[-1] + 60.0 / bpm / 4.0)
    for step in range(1, steps, 2):
        times[step] += swing * (times[step + 1] - times[step - 1]) / 2.0
    return times


# ---------------------------------------------------------------------------------------------
# Events
# ---------------------------------------------------------------------------------------------

@dataclass
class Event:
    """One sound to make: a note (pitches has one entry), a chord, or a drum hit."""
    voice: str            # channel name; a new event on the same voice cuts the previous one short
    instrument: str       # key into the score's instruments, or "drum:K" style for drums
    start: float          # seconds
    end: float            # seconds: when the key is let go; the release sounds after it
    pitches: tuple = ()   # MIDI notes
    velocity: float = 1.0
    cut: float = None     # seconds: where the next event of the voice begins, if any
    echo_delay: float = 0.0  # seconds between the repeats of this event's echo


@dataclass
class Row:
    """One line of the song's order list: a tempo and the pattern each voice plays."""
    bpm: tuple            # (from, to); equal for a steady tempo
    patterns: dict        # voice -> pattern name or None
    swing: float = 0.0
    name: str = ""

    def echo_delay(self):
        """Returns the row's echo delay: a dotted eighth (three steps) at its opening tempo."""
        return 3 * 60.0 / self.bpm[0] / 4.0


# Voices in which each drum plays; a closed hat chokes an open one, as on the old sound chips.
DRUM_VOICES = {"K": "kick", "S": "snare", "H": "hats", "O": "hats", "C": "crash"}


def row_steps(row, patterns):
    """Returns the number of steps of a row: all its patterns must be equally long."""
    lengths = {name: len(split_bars(patterns[name][1], name)) for name in row.patterns.values() if name}
    if not lengths:
        raise ScoreError(f"row {row.name!r} plays nothing")
    if len(set(lengths.values())) != 1:
        raise ScoreError(f"row {row.name!r}: patterns of different lengths {lengths}")
    return next(iter(lengths.values()))


def song_events(order, patterns, instruments):
    """Returns (events sorted by start, end time of the last step) for the whole order list.

    `patterns` maps a name to (instrument name, text); `instruments` maps an instrument name to its
    settings, of which this reads "kind" ("note", "drums", "broken" or "chip" chord) and, for
    chords, "floor" (the lowest note allowed), "tones" and "figure" (for broken chords)."""
    events = []
    clock = 0.0
    for row in order:
        steps = row_steps(row, patterns)
        times = step_times(row.bpm[0], row.bpm[1], steps, row.swing, clock)
        for voice, pattern_name in row.patterns.items():
            if not pattern_name:
                continue
            instrument_name, text = patterns[pattern_name]
            settings = instruments[instrument_name]
            tokens = split_bars(text, pattern_name)
            for event in pattern_events(voice, instrument_name, settings, tokens, times, pattern_name):
                event.echo_delay = row.echo_delay()
                events.append(event)
        clock = times[-1]
    events.sort(key=lambda event: (event.start, event.voice))
    mark_cuts(events)
    return events, clock


def pattern_events(voice, instrument_name, settings, tokens, times, name):
    """Returns the events of one pattern played on the step grid `times`."""
    kind = settings.get("kind", "note")
    if kind == "drums":
        return [Event(DRUM_VOICES[letter], f"drum:{letter}", times[step], times[step + 1],
                      velocity=velocity * settings.get("volume", 1.0))
                for step, letter, velocity in drum_hits(tokens, name)]
    events = []
    for first, length, token in held_spans(tokens, name):
        if kind == "note":
            events.append(Event(voice, instrument_name, times[first], times[first + length],
                                (parse_note(token),)))
        elif kind == "chip":
            # Every note of the chord once: three for a triad, four for a seventh chord.
            tones = chord_tones(token, settings["floor"], len(parse_chord(token)[1]))
            events.append(Event(voice, instrument_name, times[first], times[first + length], tuple(tones)))
        elif kind == "broken":
            # A held chord plays its notes one per step, following the instrument's figure
            # (indices into the chord's notes), counted from the bar line so bars sound alike.
            tones = chord_tones(token, settings["floor"], settings.get("tones", 5))
            figure = settings["figure"]
            for step in range(first, first + length):
                note = tones[figure[step % len(figure)]]
                events.append(Event(voice, instrument_name, times[step], times[step + 1], (note,)))
        else:
            raise ScoreError(f"{instrument_name}: unknown kind {kind!r}")
    return events


def mark_cuts(events):
    """Sets each event's `cut` to the start of the next event on the same voice."""
    last_on_voice = {}
    for event in events:
        previous = last_on_voice.get(event.voice)
        if previous is not None:
            previous.cut = event.start
        last_on_voice[event.voice] = event
