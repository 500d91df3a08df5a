"""The score of bixo's soundtrack: instruments, patterns and the order they play in.

render.py makes media/bixo.mp3 from this score:  /usr/bin/python3 tools/music/render.py

The tale in music: Bixo alone and sad, A minor at 80 BPM, a music box and a sighing lead; the
tempo runs up to 140 BPM and the key turns to A major, a bouncing chip groove with a cheeky
tune; in the middle the sad tune comes back in major, as if Bixo laughed at his old sorrow.

Pattern text (see tracker.py): one bar per line, sixteen steps, "|" between beats.
    notes  "A-4" "C#5" start, "---" holds, "..." rests        chords  "Am" "E7" likewise
    drums  K kick, S snare, H closed hat, O open hat, C crash, lower case soft, "." nothing
"""

from tracker import Row

# ---------------------------------------------------------------------------------------------
# Instruments (settings not given take synth.DEFAULT_INSTRUMENT's values)
# ---------------------------------------------------------------------------------------------

INSTRUMENTS = {
    # The sad opening.
    "music_box": dict(kind="broken", floor=52, tones=5, figure=(0, 1, 2, 3, 4, 3, 2, 1),
                      wave="pulse", duty=0.2, pwm_depth=0.08, pwm_rate=0.25,
                      attack=0.003, decay=0.16, sustain=0.0, release=0.3,
                      volume=0.18, pan=0.35, echo=0.35),
    "sad_lead": dict(wave="pulse", duty=0.35, pwm_depth=0.12, pwm_rate=0.6,
                     attack=0.04, decay=0.5, sustain=0.75, release=0.35,
                     vibrato_depth=0.2, vibrato_rate=5.0, vibrato_delay=0.35,
                     volume=0.18, pan=-0.15, echo=0.4),
    "soft_bass": dict(wave="triangle", attack=0.01, decay=0.8, sustain=0.55, release=0.2,
                      volume=0.25),
    "soft_drums": dict(kind="drums", volume=0.75),

    # The happy rest.
    "chip_lead": dict(wave="pulse", duty=0.25, pwm_depth=0.05, pwm_rate=1.5,
                      attack=0.003, decay=0.12, sustain=0.65, release=0.08,
                      vibrato_depth=0.22, vibrato_rate=6.2, vibrato_delay=0.15, octave_blip=0.012,
                      volume=0.24, pan=-0.12, echo=0.22),
    "sing_lead": dict(wave="pulse", duty=0.5, pwm_depth=0.15, pwm_rate=1.0,
                      attack=0.01, decay=0.25, sustain=0.7, release=0.15,
                      vibrato_depth=0.25, vibrato_rate=5.8, vibrato_delay=0.12,
                      volume=0.21, pan=-0.12, echo=0.3),
    "bounce_bass": dict(wave="pulse", duty=0.5, attack=0.002, decay=0.09, sustain=0.45, release=0.04,
                        volume=0.25),
    "chip_chords": dict(kind="chip", floor=57, arp_rate=60.0,
                        wave="pulse", duty=0.25, attack=0.002, decay=0.1, sustain=0.5, release=0.06,
                        volume=0.2, pan=0.35, echo=0.15),
    "shimmer_chords": dict(kind="chip", floor=57, arp_rate=30.0,
                           wave="pulse", duty=0.125, pwm_depth=0.06, pwm_rate=0.5,
                           attack=0.02, decay=0.6, sustain=0.6, release=0.25,
                           volume=0.12, pan=0.35, echo=0.25),
    "chip_drums": dict(kind="drums", volume=0.85),
}

# ---------------------------------------------------------------------------------------------
# Patterns: name -> (instrument, text)
# ---------------------------------------------------------------------------------------------

