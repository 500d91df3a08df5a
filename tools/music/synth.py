"""A small chip synthesizer: pulse, triangle and noise oscillators with envelopes, drums, panning
and a ping-pong echo, mixing the events of tracker.py into a stereo float signal.

Part of the soundtrack tools: render.py makes media/bixo.mp3 from score.py with it.
Re-make the soundtrack with:  /usr/bin/python3 tools/music/render.py

Everything here is deterministic: the only noise comes from a linear-feedback shift register
started from a fixed state.
"""

import math

import numpy as np

SAMPLE_RATE = 44100

# Instrument settings every instrument starts from; the score overrides what it needs.
DEFAULT_INSTRUMENT = {
    "kind": "note",
    "wave": "pulse",      # "pulse" or "triangle"
    "duty": 0.5,          # pulse: fraction of the cycle spent high
    "pwm_depth": 0.0,     # pulse: how far the duty swings either way
    "pwm_rate": 0.0,      # pulse: swings per second
    "attack": 0.005,      # seconds to full level
    "decay": 0.1,         # seconds: time constant of the fall to the sustain level
    "sustain": 0.7,       # level held while the key is down
    "release": 0.1,       # seconds from key up to -60 dB
    "vibrato_depth": 0.0, # semitones
    "vibrato_rate": 5.5,  # Hz
    "vibrato_delay": 0.2, # seconds before the vibrato fades in
    "arp_rate": 50.0,     # chip chords: notes per second
    "octave_blip": 0.0,   # seconds the note starts an octave up (a chip "blip" attack)
    "volume": 0.3,
    "pan": 0.0,           # -1 left .. 1 right
    "echo": 0.0,          # share sent to the echo
}


def instrument_settings(instruments, name):
    """Returns the full settings of instrument `name`: the defaults overridden by the score's."""
    return {**DEFAULT_INSTRUMENT, **instruments[name]}


# ---------------------------------------------------------------------------------------------
# Oscillators: each takes the phase in cycles (one float per sample, rising) and returns -1..1
# ---------------------------------------------------------------------------------------------

def poly_blep(position, increment):
    """Returns the correction that rounds off a unit jump at position 0 of a cycle.

    `position` is the place in the cycle (0..1) and `increment` the phase step per sample; samples
    within one step of the jump get a two-sample polynomial residual, which removes most of the
    aliasing a hard edge would fold back below the Nyquist frequency."""
    correction = np.zeros_like(position)
    after = position < increment
    x = position[after] / increment[after]
    correction[after] = x + x - x * x - 1.0
    before = position > 1.0 - increment
    x = (position[before] - 1.0) / increment[before]
    correction[before] = x * x + x + x + 1.0
    return correction


def pulse_wave(phase, duty):
    """Returns a band-limited pulse wave, high for the `duty` share of each cycle, without DC.

    `duty` may be a number or one value per sample (pulse-width modulation)."""
    duty = np.broadcast_to(np.asarray(duty, dtype=float), phase.shape)
    increment = np.maximum(np.diff(phase, prepend=phase[0] - (phase[1] - phase[0])), 1e-9)
    position = phase % 1.0
    wave = np.where(position < duty, 1.0, -1.0)
    wave += poly_blep(position, increment)                   # rising edge at the cycle start
    wave -= poly_blep((position - duty) % 1.0, increment)    # falling edge at the duty point
    return wave - (2.0 * duty - 1.0)                         # a narrow pulse sits off centre


def triangle_wave(phase):
    """Returns a triangle wave: soft, nearly a sine, the classic chip bass."""
    return 4.0 * np.abs(phase % 1.0 - 0.5) - 1.0


def noise_sequence(length=32767):
    """Returns the +-1 output of a 15-bit linear-feedback shift register started at 1.

    Feedback is bit 0 XOR bit 1, which visits all 32767 non-zero states before it repeats."""
    register = 1
    bits = np.empty(length)
    for index in range(length):
        bits[index] = 1.0 if register & 1 else -1.0
        feedback = (register ^ (register >> 1)) & 1
        register = (register >> 1) | (feedback << 14)
    return bits


NOISE = noise_sequence()


def noise_wave(first_sample, count, clock):
    """Returns `count` samples of the register's noise clocked `clock` times per second.

    The register runs from the start of the song, so `first_sample` (the song position) picks the
    part heard and no two hits sound exactly alike. A slower clock holds each value longer, which
    makes a darker noise."""
    ticks = (np.arange(first_sample, first_sample + count) * (clock / SAMPLE_RATE)).astype(np.int64)
    return NOISE[ticks % len(NOISE)]


