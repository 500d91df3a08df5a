"""Mastering for the soundtrack: tone filters, a peak limiter, the end trim and 16-bit WAV output.

Part of the soundtrack tools: render.py makes media/bixo.mp3 with it.
Re-make the soundtrack with:  /usr/bin/python3 tools/music/render.py
"""

import wave

import numpy as np

from synth import SAMPLE_RATE


def decibels_to_gain(decibels):
    """Returns the amplitude factor of a level in dB."""
    return 10.0 ** (decibels / 20.0)


def fast_fft_length(minimum):
    """Returns the smallest length >= `minimum` whose only prime factors are 2, 3 and 5."""
    best = 1 << (minimum - 1).bit_length()
    power5 = 1
    while power5 < best:
        power3 = power5
        while power3 < best:
            length = power3
            while length < minimum:
                length *= 2
            best = min(best, length)
            power3 *= 3
        power5 *= 5
    return best


def band_filter(signal, low_cut, high_cut, order_low=2, order_high=4):
    """Returns `signal` (channels x samples) through a zero-phase band-pass.

    The gains are those of Butterworth high-pass and low-pass filters at `low_cut` and `high_cut` Hz,
    applied in the frequency domain over the whole piece: the high-pass removes DC and sub-bass
    rumble; the low-pass keeps the sharp chip edges away from the MP3 encoder's own cut-off, whose
    ringing would push the decoded peaks above those we set here."""
    count = signal.shape[-1]
    length = fast_fft_length(count + SAMPLE_RATE)  # a second of padding keeps the wrap-around silent
    frequencies = np.fft.rfftfreq(length, 1.0 / SAMPLE_RATE)
    ratio_low = np.divide(low_cut, frequencies, out=np.full_like(frequencies, np.inf), where=frequencies > 0)
    gains = 1.0 / np.sqrt(1.0 + ratio_low ** (2 * order_low))
    gains /= np.sqrt(1.0 + (frequencies / high_cut) ** (2 * order_high))
    spectrum = np.fft.rfft(signal, n=length, axis=-1)
    return np.fft.irfft(spectrum * gains, n=length, axis=-1)[..., :count]


def running_minimum(values, window):
    """Returns the minimum of each `window` values ending at every index (fewer at the start).

    Works in O(n) with block-wise prefix and suffix minima, so it suits millions of samples."""
    count = len(values)
    padded_length = -(-(count + window - 1) // window) * window
    padded = np.full(padded_length, np.inf)
    padded[window - 1:window - 1 + count] = values
    blocks = padded.reshape(-1, window)
    prefix = np.minimum.accumulate(blocks, axis=1).ravel()
    suffix = np.minimum.accumulate(blocks[:, ::-1], axis=1)[:, ::-1].ravel()
    # The window for output i covers padded[i .. i + window - 1]: the suffix minimum of its start's
    # block and the prefix minimum up to its end, which lies in the following block.
    return np.minimum(suffix[:count], prefix[window - 1:window - 1 + count])


def limit(signal, ceiling, window_seconds=0.004):
    """Returns `signal` with its sample peaks held at or below `ceiling` (a linear amplitude).

    The gain needed at each sample is the lowest of a short window ending there, then averaged
    over a window starting there: every sample sees a gain no higher than it needs, and the gain
    eases down ahead of a peak (look-ahead) instead of snapping, so nothing clicks."""
    window = max(int(window_seconds * SAMPLE_RATE), 1)
    peaks = np.max(np.abs(signal), axis=0)
    needed = np.minimum(1.0, ceiling / np.maximum(peaks, 1e-12))
    held = running_minimum(needed, window)
    # Past the end the last value stands in: it is no higher than what the final samples need.
    padded = np.concatenate((held, np.full(window - 1, held[-1])))
    sums = np.concatenate(([0.0], np.cumsum(padded)))
    smoothed = (sums[window:window + len(held)] - sums[:len(held)]) / window
    return signal * smoothed


def trim_tail(signal, threshold_db=-60.0, fade_seconds=0.4):
    """Returns `signal` cut where its last sound falls below `threshold_db`, with a short fade there.

    The piece then ends on its last note's decay instead of trailing silence."""
    level = np.max(np.abs(signal), axis=0)
    loud = np.nonzero(level > decibels_to_gain(threshold_db))[0]
    end = int(loud[-1]) + 1 if len(loud) else signal.shape[-1]
    result = signal[:, :end].copy()
    fade = min(int(fade_seconds * SAMPLE_RATE), end)
    result[:, end - fade:] *= np.linspace(1.0, 0.0, fade) ** 2
    return result


def fade_in(signal, seconds=0.005):
    """Returns `signal` with a few milliseconds of fade-in, so the first sample cannot click."""
    result = signal.copy()
    count = min(int(seconds * SAMPLE_RATE), result.shape[-1])
    result[:, :count] *= np.linspace(0.0, 1.0, count)
    return result


def master(mix, gain_db, ceiling_db):
    """Returns the finished float signal: filtered, raised by `gain_db`, limited at `ceiling_db` dBFS."""
    filtered = band_filter(mix, low_cut=28.0, high_cut=15500.0)
    limited = limit(filtered * decibels_to_gain(gain_db), decibels_to_gain(ceiling_db))
    return fade_in(trim_tail(limited))


def to_pcm16(signal):
    """Returns interleaved 16-bit samples (frames x 2) of a -1..1 float signal, rounded."""
    scaled = np.round(signal.T * 32767.0)
    return np.clip(scaled, -32768, 32767).astype("<i2")


def write_wav(path, signal):
    """Writes a (2, samples) float signal as a 44.1 kHz 16-bit stereo WAV file."""
    with wave.open(str(path), "wb") as output:
        output.setnchannels(2)
        output.setsampwidth(2)
        output.setframerate(SAMPLE_RATE)
        output.writeframes(to_pcm16(signal).tobytes())