PATTERNS = {
    # --- Alone: four bars of music box and bass, the hats creep in ---------------------------
    "alone_chords": ("music_box", """
        Am  --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        F   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        C   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        E   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
    """),
    "alone_bass": ("soft_bass", """
        A-2 --- --- --- | --- --- --- --- | --- --- --- --- | A-2 --- G-2 ---
        F-2 --- --- --- | --- --- --- --- | --- --- --- --- | F-2 --- G-2 ---
        C-3 --- --- --- | --- --- --- --- | --- --- --- --- | C-3 --- B-2 ---
        E-2 --- --- --- | --- --- --- --- | --- --- --- --- | E-2 --- G#2 ---
    """),
    "alone_drums": ("soft_drums", """
        .   .   .   .   | .   .   .   .   | .   .   .   .   | .   .   .   .
        .   .   .   .   | .   .   .   .   | .   .   .   .   | .   .   h   .
        k   .   .   .   | h   .   .   .   | .   .   .   .   | h   .   .   .
        k   .   .   .   | h   .   .   .   | .   .   h   .   | h   .   h   .
    """),

    # --- The sad tune ---------------------------------------------------------------------------
    "sad_tune": ("sad_lead", """
        E-5 --- --- --- | --- --- D-5 --- | C-5 --- --- --- | B-4 --- C-5 ---
        A-4 --- --- --- | --- --- --- --- | --- --- ... ... | A-4 --- C-5 ---
        E-5 --- --- --- | --- --- F-5 --- | E-5 --- --- --- | D-5 --- C-5 ---
        D-5 --- --- --- | --- --- --- --- | --- --- ... ... | B-4 --- D-5 ---
        C-5 --- --- --- | --- --- B-4 --- | A-4 --- --- --- | E-5 --- --- ---
        F-5 --- --- --- | --- --- E-5 --- | D-5 --- --- --- | C-5 --- --- ---
        D-5 --- --- --- | --- --- C-5 --- | B-4 --- --- --- | A-4 --- --- ---
        G#4 --- --- --- | --- --- --- --- | B-4 --- --- --- | --- --- ... ...
    """),
    "sad_chords": ("music_box", """
        Am  --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        F   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        C   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        G   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        Am  --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        F   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        Dm  --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        E   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
    """),
    "sad_bass": ("soft_bass", """
        A-2 --- --- --- | --- --- --- --- | --- --- --- --- | A-2 --- G-2 ---
        F-2 --- --- --- | --- --- --- --- | --- --- --- --- | F-2 --- G-2 ---
        C-3 --- --- --- | --- --- --- --- | --- --- --- --- | C-3 --- B-2 ---
        G-2 --- --- --- | --- --- --- --- | --- --- --- --- | G-2 --- G#2 ---
        A-2 --- --- --- | --- --- --- --- | --- --- --- --- | A-2 --- G-2 ---
        F-2 --- --- --- | --- --- --- --- | --- --- --- --- | F-2 --- E-2 ---
        D-2 --- --- --- | --- --- --- --- | --- --- --- --- | D-2 --- F-2 ---
        E-2 --- --- --- | --- --- --- --- | --- --- --- --- | E-2 --- --- ---
    """),
    "ballad_beat": ("soft_drums", """
        k   .   .   .   | h   .   .   .   | s   .   .   .   | h   .   k   .
        k   .   .   .   | h   .   .   .   | s   .   .   .   | h   .   k   .
        k   .   .   .   | h   .   .   .   | s   .   .   .   | h   .   k   .
        k   .   .   .   | h   .   .   .   | s   .   .   .   | s   .   s   s
        k   .   .   .   | h   .   .   .   | s   .   .   .   | h   .   k   .
        k   .   .   .   | h   .   .   .   | s   .   .   .   | h   .   k   .
        k   .   .   .   | h   .   .   .   | s   .   .   .   | h   .   k   .
        k   .   .   .   | h   .   h   .   | s   .   h   .   | s   .   s   s
    """),

    # --- The turn: two bars speeding up from 80 to 140 BPM, the music box racing ----------------
    "turn_chords": ("music_box", """
        F   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        E7  --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
    """),
    "turn_bass": ("soft_bass", """
        F-2 --- --- --- | F-2 --- --- --- | F-2 --- --- --- | F-2 --- --- ---
        E-2 --- F#2 --- | G#2 --- A-2 --- | B-2 --- C#3 --- | D-3 --- E-3 ---
    """),
    "turn_drums": ("chip_drums", """
        k   .   .   .   | s   .   .   .   | k   .   s   .   | s   .   s   .
        s   .   s   .   | s   .   s   s   | s   s   S   s   | S   S   S   S
    """),

    # --- The groove: the happy band sets off -----------------------------------------------------
    "groove_chords": ("chip_chords", """
        ... ... A   --- | ... ... A   --- | ... ... A   --- | ... ... A   ---
        ... ... F#m --- | ... ... F#m --- | ... ... F#m --- | ... ... F#m ---
        ... ... D   --- | ... ... D   --- | ... ... D   --- | ... ... D   ---
        ... ... E   --- | ... ... E   --- | ... ... E   --- | ... ... E7  ---
    """),
    "groove_bass": ("bounce_bass", """
        A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ...
        F#2 ... F#3 ... | F#2 ... F#3 ... | F#2 ... F#3 ... | F#2 ... F#3 ...
        D-2 ... D-3 ... | D-2 ... D-3 ... | D-2 ... D-3 ... | D-2 ... D-3 ...
        E-2 ... E-3 ... | E-2 ... E-3 ... | E-2 ... E-3 ... | E-2 ... G#2 ...
    """),
    "groove_drums": ("chip_drums", """
        KC  .   H   h   | S   .   H   .   | K   .   K   H   | S   .   O   h
        K   .   H   h   | S   .   H   .   | K   .   K   H   | S   .   O   h
        K   .   H   h   | S   .   H   .   | K   .   K   H   | S   .   O   h
        K   .   H   h   | S   .   H   .   | K   .   S   .   | S   s   S   S
    """),

    # --- The happy tune, first half --------------------------------------------------------------
    "happy_tune_a": ("chip_lead", """
        E-5 --- ... E-5 | ... ... D-5 --- | C#5 --- ... B-4 | ... ... C#5 ---
        A-4 --- --- --- | ... ... C#5 --- | ... ... F#5 --- | E-5 --- C#5 ---
        D-5 --- ... D-5 | ... ... F#5 --- | A-5 --- ... F#5 | ... ... D-5 ---
        E-5 --- --- --- | B-4 --- ... ... | E-5 --- ... G#5 | --- --- ... ...
        A-5 --- ... A-5 | ... ... G#5 --- | E-5 --- ... C#5 | ... ... E-5 ---
        F#5 --- --- --- | ... ... C#5 --- | F#5 --- A-5 --- | G#5 --- F#5 ---
        D-5 --- F#5 --- | A-5 --- F#5 --- | E-5 --- G#5 --- | B-5 --- G#5 ---
        A-5 --- --- --- | --- --- ... ... | E-5 --- C#5 --- | A-4 --- ... ...
    """),
    "happy_chords_a": ("chip_chords", """
        ... ... A   --- | ... ... A   --- | ... ... A   --- | ... ... A   ---
        ... ... F#m --- | ... ... F#m --- | ... ... F#m --- | ... ... F#m ---
        ... ... D   --- | ... ... D   --- | ... ... D   --- | ... ... D   ---
        ... ... E   --- | ... ... E   --- | ... ... E   --- | ... ... E   ---
        ... ... A   --- | ... ... A   --- | ... ... A   --- | ... ... A   ---
        ... ... F#m --- | ... ... F#m --- | ... ... F#m --- | ... ... F#m ---
        ... ... D   --- | ... ... D   --- | ... ... E   --- | ... ... E   ---
        ... ... A   --- | ... ... A   --- | ... ... A   --- | ... ... A   ---
    """),
    "happy_bass_a": ("bounce_bass", """
        A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ...
        F#2 ... F#3 ... | F#2 ... F#3 ... | F#2 ... F#3 ... | F#2 ... F#3 ...
        D-2 ... D-3 ... | D-2 ... D-3 ... | D-2 ... D-3 ... | D-2 ... D-3 ...
        E-2 ... E-3 ... | E-2 ... E-3 ... | E-2 ... E-3 ... | E-2 ... E-3 ...
        A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ...
        F#2 ... F#3 ... | F#2 ... F#3 ... | F#2 ... F#3 ... | F#2 ... F#3 ...
        D-2 ... D-3 ... | D-2 ... D-3 ... | E-2 ... E-3 ... | E-2 ... E-3 ...
        A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ...
    """),
    "happy_beat": ("chip_drums", """
        KC  .   H   h   | S   .   H   .   | K   .   K   H   | S   .   O   h
        K   .   H   h   | S   .   H   .   | K   .   K   H   | S   .   O   h
        K   .   H   h   | S   .   H   .   | K   .   K   H   | S   .   O   h
        K   .   H   h   | S   .   H   .   | K   .   K   H   | S   .   S   s
        K   .   H   h   | S   .   H   .   | K   .   K   H   | S   .   O   h
        K   .   H   h   | S   .   H   .   | K   .   K   H   | S   .   O   h
        K   .   H   h   | S   .   H   .   | K   .   K   H   | S   .   O   h
        K   .   H   h   | S   .   H   .   | K   .   S   .   | S   s   S   S
    """),

    # --- The happy tune, second half --------------------------------------------------------------
    "happy_tune_b": ("chip_lead", """
        F#5 --- ... F#5 | ... ... E-5 --- | D-5 --- ... E-5 | ... ... F#5 ---
        G#5 --- --- --- | E-5 --- ... ... | B-4 --- ... ... | E-5 --- --- ---
        E-5 --- ... E-5 | ... ... G#5 --- | E-5 --- ... C#5 | ... ... E-5 ---
        A-5 --- --- --- | F#5 --- ... ... | C#5 --- ... ... | F#5 --- --- ---
        D-5 --- ... D-5 | ... ... F#5 --- | B-5 --- ... A-5 | ... ... F#5 ---
        G#5 --- --- --- | B-5 --- ... ... | G#5 --- E-5 --- | D-5 --- B-4 ---
        C#5 --- ... E-5 | ... ... A-5 --- | ... ... G#5 --- | A-5 --- B-5 ---
        C#6 --- --- --- | --- --- --- --- | B-5 --- ... ... | G#5 --- E-5 ---
    """),
    "happy_chords_b": ("chip_chords", """
        ... ... D   --- | ... ... D   --- | ... ... D   --- | ... ... D   ---
        ... ... E   --- | ... ... E   --- | ... ... E   --- | ... ... E   ---
        ... ... C#m --- | ... ... C#m --- | ... ... C#m --- | ... ... C#m ---
        ... ... F#m --- | ... ... F#m --- | ... ... F#m --- | ... ... F#m ---
        ... ... Bm  --- | ... ... Bm  --- | ... ... Bm  --- | ... ... Bm  ---
        ... ... E   --- | ... ... E   --- | ... ... E   --- | ... ... E7  ---
        ... ... A   --- | ... ... A   --- | ... ... A   --- | ... ... A   ---
        ... ... A   --- | ... ... A   --- | ... ... E   --- | ... ... E7  ---
    """),
    "happy_bass_b": ("bounce_bass", """
        D-2 ... D-3 ... | D-2 ... D-3 ... | D-2 ... D-3 ... | D-2 ... D-3 ...
        E-2 ... E-3 ... | E-2 ... E-3 ... | E-2 ... E-3 ... | E-2 ... E-3 ...
        C#2 ... C#3 ... | C#2 ... C#3 ... | C#2 ... C#3 ... | C#2 ... C#3 ...
        F#2 ... F#3 ... | F#2 ... F#3 ... | F#2 ... F#3 ... | F#2 ... F#3 ...
        B-1 ... B-2 ... | B-1 ... B-2 ... | B-1 ... B-2 ... | B-1 ... B-2 ...
        E-2 ... E-3 ... | E-2 ... E-3 ... | E-2 ... E-3 ... | E-2 ... D-3 ...
        A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ...
        A-2 ... A-3 ... | C#3 ... A-2 ... | E-2 ... E-3 ... | E-2 ... G#2 ...
    """),

    # --- The bridge: the sad tune again, now in major and dancing --------------------------------
    "laughing_tune": ("sing_lead", """
        E-5 --- --- --- | --- --- D-5 --- | C#5 --- --- --- | B-4 --- C#5 ---
        A-4 --- --- --- | --- --- --- --- | --- --- ... ... | A-4 --- C#5 ---
        E-5 --- --- --- | --- --- F#5 --- | E-5 --- --- --- | D-5 --- C#5 ---
        D-5 --- --- --- | --- --- --- --- | --- --- ... ... | B-4 --- D-5 ---
        C#5 --- --- --- | --- --- B-4 --- | A-4 --- --- --- | E-5 --- --- ---
        F#5 --- --- --- | --- --- E-5 --- | D-5 --- --- --- | C#5 --- --- ---
        D-5 --- --- --- | --- --- C#5 --- | B-4 --- --- --- | A-4 --- --- ---
        G#4 --- --- --- | --- --- --- --- | B-4 --- --- --- | --- --- ... ...
    """),
    "laughing_chords": ("shimmer_chords", """
        A   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        F#m --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        C#m --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        E7  --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        A   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        D   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        Bm  --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
        E   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- E7  ---
    """),
    "laughing_bass": ("bounce_bass", """
        A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ...
        F#2 ... F#3 ... | F#2 ... F#3 ... | F#2 ... F#3 ... | F#2 ... F#3 ...
        C#2 ... C#3 ... | C#2 ... C#3 ... | C#2 ... C#3 ... | C#2 ... C#3 ...
        E-2 ... E-3 ... | E-2 ... E-3 ... | E-2 ... E-3 ... | E-2 ... E-3 ...
        A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ... | A-2 ... A-3 ...
        D-2 ... D-3 ... | D-2 ... D-3 ... | D-2 ... D-3 ... | D-2 ... D-3 ...
        B-1 ... B-2 ... | B-1 ... B-2 ... | B-1 ... B-2 ... | B-1 ... B-2 ...
        E-2 ... E-3 ... | E-2 ... E-3 ... | E-2 ... E-3 ... | E-2 ... G#2 ...
    """),
    "laughing_beat": ("chip_drums", """
        KC  .   H   .   | S   .   H   .   | K   .   H   .   | S   .   H   h
        K   .   H   .   | S   .   H   .   | K   .   H   .   | S   .   H   h
        K   .   H   .   | S   .   H   .   | K   .   H   .   | S   .   H   h
        K   .   H   .   | S   .   H   .   | K   .   K   .   | S   .   O   .
        K   .   H   .   | S   .   H   .   | K   .   H   .   | S   .   H   h
        K   .   H   .   | S   .   H   .   | K   .   H   .   | S   .   H   h
        K   .   H   .   | S   .   H   .   | K   .   H   .   | S   .   H   h
        K   .   H   .   | S   .   H   .   | K   .   S   .   | S   s   S   S
    """),

    # --- The end: a last run up to A, slowing down -------------------------------------------------
    "ending_tune": ("chip_lead", """
        E-5 --- A-5 --- | C#6 --- A-5 --- | B-5 --- G#5 --- | E-5 --- --- ---
        A-5 --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
    """),
    "ending_chords": ("chip_chords", """
        ... ... A   --- | ... ... A   --- | ... ... E   --- | ... ... E7  ---
        A   --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
    """),
    "ending_bass": ("bounce_bass", """
        A-2 ... A-3 ... | A-2 ... A-3 ... | E-2 ... E-3 ... | E-2 ... G#2 ...
        A-2 --- --- --- | --- --- --- --- | --- --- --- --- | --- --- --- ---
    """),
    "ending_drums": ("chip_drums", """
        K   .   H   h   | S   .   H   .   | K   .   S   .   | S   S   S   S
        KC  .   .   .   | .   .   .   .   | .   .   .   .   | .   .   .   .
    """),
}

