#!/usr/bin/env python3
# sound_similarity -- how closely a stretch of the captured game sound matches a WAV file.
#
# usage: sound_similarity.py CAPTURE.raw RATE START END SOUND.wav
#   CAPTURE.raw  the capture: 16-bit little-endian stereo at RATE
#   START, END   the stretch to judge, in seconds of the capture
# Prints three numbers: the correlation of the two loudness curves and that of the waveforms
# at the best alignment found, and the time in the WAV where the stretch lines up. Both sounds
# are brought to 8 kHz mono by sox first. A tune that repeats itself lines up in several
# places; the loudness curves pick the candidates, the waveforms decide between them.
import array
import math
import subprocess
import sys

RATE = 8000
FRAME = 80  # the loudness curves have a point every 10 ms ...
WINDOW = 320  # ... each over 40 ms, so that they hardly depend on where a frame starts
CANDIDATES = 6  # alignments of the loudness curves tried on the waveforms
PIECE = RATE  # one second of waveform to choose between candidates
MAX_WAVE = 4 * RATE  # the reported waveform correlation uses at most four seconds


def load(inputs, effects=()):
    out = subprocess.run(
        ["sox", *inputs, "-t", "raw", "-e", "signed", "-b", "16", "-c", "1", "-r", str(RATE),
         "-", *effects],
        check=True, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    samples = array.array("h")
    samples.frombytes(out[: len(out) // 2 * 2])
    if sys.byteorder != "little":
        samples.byteswap()
    return samples


def loudness(samples):
    return [math.sqrt(sum(x * x for x in samples[i:i + WINDOW]) / WINDOW)
            for i in range(0, len(samples) - WINDOW + 1, FRAME)]


# Pearson correlation of curve a with every window of b of the same length.
def sliding_pearson(a, b):
    n = len(a)
    mean_a = sum(a) / n
    a0 = [x - mean_a for x in a]
    saa = sum(x * x for x in a0)
    s1, s2 = [0.0], [0.0]
    for y in b:
        s1.append(s1[-1] + y)
        s2.append(s2[-1] + y * y)
    out = []
    for q in range(len(b) - n + 1):
        sbb = s2[q + n] - s2[q] - (s1[q + n] - s1[q]) ** 2 / n
        sab = sum(x * y for x, y in zip(a0, b[q:q + n]))
        out.append(sab / math.sqrt(saa * sbb) if saa > 0 and sbb > 1e-9 else 0.0)
    return out


def wave_correlation(a, b):
    saa = sum(x * x for x in a)
    sbb = sum(y * y for y in b)
    return sum(x * y for x, y in zip(a, b)) / math.sqrt(saa * sbb) if saa and sbb else 0.0


# Best waveform correlation of piece (starting at offset in the stretch) against the sound
# near sample position at, searched in steps of 4 and then sample by sample.
def best_lag(piece, offset, sound, at):
    def corr(pos):
        start = pos + offset
        if start < 0 or start + len(piece) > len(sound):
            return -1.0
        return wave_correlation(piece, sound[start:start + len(piece)])
    coarse = max((corr(at + lag), at + lag) for lag in range(-FRAME, FRAME + 1, 4))
    return max((corr(coarse[1] + d), coarse[1] + d) for d in range(-3, 4))


def main():
    capture, rate, start, end, wav = sys.argv[1:6]
    stretch = load(["-t", "raw", "-r", rate, "-e", "signed", "-b", "16", "-c", "2", capture],
                   ["trim", start, "=" + end])
    sound = load([wav])
    a, b = loudness(stretch), loudness(sound)
    if len(stretch) < PIECE or len(a) > len(b):
        print("0 0 0")
        return
    env = sliding_pearson(a, b)
    peaks = [q for q in range(len(env))
             if env[q] >= max(env[max(0, q - 5):q + 6])]
    peaks = sorted(peaks, key=lambda q: -env[q])[:CANDIDATES]
    middle = (len(stretch) - PIECE) // 2
    piece = stretch[middle:middle + PIECE]
    _, at, q = max(best_lag(piece, middle, sound, q * FRAME) + (q,) for q in peaks)
    whole = stretch[:MAX_WAVE]
    wave = wave_correlation(whole, sound[at:at + len(whole)]) if at + len(whole) <= len(sound) \
        else best_lag(piece, middle, sound, at)[0]
    print("%.3f %.3f %.2f" % (env[q], wave, at / RATE))


main()
