#!/usr/bin/env python3
"""Compares raw 32-bit float stereo with the samples of a float WAV file, bit for bit.
Usage: same_audio.py WAV RAW [--then-silence]: RAW holds the WAV's samples exactly, or with --then-silence
begins with them and holds only zeros after (a device keeps asking after the song ends)."""
import struct
import sys


def wav_samples(path):
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        sys.exit(f"{path}: not a WAV file")
    at = 12
    while at + 8 <= len(data):
        name, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        if name == b"fmt " and struct.unpack("<H", data[at + 8:at + 10])[0] != 3:
            sys.exit(f"{path}: not float samples")
        if name == b"data":
            return data[at + 8:at + 8 + size]
        at += 8 + size + (size & 1)
    sys.exit(f"{path}: no data chunk")


def main():
    expected = wav_samples(sys.argv[1])
    got = open(sys.argv[2], "rb").read()
    then_silence = "--then-silence" in sys.argv[3:]
    head = got[:len(expected)]
    if head != expected:
        frames = min(len(head), len(expected)) // 8
        first = next((i for i in range(frames) if head[i * 8:i * 8 + 8] != expected[i * 8:i * 8 + 8]), frames)
        sys.exit(f"{sys.argv[2]}: differs from the render from frame {first} "
                 f"({len(got) // 8} frames against {len(expected) // 8})")
    rest = got[len(expected):]
    if not then_silence and rest:
        sys.exit(f"{sys.argv[2]}: {len(rest) // 8} frames more than the render")
    if then_silence and rest.count(0) != len(rest):
        sys.exit(f"{sys.argv[2]}: sound after the end of the song")
    print(f"same_audio: {len(expected) // 8} frames equal")


main()
