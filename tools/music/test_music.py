"""Tests of the soundtrack tools: score reading, timing, the synthesizer, mastering and the score.

Run with:  /usr/bin/python3 -m unittest discover -s tools/music -v
"""

import pathlib
import shutil
import sys
import tempfile
import unittest
import wave

import numpy as np

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))

import master  # noqa: E402
import render  # noqa: E402
import score  # noqa: E402
import synth  # noqa: E402
import tracker  # noqa: E402
from tracker import Row, ScoreError  # noqa: E402

RATE = synth.SAMPLE_RATE


def dominant_frequency(samples):
    """Returns the frequency of the strongest bin of a Hann-windowed spectrum."""
    spectrum = np.abs(np.fft.rfft(samples * np.hanning(len(samples))))
    return np.fft.rfftfreq(len(samples), 1.0 / RATE)[np.argmax(spectrum)]


class NoteNames(unittest.TestCase):
    def test_names_give_midi_numbers(self):
        self.assertEqual(tracker.parse_note("A-4"), 69)
        self.assertEqual(tracker.parse_note("C-4"), 60)
        self.assertEqual(tracker.parse_note("C#5"), 73)
        self.assertEqual(tracker.parse_note("Bb3"), 58)
        self.assertEqual(tracker.parse_note("B-1"), 35)

    def test_malformed_names_are_refused(self):
        for token in ("A4", "H-4", "C#", "A-x", "a-4", "C##5", "---"):
            with self.subTest(token=token), self.assertRaises(ScoreError):
                tracker.parse_note(token)


class Chords(unittest.TestCase):
    def test_tones_rise_from_the_floor_and_belong_to_the_chord(self):
        for name, classes in (("Am", {9, 0, 4}), ("F#m", {6, 9, 1}), ("E7", {4, 8, 11, 2}), ("Bb", {10, 2, 5})):
            with self.subTest(chord=name):
                tones = tracker.chord_tones(name, 52, 5)
                self.assertEqual(len(tones), 5)
                self.assertGreaterEqual(tones[0], 52)
                self.assertEqual(tones, sorted(set(tones)))
                self.assertEqual({tone % 12 for tone in tones}, classes)
                self.assertLess(tones[0], 52 + 12)

    def test_floor_voicing_keeps_neighbouring_chords_close(self):
        self.assertEqual(tracker.chord_tones("Am", 52, 3), [52, 57, 60])   # E3 A3 C4
        self.assertEqual(tracker.chord_tones("F", 52, 3), [53, 57, 60])    # F3 A3 C4

    def test_unknown_chords_are_refused(self):
        for token in ("Hm", "Amaj9", "", "C#x"):
            with self.subTest(token=token), self.assertRaises(ScoreError):
                tracker.parse_chord(token)


class PatternText(unittest.TestCase):
    def test_bars_must_hold_sixteen_steps(self):
        good = "A-4 --- --- --- | ... ... ... ... | C-5 --- ... ... | E-5 --- --- ---"
        self.assertEqual(len(tracker.split_bars(good + "\n\n" + good)), 32)
        with self.assertRaisesRegex(ScoreError, r"tune, line 2: 15 steps"):
            tracker.split_bars(good + "\n" + good.rsplit(" ", 1)[0], "tune")

    def test_spans_hold_and_rest(self):
        tokens = "A-4 --- ... C-5 --- --- E-5 ...".split()
        self.assertEqual(tracker.held_spans(tokens), [(0, 2, "A-4"), (3, 3, "C-5"), (6, 1, "E-5")])

    def test_a_hold_after_silence_is_a_mistake(self):
        with self.assertRaisesRegex(ScoreError, "step 1"):
            tracker.held_spans("... --- A-4".split())
        with self.assertRaises(ScoreError):
            tracker.held_spans("--- A-4".split())

    def test_drum_letters_and_soft_hits(self):
        hits = tracker.drum_hits("KC . h - S".split())
        self.assertEqual(hits, [(0, "K", 1.0), (0, "C", 1.0), (2, "H", 0.5), (4, "S", 1.0)])
        with self.assertRaises(ScoreError):
            tracker.drum_hits("K X".split())