# ---------------------------------------------------------------------------------------------
# Envelopes and pitch
# ---------------------------------------------------------------------------------------------

def adsr(count, gate, attack, decay, sustain, release):
    """Returns `count` envelope levels 0..1 for a key held `gate` samples.

    A straight rise over `attack` seconds, an exponential fall (time constant `decay`) towards
    `sustain`, and after the key is let go an exponential fall reaching -60 dB after `release`."""
    t = np.arange(count) / SAMPLE_RATE
    attack = max(attack, 1.0 / SAMPLE_RATE)
    held = np.where(t < attack, t / attack,
                    sustain + (1.0 - sustain) * np.exp(-(t - attack) / max(decay, 1e-6)))
    if gate >= count:
        return held
    level_at_release = held[gate] if gate > 0 else 0.0
    after = t[gate:] - t[gate]
    envelope = held.copy()
    envelope[gate:] = level_at_release * np.exp(-after * math.log(1000.0) / max(release, 1e-6))
    return envelope


def midi_to_hz(note):
    """Returns the frequency of a MIDI note number (69 is A 440 Hz)."""
    return 440.0 * 2.0 ** ((np.asarray(note, dtype=float) - 69.0) / 12.0)


def pitch_curve(settings, pitches, count):
    """Returns one MIDI pitch per sample for a note or a chip chord, with vibrato and blip.

    A chord cycles through its notes `arp_rate` times per second: the old trick for playing
    a chord on one channel."""
    t = np.arange(count) / SAMPLE_RATE
    if len(pitches) > 1:
        index = (t * settings["arp_rate"]).astype(np.int64) % len(pitches)
        pitch = np.asarray(pitches, dtype=float)[index]
    else:
        pitch = np.full(count, float(pitches[0]))
    if settings["octave_blip"] > 0.0:
        pitch = pitch + 12.0 * (t < settings["octave_blip"])
    depth = settings["vibrato_depth"]
    if depth > 0.0:
        fade_in = np.clip((t - settings["vibrato_delay"]) / 0.25, 0.0, 1.0)
        pitch = pitch + depth * fade_in * np.sin(2.0 * math.pi * settings["vibrato_rate"] * t)
    return pitch


# ---------------------------------------------------------------------------------------------
# Voices
# ---------------------------------------------------------------------------------------------

def render_tone(settings, pitches, gate_seconds, velocity=1.0):
    """Returns the mono samples of one note or chip chord, key held `gate_seconds`, release included."""
    gate = max(int(round(gate_seconds * SAMPLE_RATE)), 1)
    count = gate + int(settings["release"] * SAMPLE_RATE)
    pitch = pitch_curve(settings, pitches, count)
    phase = np.cumsum(midi_to_hz(pitch)) / SAMPLE_RATE
    if settings["wave"] == "triangle":
        wave = triangle_wave(phase)
    elif settings["wave"] == "pulse":
        t = np.arange(count) / SAMPLE_RATE
        duty = settings["duty"] + settings["pwm_depth"] * np.sin(2.0 * math.pi * settings["pwm_rate"] * t)
        wave = pulse_wave(phase, np.clip(duty, 0.05, 0.95))
    else:
        raise ValueError(f"unknown wave {settings['wave']!r}")
    envelope = adsr(count, gate, settings["attack"], settings["decay"], settings["sustain"], settings["release"])
    return wave * envelope * settings["volume"] * velocity


def render_drum(letter, velocity, first_sample):
    """Returns the mono samples of one drum hit ("K", "S", "H", "O" or "C") starting at `first_sample`."""
    def seconds(duration):
        return np.arange(int(duration * SAMPLE_RATE)) / SAMPLE_RATE

    if letter == "K":
        # A sine dropping fast from 150 Hz to 48 Hz: the thump of a chip kick.
        t = seconds(0.32)
        frequency = 48.0 + 102.0 * np.exp(-t / 0.035)
        body = np.sin(2.0 * math.pi * np.cumsum(frequency) / SAMPLE_RATE) * np.exp(-t / 0.11)
        click = noise_wave(first_sample, len(t), 22050.0) * np.exp(-t / 0.003) * 0.3
        sound = 0.7 * (body + click)
    elif letter == "S":
        # Noise for the wires over a short falling triangle for the shell.
        t = seconds(0.25)
        wires = noise_wave(first_sample, len(t), 18000.0) * np.exp(-t / 0.055)
        shell = triangle_wave(np.cumsum(170.0 + 90.0 * np.exp(-t / 0.02)) / SAMPLE_RATE) * np.exp(-t / 0.045)
        sound = 0.42 * wires + 0.5 * shell
    elif letter in "HOC":
        # Differenced full-rate noise is bright and thin, like a cymbal; only the length differs.
        length, time_constant, level = {"H": (0.09, 0.018, 0.22), "O": (0.45, 0.11, 0.16),
                                        "C": (2.2, 0.55, 0.2)}[letter]
        t = seconds(length)
        noise = noise_wave(first_sample, len(t) + 1, SAMPLE_RATE)
        sound = level * np.diff(noise) * 0.5 * np.exp(-t / time_constant)
    else:
        raise ValueError(f"unknown drum {letter!r}")
    return sound * velocity


