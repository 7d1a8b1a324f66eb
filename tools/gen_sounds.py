"""Sounds of Zentaro: the rolling and wind loops, the ring chime, the landing
knock and the win and lose jingles. Called by gen_assets.py; writes 16-bit mono
WAV files under Kobuldo/Sounds/ and is deterministic.

    python3 tools/gen_sounds.py            # write them
    python3 tools/gen_sounds.py --stats    # peak, RMS and loop seam of each file

The loops are built from noise synthesised in the frequency domain, so their
last sample runs into their first exactly as any two neighbouring samples do,
and every modulation makes a whole number of cycles per loop. The one-shots
start with a short rise and end in a fade, so nothing clicks. At run time the
game sets the loops' gain and pitch from the ball's speed and plays the chime
at a rising pitch for each ring (the file is the highest note, the last ring's).
"""
import math
import os
import sys
import wave

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from gen_common import DATA  # noqa: E402

SOUNDS = os.path.join(DATA, "Sounds")
RATE = 22050

# The loops peak at -3 dBFS, leaving room for the run-time gains; the
# one-shots are levelled by loudness and may peak at -1.4 dBFS at most.
LOOP_PEAK = 0.70
SHOT_PEAK = 0.85
SHOT_LOUDNESS = 10.0 ** (-12.0 / 20.0)


def note(semitones_from_a4):
    return 440.0 * 2.0 ** (semitones_from_a4 / 12.0)


C5 = note(3)
C6 = note(15)


def times(seconds):
    return np.arange(int(round(seconds * RATE))) / RATE


def periodic_noise(n, shape, rng):
    """Noise of n samples whose spectrum follows shape(f) and which repeats
    seamlessly (it is one period of a sum of whole-cycle sines)."""
    f = np.fft.rfftfreq(n, 1.0 / RATE)
    amplitude = shape(f)
    amplitude[0] = 0.0  # no offset
    phase = rng.random_sample(len(f)) * 2.0 * math.pi
    x = np.fft.irfft(amplitude * np.exp(1j * phase), n)
    return x / np.sqrt(np.mean(x * x))


def band(f, low, high, slope=2.0):
    """Smooth band-pass magnitude: rises below low, falls above high."""
    f = np.maximum(f, 1e-3)
    return 1.0 / (1.0 + (low / f) ** (2 * slope)) / (1.0 + (f / high) ** (2 * slope))


def whole_cycles(t, period, cycles, phase=0.0):
    return np.sin(2.0 * math.pi * cycles * t / period + phase)


def fade(x, rise, fall):
    """Raised-cosine rise at the start and fall at the end (seconds)."""
    x = x.copy()
    r = max(1, int(rise * RATE))
    f = max(1, int(fall * RATE))
    x[:r] *= 0.5 - 0.5 * np.cos(np.linspace(0.0, math.pi, r))
    x[-f:] *= 0.5 + 0.5 * np.cos(np.linspace(0.0, math.pi, f))
    return x


def normalise(x, peak):
    return x * (peak / np.max(np.abs(x)))


def loudest(x, window=0.1):
    """RMS of the loudest stretch of the given length (seconds)."""
    n = int(window * RATE)
    power = np.convolve(x * x, np.ones(n) / n, mode="valid")
    return math.sqrt(np.max(power))


def level_shot(x):
    """One-shots sound equally loud: their loudest 0.1 s at -12 dBFS RMS, so
    a long sustained note is not louder than a quick bright one."""
    x = x * (SHOT_LOUDNESS / loudest(x))
    assert np.max(np.abs(x)) <= SHOT_PEAK, "a one-shot would clip"
    return x


def write_wav(name, x):
    os.makedirs(SOUNDS, exist_ok=True)
    path = os.path.join(SOUNDS, name + ".wav")
    pcm = np.round(np.clip(x, -1.0, 1.0) * 32767.0).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(pcm.tobytes())
    return path


# ---------------------------------------------------------------------------
# Loops
# ---------------------------------------------------------------------------