class Timing(unittest.TestCase):
    def test_steady_tempo_gives_sixteenths(self):
        times = tracker.step_times(120, 120, 16, start=2.0)
        self.assertEqual(len(times), 17)
        self.assertAlmostEqual(times[0], 2.0)
        np.testing.assert_allclose(np.diff(times), 0.125)

    def test_speeding_up_shortens_every_step(self):
        times = tracker.step_times(80, 140, 32)
        steps = np.diff(times)
        self.assertTrue(np.all(np.diff(steps) < 0))
        self.assertAlmostEqual(steps[0], 60 / 80 / 4)
        self.assertAlmostEqual(steps[-1], 60 / 140 / 4)
        self.assertTrue(32 * 60 / 140 / 4 < times[-1] < 32 * 60 / 80 / 4)

    def test_swing_delays_odd_steps_only(self):
        straight = tracker.step_times(100, 100, 16)
        swung = tracker.step_times(100, 100, 16, swing=0.2)
        step = 60 / 100 / 4
        for index in range(17):
            expected = straight[index] + (0.2 * step if index % 2 else 0.0)
            if index == 16:
                expected = straight[index]   # the end of the pattern stays on the beat
            self.assertAlmostEqual(swung[index], expected, msg=f"step {index}")


def tiny_song(lead_text, chord_text, chord_kind="chip"):
    """Returns (events, length) of a one-row song at 120 BPM with a lead and a chord voice."""
    instruments = {"lead": {}, "chords": {"kind": chord_kind, "floor": 57, "tones": 5, "figure": (0, 1, 2, 1)}}
    patterns = {"tune": ("lead", lead_text), "harmony": ("chords", chord_text)}
    order = [Row((120, 120), dict(lead="tune", chords="harmony"))]
    return tracker.song_events(order, patterns, instruments)


ONE_BAR_TUNE = "A-4 --- --- --- | C-5 --- ... ... | E-5 --- --- --- | --- --- --- ---"
ONE_BAR_CHORDS = "Am  --- --- --- | --- --- --- --- | E7  --- --- --- | --- --- --- ---"


class Events(unittest.TestCase):
    def test_notes_are_cut_where_the_voice_plays_again(self):
        events, length = tiny_song(ONE_BAR_TUNE, ONE_BAR_CHORDS)
        self.assertAlmostEqual(length, 2.0)
        lead = [event for event in events if event.voice == "lead"]
        self.assertEqual([event.pitches for event in lead], [(69,), (72,), (76,)])
        self.assertEqual([(event.start, event.end) for event in lead], [(0.0, 0.5), (0.5, 0.75), (1.0, 2.0)])
        self.assertEqual([event.cut for event in lead], [0.5, 1.0, None])

    def test_chip_chords_hold_every_chord_note(self):
        events, _ = tiny_song(ONE_BAR_TUNE, ONE_BAR_CHORDS, "chip")
        chords = [event for event in events if event.voice == "chords"]
        self.assertEqual([event.pitches for event in chords], [(57, 60, 64), (59, 62, 64, 68)])

    def test_broken_chords_play_the_figure_one_note_a_step(self):
        events, _ = tiny_song(ONE_BAR_TUNE, ONE_BAR_CHORDS, "broken")
        chords = [event for event in events if event.voice == "chords"]
        self.assertEqual(len(chords), 16)
        am, e7 = [57, 60, 64, 69, 72], [59, 62, 64, 68, 71]
        expected = [am[index] for index in (0, 1, 2, 1) * 2] + [e7[index] for index in (0, 1, 2, 1) * 2]
        self.assertEqual([event.pitches[0] for event in chords], expected)

    def test_rows_need_patterns_of_one_length(self):
        with self.assertRaisesRegex(ScoreError, "different lengths"):
            tiny_song(ONE_BAR_TUNE + "\n" + ONE_BAR_TUNE, ONE_BAR_CHORDS)


