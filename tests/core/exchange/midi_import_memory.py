#!/usr/bin/python3
"""tromel-cli import-midi of the largest MIDI file it reads, 16 MB of note-ons, peaks at no more than
12 times the file's size above what the process takes to import a file of one note. The peak is the
child's largest resident size (getrusage's ru_maxrss). Usage: midi_import_memory.py TROMEL_CLI"""
import os
import struct
import subprocess
import sys
import tempfile

cli = sys.argv[1]
largest = 16 << 20
allowed_factor = 12


def midi_file(path, body):
    """A type 0 file of one track holding `body` and an end of track."""
    body += b"\x00\xff\x2f\x00"
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk" + struct.pack(">I", len(body)) + body)
    return os.path.getsize(path)


def peak_bytes(midi, song):
    """The largest resident size of an import, in bytes."""
    child = subprocess.Popen([cli, "import-midi", midi, song], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"midi_import_memory: importing {midi} failed ({status})")
    return usage.ru_maxrss * 1024


with tempfile.TemporaryDirectory() as work:
    tiny = os.path.join(work, "tiny.mid")
    midi_file(tiny, b"\x00\x90\x3c\x64\x60\x80\x3c\x40")
    baseline = peak_bytes(tiny, os.path.join(work, "tiny.org"))
    # Note-ons a tick apart by running status, three bytes each, over four octaves: as large as a file is read.
    cycle = b"".join(bytes([1, 36 + key, 100]) for key in range(48))
    body = b"\x00\x90\x3c\x64"
    body += (cycle * ((largest - 26 - len(body)) // len(cycle) + 1))[: (largest - 26 - len(body)) // 3 * 3]
    size = midi_file(os.path.join(work, "large.mid"), body)
    assert size <= largest, size
    peak = peak_bytes(os.path.join(work, "large.mid"), os.path.join(work, "large.org"))
    factor = (peak - baseline) / size
    print(f"midi_import_memory: {size} bytes imported at a peak of {peak >> 20} MB, {baseline >> 20} MB of it "
          f"the process's own: {factor:.1f} times the file")
    if peak > allowed_factor * size + baseline:
        sys.exit(f"midi_import_memory: more than {allowed_factor} times the file")