def roll():
    """A marble rolling on wood: a low rumble, a soft grain of the planks and a
    slow swell as the ball turns. 2 s; the game raises pitch with speed."""
    rng = np.random.RandomState(2101)
    period = 2.0
    t = times(period)
    n = len(t)
    rumble = periodic_noise(n, lambda f: band(f, 70.0, 260.0), rng)
    body = periodic_noise(n, lambda f: band(f, 300.0, 900.0), rng)
    # The grain: 34 soft ticks of high noise, spread unevenly over the loop and
    # wrapped round its end.
    grain = np.zeros(n)
    hiss = periodic_noise(n, lambda f: band(f, 1500.0, 3500.0), rng)
    width = 0.012 * RATE
    for start in np.sort(rng.random_sample(34)) * n:
        d = (np.arange(n) - start + n / 2) % n - n / 2  # distance, wrapped
        grain += np.exp(-0.5 * (d / width) ** 2) * (0.5 + 0.5 * rng.random_sample())
    turn = 1.0 + 0.18 * whole_cycles(t, period, 7) + 0.08 * whole_cycles(t, period, 13, 1.0)
    x = (rumble + 0.35 * body) * turn + 0.12 * hiss * grain
    return normalise(x, LOOP_PEAK)


def wind():
    """Air rushing past: a low whoosh and a thinner hiss, each gusting on its
    own slow cycle. 4 s."""
    rng = np.random.RandomState(2202)
    period = 4.0
    t = times(period)
    n = len(t)
    low = periodic_noise(n, lambda f: band(f, 150.0, 600.0, 1.5), rng)
    high = periodic_noise(n, lambda f: band(f, 700.0, 2600.0, 1.5), rng)
    gust_low = 1.0 + 0.35 * whole_cycles(t, period, 1) + 0.15 * whole_cycles(t, period, 3, 2.0)
    gust_high = 1.0 + 0.40 * whole_cycles(t, period, 2, 0.7) + 0.15 * whole_cycles(t, period, 5, 4.0)
    x = low * gust_low + 0.45 * high * gust_high
    return normalise(x, LOOP_PEAK)


# ---------------------------------------------------------------------------
# One-shots
# ---------------------------------------------------------------------------

def tone(t, freq, partials, vibrato=0.0):
    """Partials as (multiple, amplitude, decay per second) of freq."""
    phase = 2.0 * math.pi * freq * t
    if vibrato:
        phase += vibrato * np.sin(2.0 * math.pi * 5.0 * t) * (1.0 - np.exp(-t * 4.0))
    x = np.zeros_like(t)
    for multiple, amplitude, decay in partials:
        x += amplitude * np.sin(multiple * phase) * np.exp(-decay * t)
    return x


BELL = [(1.0, 1.0, 2.6), (2.0, 0.40, 4.0), (3.0, 0.15, 6.0), (4.16, 0.05, 9.0)]
MALLET = [(1.0, 1.0, 3.0), (2.0, 0.25, 6.0), (3.0, 0.08, 9.0)]


def chime():
    """The ring chime: a small bell on C6, 1.3 s."""
    t = times(1.3)
    x = fade(tone(t, C6, BELL), 0.003, 0.15)
    return level_shot(x)


def knock():
    """A hard landing: a short wooden thud with a slight drop in pitch."""
    rng = np.random.RandomState(2303)
    t = times(0.32)
    bend = 1.0 + 0.25 * np.exp(-t * 40.0)
    x = np.zeros_like(t)
    for freq, amplitude, decay in ((118.0, 1.0, 18.0), (263.0, 0.55, 28.0), (507.0, 0.25, 45.0)):
        phase = 2.0 * math.pi * np.cumsum(freq * bend) / RATE
        x += amplitude * np.sin(phase) * np.exp(-decay * t)
    click = periodic_noise(len(t), lambda f: band(f, 400.0, 2500.0), rng) * np.exp(-t * 160.0)
    x += 0.35 * click / np.max(np.abs(click))
    return level_shot(fade(x, 0.0015, 0.04))


