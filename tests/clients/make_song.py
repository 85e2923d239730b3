#!/usr/bin/env python3
"""Writes a short Org-02 song for the library's clients to play: two instruments and two drums, tempo 80 ms,
loop from step 8 to step 32 (2.56 s to the loop end). Usage: make_song.py OUT [TEMPO_MS]"""
import struct
import sys

LOOP_BEGIN, LOOP_END = 8, 32

# Each channel: (wave or drum, [(step, key, length, volume, pan)])
channels = [
    (0, [(0, 48, 4, 200, 6), (8, 52, 4, 180, 3), (16, 55, 8, 220, 9), (28, 60, 4, 200, 6)]),
    (37, [(4, 36, 12, 160, 6), (20, 43, 10, 160, 6)]),
] + [(0, [])] * 6 + [
    (0, [(0, 48, 1, 220, 6), (8, 48, 1, 220, 6), (16, 48, 1, 220, 6), (24, 48, 1, 220, 6)]),
    (6, [(4, 60, 1, 180, 4), (12, 62, 1, 180, 8), (20, 64, 1, 180, 6), (28, 66, 1, 180, 6)]),
] + [(0, [])] * 6


def song(tempo):
    out = bytearray(b"Org-02")
    out += struct.pack("<HBBii", tempo, 4, 4, LOOP_BEGIN, LOOP_END)
    for sound, notes in channels:
        out += struct.pack("<HBBH", 1000, sound, 0, len(notes))
    for _, notes in channels:
        out += b"".join(struct.pack("<i", note[0]) for note in notes)
        for field in range(1, 5):
            out += bytes(note[field] for note in notes)
    return bytes(out)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as file:
        file.write(song(int(sys.argv[2]) if len(sys.argv) > 2 else 80))