def chord_of_each_step(tokens):
    """Returns the chord heard at each step: a chord struck within a beat rules the whole beat."""
    chords = []
    current = next(token for token in tokens if token not in (tracker.HOLD, tracker.REST))
    for step in range(len(tokens)):
        beat = tokens[step // 4 * 4:step // 4 * 4 + 4]
        struck = [token for token in beat if token not in (tracker.HOLD, tracker.REST)]
        current = struck[0] if struck else current
        chords.append(current)
    return chords


class TheScore(unittest.TestCase):
    A_MINOR = {9, 11, 0, 2, 4, 5, 7, 8}      # natural minor and its raised seventh, G#
    A_MAJOR = {9, 11, 1, 2, 4, 6, 8}

    @classmethod
    def setUpClass(cls):
        cls.events, cls.length = tracker.song_events(score.ORDER, score.PATTERNS, score.INSTRUMENTS)

    def test_every_pattern_is_used_and_every_row_is_well_formed(self):
        used = {name for row in score.ORDER for name in row.patterns.values() if name}
        self.assertEqual(used, set(score.PATTERNS))
        for name, (instrument, _) in score.PATTERNS.items():
            self.assertIn(instrument, score.INSTRUMENTS, name)
        for name in score.INSTRUMENTS:
            unknown = set(score.INSTRUMENTS[name]) - set(synth.DEFAULT_INSTRUMENT) - {"floor", "tones", "figure"}
            self.assertFalse(unknown, f"{name}: unknown settings")

    def test_length_fits_the_show(self):
        self.assertTrue(100.0 <= self.length + 1.0 <= 130.0, self.length)

    def test_lead_bass_chords_and_drums_all_play(self):
        voices = {event.voice for event in self.events}
        self.assertTrue({"lead", "bass", "chords", "kick", "snare", "hats"} <= voices, voices)

    def test_sad_opening_is_slow_and_minor_and_after_the_turn_fast_and_major(self):
        turn = next(index for index, row in enumerate(score.ORDER) if row.bpm[1] > row.bpm[0])
        sad, happy = score.ORDER[:turn], score.ORDER[turn + 1:]
        self.assertTrue(sad and happy)
        self.assertLess(max(row.bpm[0] for row in sad), 100)
        self.assertGreaterEqual(min(row.bpm[0] for row in happy), 120)
        for rows, scale in ((sad, self.A_MINOR), (happy, self.A_MAJOR)):
            for row in rows:
                for voice in ("lead", "bass"):
                    name = row.patterns.get(voice)
                    if not name:
                        continue
                    for _, _, token in tracker.held_spans(tracker.split_bars(score.PATTERNS[name][1]), name):
                        self.assertIn(tracker.parse_note(token) % 12, scale, f"{name}: {token}")

    def test_every_bar_of_the_tune_starts_on_a_note_of_its_chord(self):
        for row in score.ORDER:
            if not row.patterns.get("lead"):
                continue
            lead = tracker.split_bars(score.PATTERNS[row.patterns["lead"]][1])
            chords = chord_of_each_step(tracker.split_bars(score.PATTERNS[row.patterns["chords"]][1]))
            for first, _, token in tracker.held_spans(lead):
                if first % tracker.STEPS_PER_BAR:
                    continue
                root, intervals = tracker.parse_chord(chords[first])
                self.assertIn((tracker.parse_note(token) - root) % 12, intervals,
                              f"{row.name}, bar {first // 16 + 1}: {token} over {chords[first]}")


class Oscillators(unittest.TestCase):
    def phase(self, frequency, seconds=1.0):
        return np.arange(int(seconds * RATE)) * frequency / RATE

    def test_pulse_keeps_its_duty_pitch_and_centre(self):
        for duty in (0.125, 0.25, 0.5):
            with self.subTest(duty=duty):
                wave_ = synth.pulse_wave(self.phase(440.0), duty)
                self.assertAlmostEqual(float(np.mean(wave_)), 0.0, places=3)
                high = wave_ > 1.0 - 2.0 * duty   # halfway between the levels 2 - 2 duty and -2 duty
                self.assertAlmostEqual(float(np.mean(high)), duty, delta=0.012)
                self.assertAlmostEqual(dominant_frequency(wave_), 440.0, delta=1.5)

    def test_pulse_edges_are_softened_against_aliasing(self):
        # 3 kHz at 44.1 kHz: a hard-edged pulse folds strong harmonics back between the
        # true ones; the rounded edges keep them far lower.
        phase = self.phase(3000.0)
        rounded = np.abs(np.fft.rfft(synth.pulse_wave(phase, 0.5)))
        hard = np.abs(np.fft.rfft(np.where(phase % 1.0 < 0.5, 1.0, -1.0)))
        frequencies = np.fft.rfftfreq(len(phase), 1.0 / RATE)
        between = (frequencies > 100) & (np.abs(frequencies / 3000.0 - np.round(frequencies / 3000.0)) > 0.05)
        self.assertLess(rounded[between].max() * 4.0, hard[between].max())

    def test_triangle_spans_minus_one_to_one(self):
        wave_ = synth.triangle_wave(self.phase(110.0))
        self.assertAlmostEqual(wave_.max(), 1.0, places=2)
        self.assertAlmostEqual(wave_.min(), -1.0, places=2)
        self.assertAlmostEqual(dominant_frequency(wave_), 110.0, delta=1.5)

    def test_noise_register_is_fixed_balanced_and_full_length(self):
        sequence = synth.noise_sequence(2 * 32767)
        np.testing.assert_array_equal(sequence[:32767], sequence[32767:])
        self.assertNotEqual(list(sequence[:100]), list(sequence[100:200]))
        self.assertEqual(int(np.sum(sequence[:32767] > 0)), 16384)   # 2^14 ones in a maximal register
        np.testing.assert_array_equal(synth.noise_wave(1000, 500, RATE), synth.NOISE[1000:1500])

    def test_slower_noise_clock_holds_each_value(self):
        noise = synth.noise_wave(0, 400, RATE / 4)
        np.testing.assert_array_equal(noise, np.repeat(synth.NOISE[:100], 4))


class Envelopes(unittest.TestCase):
    def test_attack_decay_sustain_release(self):
        count, gate = RATE, RATE // 2
        envelope = synth.adsr(count, gate, attack=0.01, decay=0.05, sustain=0.6, release=0.4)
        self.assertEqual(envelope[0], 0.0)
        self.assertAlmostEqual(envelope[int(0.01 * RATE)], 1.0, places=2)
        self.assertAlmostEqual(envelope[gate - 1], 0.6, places=3)
        self.assertAlmostEqual(envelope[gate + int(0.4 * RATE) - 1] / envelope[gate], 0.001, delta=0.0002)
        self.assertTrue(np.all((envelope >= 0.0) & (envelope <= 1.0)))
        self.assertTrue(np.all(np.diff(envelope[gate:]) <= 0.0))

    def test_vibrato_waits_for_its_delay(self):
        settings = {**synth.DEFAULT_INSTRUMENT, "vibrato_depth": 0.5, "vibrato_delay": 0.2}
        pitch = synth.pitch_curve(settings, (69,), RATE)
        np.testing.assert_array_equal(pitch[:int(0.2 * RATE)], 69.0)
        self.assertAlmostEqual(pitch[int(0.5 * RATE):].max(), 69.5, places=2)

    def test_chip_chord_cycles_its_notes(self):
        settings = {**synth.DEFAULT_INSTRUMENT, "arp_rate": 50.0}
        pitch = synth.pitch_curve(settings, (57, 60, 64), RATE)
        self.assertEqual([pitch[int(RATE * index / 50.0) + 10] for index in range(4)], [57, 60, 64, 57])


class Mixing(unittest.TestCase):
    def test_pan_is_constant_power(self):
        for pan in (-1.0, -0.3, 0.0, 0.5, 1.0):
            left, right = synth.pan_gains(pan)
            self.assertAlmostEqual(left * left + right * right, 1.0)
        self.assertAlmostEqual(synth.pan_gains(-1.0)[1], 0.0)

    def test_echo_bounces_left_then_right_and_fades(self):
        send = np.zeros(RATE)
        send[100] = 1.0
        left, right = synth.ping_pong_echo(send, 0.1, 0.5)
        delay = int(0.1 * RATE)
        self.assertEqual(np.abs(left[:100 + delay - 5]).max(), 0.0)
        self.assertAlmostEqual(left[100 + delay - 5:100 + delay + 5].sum(), 1.0)
        self.assertAlmostEqual(right[100 + 2 * delay - 5:100 + 2 * delay + 5].sum(), 0.5)
        self.assertAlmostEqual(left[100 + 3 * delay - 5:100 + 3 * delay + 5].sum(), 0.25)
        self.assertAlmostEqual(right[100 + 4 * delay - 5:100 + 4 * delay + 5].sum(), 0.125)

    def test_a_voice_plays_one_sound_at_a_time(self):
        instruments = {"lead": {"release": 0.5, "pan": -1.0}}
        first = tracker.Event("lead", "lead", 0.0, 0.5, (69,), cut=0.25)
        second = tracker.Event("lead", "lead", 0.25, 0.5, (76,))
        both = synth.mix_events([first, second], instruments, 1.0, 0.3)
        alone = synth.mix_events([second], instruments, 1.0, 0.3)
        start = int(0.25 * RATE)
        np.testing.assert_allclose(both[0, start:start + RATE // 2], alone[0, start:start + RATE // 2], atol=1e-12)
        self.assertGreater(np.abs(both[0, :start]).max(), 0.05)
        self.assertEqual(np.abs(both[1]).max(), 0.0)   # panned hard left


class Mastering(unittest.TestCase):
    def test_band_filter_removes_dc_and_keeps_the_music(self):
        t = np.arange(2 * RATE) / RATE
        tone = 0.5 * np.sin(2 * np.pi * 1000.0 * t)
        filtered = master.band_filter(np.stack([tone + 0.2, tone - 0.1]), 28.0, 15500.0)
        middle = filtered[:, RATE // 2:-RATE // 2]
        np.testing.assert_allclose(middle.mean(axis=1), 0.0, atol=1e-3)
        np.testing.assert_allclose(np.abs(middle).max(axis=1), 0.5, atol=0.01)

    def test_running_minimum_matches_the_slow_way(self):
        values = np.random.default_rng(7).random(1000)
        for window in (1, 3, 16, 999):
            expected = [values[max(0, index - window + 1):index + 1].min() for index in range(len(values))]
            np.testing.assert_array_equal(master.running_minimum(values, window), expected)

    def test_limiter_holds_the_ceiling_and_spares_quiet_passages(self):
        signal = np.full((2, RATE), 0.1)
        signal[0, 20000:20010] = 1.5
        signal[1, 30000] = -1.2
        signal[0, -3] = 1.1           # the look-ahead must not run out at the very end
        limited = master.limit(signal, 0.8)
        self.assertLessEqual(np.abs(limited).max(), 0.8 + 1e-9)
        np.testing.assert_array_equal(limited[:, :19000], signal[:, :19000])
        np.testing.assert_array_equal(limited[:, 31000:-1000], signal[:, 31000:-1000])

    def test_tail_is_trimmed_to_the_last_sound(self):
        signal = np.zeros((2, 3 * RATE))
        signal[:, :RATE] = 0.5
        trimmed = master.trim_tail(signal)
        self.assertEqual(trimmed.shape, (2, RATE))
        self.assertEqual(np.abs(trimmed[:, -1]).max(), 0.0)

    def test_wav_is_sixteen_bit_stereo_at_44100(self):
        signal = np.stack([np.linspace(-1.2, 1.2, 1000), np.zeros(1000)])
        with tempfile.TemporaryDirectory(prefix="music-") as scratch:
            path = pathlib.Path(scratch) / "test.wav"
            master.write_wav(path, signal)
            with wave.open(str(path)) as file:
                self.assertEqual((file.getnchannels(), file.getsampwidth(), file.getframerate(), file.getnframes()),
                                 (2, 2, 44100, 1000))
                frames = np.frombuffer(file.readframes(1000), dtype="<i2").reshape(-1, 2)
        self.assertEqual((frames[0, 0], frames[-1, 0], frames[500, 1]), (-32768, 32767, 0))


class Rendering(unittest.TestCase):
    def test_the_same_score_gives_the_same_samples(self):
        order = score.ORDER[2:4]   # the turn and the groove: every drum, noise included
        runs = []
        for _ in range(2):
            events, length = tracker.song_events(order, score.PATTERNS, score.INSTRUMENTS)
            mix = synth.mix_events(events, score.INSTRUMENTS, length, score.ECHO_FEEDBACK)
            runs.append(master.to_pcm16(master.master(mix, 0.0, -1.0)).tobytes())
        self.assertEqual(runs[0], runs[1])
        self.assertGreater(len(runs[0]), 4 * RATE * 10)

    @unittest.skipIf(shutil.which("ffmpeg") is None, "ffmpeg is not installed")
    def test_measurement_reads_loudness_and_peak(self):
        # A 1 kHz sine at -20 dBFS in both channels reads -20 LUFS and -20 dBTP.
        t = np.arange(5 * RATE) / RATE
        tone = 0.1 * np.sin(2 * np.pi * 1000.0 * t)
        with tempfile.TemporaryDirectory(prefix="music-") as scratch:
            path = pathlib.Path(scratch) / "tone.wav"
            master.write_wav(path, np.stack([tone, tone]))
            loudness, peak = render.measure(path)
        self.assertAlmostEqual(loudness, -20.0, delta=0.3)
        self.assertAlmostEqual(peak, -20.0, delta=0.3)


if __name__ == "__main__":
    unittest.main()