def jingle(notes, length, partials, vibrato=0.0, rise=0.004):
    """Notes as (start s, semitones from A4, level, length s)."""
    t = times(length)
    x = np.zeros_like(t)
    for start, semis, level, dur in notes:
        i = int(start * RATE)
        local = t[: len(t) - i]
        voice = tone(local, note(semis), partials, vibrato)
        end = min(len(local), int(dur * RATE))
        voice[:end] = fade(voice[:end], rise, min(0.08, dur / 3))
        voice[end:] = 0.0
        x[i:] += level * voice
    return level_shot(fade(x, 0.002, 0.1))


def win():
    """C major rising: C5 E5 G5 C6, then the chord rings out. 2 s."""
    arpeggio = [(0.00, 3, 0.8, 0.5), (0.12, 7, 0.8, 0.5), (0.24, 10, 0.8, 0.5), (0.36, 15, 0.9, 0.5)]
    chord = [(0.55, s, 0.55, 1.4) for s in (3, 7, 10, 15)]
    return jingle(arpeggio + chord, 2.0, MALLET)


def lose():
    """Falling by half steps to a long low note that wavers. 1.9 s."""
    soft = [(1.0, 1.0, 1.2), (2.0, 0.30, 2.0), (3.0, 0.20, 2.5), (5.0, 0.06, 4.0)]
    notes = [(0.00, 6, 0.8, 0.3), (0.30, 5, 0.8, 0.3), (0.60, 4, 0.8, 0.3), (0.90, 3, 0.9, 0.95)]
    return jingle(notes, 1.9, soft, vibrato=0.6, rise=0.015)


SOUND_MAKERS = (("roll", roll), ("wind", wind), ("chime", chime), ("knock", knock), ("win", win),
                ("lose", lose))
LOOPS = ("roll", "wind")


def all_sounds():
    for name, make in SOUND_MAKERS:
        x = make()
        write_wav(name, x)
        print("%-6s %5.2f s" % (name, len(x) / RATE))


# ---------------------------------------------------------------------------
# Checking what was written
# ---------------------------------------------------------------------------

def read_wav(path):
    with wave.open(path, "rb") as w:
        assert w.getnchannels() == 1 and w.getsampwidth() == 2 and w.getframerate() == RATE
        return np.frombuffer(w.readframes(w.getnframes()), "<i2").astype(np.float64) / 32768.0


def stats():
    """Per file: length, peak and RMS (dBFS), the loudest 0.1 s, the worst
    10 ms for energy above 6 kHz (a click shows up there), and for loops the
    seam: the step from the last sample to the first, as a percentile of the
    steps between neighbouring samples inside the loop; for one-shots the
    first and last sample."""
    for name, _make in SOUND_MAKERS:
        x = read_wav(os.path.join(SOUNDS, name + ".wav"))
        line = "%-6s %5.2f s  peak %5.1f  rms %5.1f  loudest %5.1f  above 6 kHz %5.1f dB" % (
            name, len(x) / RATE, db(np.max(np.abs(x))), db(math.sqrt(np.mean(x * x))), db(loudest(x)),
            high_share(x))
        if name in LOOPS:
            steps = np.abs(np.diff(x))
            seam = abs(x[0] - x[-1])
            line += "  seam step %.4f = percentile %.0f" % (seam, 100.0 * np.mean(steps < seam))
        else:
            line += "  first %.4f last %.4f" % (x[0], x[-1])
        print(line)


def db(amplitude):
    return 20.0 * math.log10(max(amplitude, 1e-9))


def high_share(x, window=0.01, cutoff=6000.0):
    """The largest share of energy above cutoff in any audible window, in dB."""
    n = int(window * RATE)
    f = np.fft.rfftfreq(n, 1.0 / RATE)
    spectra = [np.abs(np.fft.rfft(x[s:s + n] * np.hanning(n))) ** 2 for s in range(0, len(x) - n, n // 2)]
    totals = [np.sum(s) for s in spectra]
    # Windows 40 dB below the loudest hold little but rounding noise.
    audible = 1e-4 * max(totals)
    worst = max(np.sum(s[f > cutoff]) / t for s, t in zip(spectra, totals) if t > audible)
    return 10.0 * math.log10(max(worst, 1e-12))


if __name__ == "__main__":
    if sys.argv[1:] == ["--stats"]:
        stats()
    else:
        all_sounds()
