#!/usr/bin/env python3
"""Writes the event sounds of a new profile beside itself: short sine tones with soft edges.

newres.wav  new responses arrived      (two rising notes)
nores.wav   nothing new                (one low note)
send.wav    a post went through        (a quick upward sweep)
error.wav   something failed           (two low notes)
"""

import math
import os
import struct
import wave

RATE = 22050
VOLUME = 0.35


def tone(freq_start, seconds, freq_end=None):
    """Samples of one note whose pitch glides from freq_start to freq_end, faded in and out."""
    freq_end = freq_end or freq_start
    count = int(RATE * seconds)
    fade = max(1, int(RATE * 0.01))
    samples, phase = [], 0.0
    for i in range(count):
        freq = freq_start + (freq_end - freq_start) * i / count
        phase += 2 * math.pi * freq / RATE
        edge = min(1.0, i / fade, (count - 1 - i) / fade)
        decay = math.exp(-3.0 * i / count)
        samples.append(VOLUME * edge * decay * math.sin(phase))
    return samples


def silence(seconds):
    return [0.0] * int(RATE * seconds)


SOUNDS = {
    "newres.wav": tone(880, 0.09) + silence(0.02) + tone(1320, 0.16),
    "nores.wav": tone(440, 0.14),
    "send.wav": tone(600, 0.18, 1400),
    "error.wav": tone(220, 0.12) + silence(0.05) + tone(196, 0.18),
}


def write(path, samples):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(s * 32767)) for s in samples))


def main():
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "def", "sound")
    for name, samples in SOUNDS.items():
        write(os.path.join(here, name), samples)
        print(name, len(samples) / RATE, "s")


if __name__ == "__main__":
    main()
