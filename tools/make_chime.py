#!/usr/bin/env python3
"""Synthesises Pinaleaf's reminder sound: a soft three-note chime, 1.4 s,
22050 Hz, 16-bit mono. Run it to write assets/Reminder.wav."""
import math
import struct
import sys
import wave

RATE = 22050
LENGTH = 1.4
# (start in seconds, frequency in Hz): E5, G#5, B5, a major arpeggio.
NOTES = [(0.00, 659.25), (0.18, 830.61), (0.36, 987.77)]


def sample(t):
    value = 0.0
    for start, freq in NOTES:
        if t < start:
            continue
        age = t - start
        envelope = min(age / 0.005, 1.0) * math.exp(-age * 3.2)  # quick attack, bell-like decay
        # A little of the octave above gives the bell its shimmer.
        value += envelope * (math.sin(2 * math.pi * freq * age) + 0.3 * math.sin(4 * math.pi * freq * age))
    fade = min((LENGTH - t) / 0.05, 1.0)  # no click at the end
    return value * 0.28 * fade


def main(out):
    frames = bytearray()
    for i in range(int(RATE * LENGTH)):
        v = max(-1.0, min(1.0, sample(i / RATE)))
        frames += struct.pack("<h", int(v * 32767))
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "assets/Reminder.wav")