# ---------------------------------------------------------------------------------------------
# Mixing
# ---------------------------------------------------------------------------------------------

DRUM_PAN = {"K": 0.0, "S": 0.05, "H": -0.3, "O": 0.3, "C": 0.2}


def pan_gains(pan):
    """Returns (left, right) gains for a position -1..1 at constant power (0.707 each at centre)."""
    angle = (pan + 1.0) * math.pi / 4.0
    return math.cos(angle), math.sin(angle)


def fade_before(samples, count):
    """Fades out the last `count` samples in place (a note cut short must not click)."""
    count = min(count, len(samples))
    if count > 0:
        samples[len(samples) - count:] *= np.linspace(1.0, 0.0, count)


def ping_pong_echo(send, delay_seconds, feedback):
    """Returns (left, right) repeats of the mono `send`: first left, then right, each `feedback` softer.

    The left repeats come at delay, 3 x delay, ... and the right ones at 2 x delay, 4 x delay, ...,
    so the echo bounces across the stereo field. Repeats are dulled a little each time."""
    delay = int(round(delay_seconds * SAMPLE_RATE))
    dulled = np.convolve(send, np.ones(6) / 6.0, mode="same")
    # A comb over two delays: bounce[n] = dulled[n] + feedback^2 * bounce[n - 2 delay], worked out
    # a block of 2 x delay samples at a time (each block only needs the finished one before it).
    period = 2 * delay
    bounce = dulled.copy()
    for start in range(period, len(bounce), period):
        stop = min(start + period, len(bounce))
        bounce[start:stop] += feedback * feedback * bounce[start - period:stop - period]
    left = np.zeros_like(send)
    right = np.zeros_like(send)
    left[delay:] = bounce[:-delay]
    right[period:] = feedback * bounce[:-period]
    return left, right


def mix_events(events, instruments, length_seconds, echo_feedback):
    """Returns a (2, samples) float array: every event rendered, panned and mixed, with the echo.

    An event is cut (with a short fade) where the next event of its voice begins, so each voice
    plays one sound at a time as on a sound chip. Events send to the echo of their own delay, so
    each section's echo keeps its tempo. The array runs until the last sound has died."""
    tail = 3.0
    total = int((length_seconds + tail) * SAMPLE_RATE)
    mix = np.zeros((2, total))
    sends = {}  # echo delay -> the mono signal sent to that echo
    last_sample = 0
    for event in events:
        first = int(round(event.start * SAMPLE_RATE))
        if event.instrument.startswith("drum:"):
            letter = event.instrument[5:]
            sound = render_drum(letter, event.velocity, first)
            pan, echo = DRUM_PAN[letter], 0.0
        else:
            settings = instrument_settings(instruments, event.instrument)
            sound = render_tone(settings, event.pitches, event.end - event.start, event.velocity)
            pan, echo = settings["pan"], settings["echo"]
        if event.cut is not None:
            keep = int(round(event.cut * SAMPLE_RATE)) - first
            if keep < len(sound):
                sound = sound[:max(keep, 0)].copy()
                fade_before(sound, int(0.004 * SAMPLE_RATE))
        sound = sound[:total - first]
        left, right = pan_gains(pan)
        mix[0, first:first + len(sound)] += left * sound
        mix[1, first:first + len(sound)] += right * sound
        if echo > 0.0:
            send = sends.setdefault(event.echo_delay, np.zeros(total))
            send[first:first + len(sound)] += echo * sound
        last_sample = max(last_sample, first + len(sound))
    for delay, send in sorted(sends.items()):
        echo_left, echo_right = ping_pong_echo(send, delay, echo_feedback)
        mix[0] += echo_left
        mix[1] += echo_right
    return mix[:, :min(total, last_sample + int(1.0 * SAMPLE_RATE))]