# ---------------------------------------------------------------------------------------------
# The order list: one row per section; a voice without a pattern is silent there
# ---------------------------------------------------------------------------------------------

SAD_BPM = (80, 80)
HAPPY_BPM = (140, 140)
HAPPY_SWING = 0.12

ORDER = [
    #   tempo          lead             chords              bass             drums
    Row(SAD_BPM, dict(lead=None, chords="alone_chords", bass="alone_bass", drums="alone_drums"),
        name="alone"),
    Row(SAD_BPM, dict(lead="sad_tune", chords="sad_chords", bass="sad_bass", drums="ballad_beat"),
        name="sad tune"),
    Row((80, 140), dict(lead=None, chords="turn_chords", bass="turn_bass", drums="turn_drums"),
        name="turn"),
    Row(HAPPY_BPM, dict(lead=None, chords="groove_chords", bass="groove_bass", drums="groove_drums"),
        swing=HAPPY_SWING, name="groove"),
    Row(HAPPY_BPM, dict(lead="happy_tune_a", chords="happy_chords_a", bass="happy_bass_a", drums="happy_beat"),
        swing=HAPPY_SWING, name="happy tune a"),
    Row(HAPPY_BPM, dict(lead="happy_tune_b", chords="happy_chords_b", bass="happy_bass_b", drums="happy_beat"),
        swing=HAPPY_SWING, name="happy tune b"),
    Row(HAPPY_BPM, dict(lead="laughing_tune", chords="laughing_chords", bass="laughing_bass",
                        drums="laughing_beat"),
        swing=HAPPY_SWING, name="laughing"),
    Row(HAPPY_BPM, dict(lead="happy_tune_a", chords="happy_chords_a", bass="happy_bass_a", drums="happy_beat"),
        swing=HAPPY_SWING, name="happy tune again"),
    Row((140, 96), dict(lead="ending_tune", chords="ending_chords", bass="ending_bass", drums="ending_drums"),
        name="ending"),
]

# How much of each echo repeat comes back in the next one (the delay follows each row's tempo).
ECHO_FEEDBACK = 0.35
