#!/usr/bin/python3
"""tromel-cli export-midi read by an independent reader, Debian's python3-mido: tracks, channels,
division, tempo, every note's start tick, key, length and velocity, the loop markers and controller
111; slow songs last as long as the song and come back through import-midi. Usage:
midi_export_check.py TROMEL_CLI"""
import os
import struct
import subprocess
import sys
import tempfile

import mido

cli = sys.argv[1]
failures = []


def check(what, got, expected):
    if got != expected:
        failures.append(f"{what}: got {got!r}, expected {expected!r}")


def org(tempo, steps_per_bar, steps_per_beat, loop, instruments, drums):
    """An Organya file: channels map a channel number to (wave, [(step, key, length, volume, pan)])."""
    out = b"Org-02" + struct.pack("<HBBII", tempo, steps_per_bar, steps_per_beat, *loop)
    for channels, frequency in ((instruments, 1000), (drums, 232)):
        for ch in range(8):
            wave, notes = channels.get(ch, (0, []))
            out += struct.pack("<HBBH", frequency, wave, 0, len(notes))
    for channels in (instruments, drums):
        for ch in range(8):
            notes = channels.get(ch, (0, []))[1]
            out += b"".join(struct.pack("<I", n[0]) for n in notes)
            for field in range(1, 5):
                out += bytes(n[field] for n in notes)
    return out


def velocity(volume):
    """The documented curve: the velocity whose volume round(254 (v / 127)^2) is nearest."""
    return min(range(1, 128), key=lambda v: (abs(round(254 * (v / 127) ** 2) - volume), v))


def notes_of(track):
    """(start tick, key, length in ticks, velocity, channel) of each note of a track, in order."""
    now, sounding, found = 0, {}, []
    for message in track:
        now += message.time
        if message.type == "note_on" and message.velocity > 0:
            sounding[message.note] = (now, message.velocity, message.channel)
        elif message.type in ("note_off", "note_on"):
            start, vel, channel = sounding.pop(message.note)
            found.append((start, message.note, now - start, vel, channel))
    return sorted(found)


def timed(track, kind):
    now, found = 0, []
    for message in track:
        now += message.time
        if message.type == kind:
            found.append((now, message))
    return found


work = tempfile.mkdtemp()
song, midi = os.path.join(work, "song.org"), os.path.join(work, "song.mid")
# Instrument 1: a note cut by the next, one with the "unchanged" volume 255 (taking 200, in force),
# pans; a volume change while a note sounds. Instrument 3: one note. Drums 1 and 4: a kick and a clap,
# at key 36 on their own key; a kick at key 0 on the nearest key that plays a kick.
instruments = {
    0: (30, [(0, 45, 8, 200, 6), (4, 47, 2, 255, 0), (6, 90, 3, 60, 0), (7, 255, 0, 100, 255), (10, 0, 3, 254, 12)]),
    2: (55, [(2, 60, 3, 80, 3)]),
}
drums = {0: (0, [(0, 36, 1, 200, 6), (4, 0, 1, 150, 6)]), 3: (14, [(2, 36, 2, 100, 6)])}
with open(song, "wb") as f:
    f.write(org(120, 3, 4, (16, 64), instruments, drums))
subprocess.run([cli, "export-midi", song, midi], check=True)
m = mido.MidiFile(midi)
check("type", m.type, 1)
check("division", m.ticks_per_beat, 384)
check("track names", [t.name for t in m.tracks], ["", "Instrument 1", "Instrument 3", "Drum 1", "Drum 4"])
first = m.tracks[0]
check("tempo", [(t, x.tempo) for t, x in timed(first, "set_tempo")], [(0, 480000)])
check("time signature", [(t, x.numerator, x.denominator) for t, x in timed(first, "time_signature")], [(0, 3, 4)])
check("markers", [(t, x.text) for t, x in timed(first, "marker")], [(1536, "loopStart"), (6144, "loopEnd")])
check("grid marker", [(t, list(x.data)) for t, x in timed(first, "sequencer_specific")],
      [(0, [0x7D, *b"Tromel", 0, 4, 0, 3, 0, 0, 0, 120])])  # steps a beat, beats a bar, ms a step
check("controller 111", [(t, x.channel, x.control) for t, x in timed(first, "control_change")], [(1536, 0, 111)])
check("programs", [[(x.channel, x.program) for _, x in timed(t, "program_change")] for t in m.tracks[1:3]],
      [[(0, 81)], [(2, 14)]])
check("instrument 1 notes", notes_of(m.tracks[1]),
      [(0, 57, 384, velocity(200), 0), (384, 59, 192, velocity(200), 0), (576, 102, 288, velocity(60), 0),
       (960, 12, 288, velocity(254), 0)])
check("instrument 1 controllers", [(t, x.control, x.value) for t, x in timed(m.tracks[1], "control_change")],
      [(0, 10, 64), (384, 10, 0), (672, 7, velocity(100)), (960, 10, 127)])
check("instrument 3 notes", notes_of(m.tracks[2]), [(192, 72, 288, velocity(80), 2)])
check("drum notes", [notes_of(t) for t in m.tracks[3:]],
      [[(0, 36, 96, velocity(200), 9), (384, 36, 96, velocity(150), 9)], [(192, 39, 192, velocity(100), 9)]])

# Slow songs: a beat of k quarter notes (k the smallest power of two whose quarter tempo fits in 24
# bits), the bar of x beats as (x * k)/4. The file lasts as long as the song, and our import brings
# back the song's tempo, grid, bar, loop and notes. 64 quarters to an odd number of steps take 192
# ticks a step, so a quarter holds a whole number of ticks.
def org_back(path):
    """Tempo, steps per bar, steps per beat, loop and instrument 1's (position, key, length) of a song file."""
    data = open(path, "rb").read()
    tempo, bar, beat, begin, end = struct.unpack_from("<HBBII", data, 6)
    count = struct.unpack_from("<H", data, 18 + 4)[0]
    positions = struct.unpack_from(f"<{count}I", data, 18 + 16 * 6)
    keys = data[18 + 16 * 6 + 4 * count:][:count]
    lengths = data[18 + 16 * 6 + 5 * count:][:count]
    return tempo, bar, beat, (begin, end), list(zip(positions, keys, lengths))


for tempo, per_beat, k, division in ((65535, 4, 16, 24), (100, 255, 2, 12240), (65535, 15, 64, 45),
                                     (65535, 16, 64, 24), (16777, 1, 1, 96), (16778, 1, 2, 48)):
    name = f"tempo {tempo}, {per_beat} steps a beat"
    notes = [(0, 40, 3, 100, 6), (5, 52, 1, 100, 6), (9, 60, 7, 100, 6)]
    with open(song, "wb") as f:
        f.write(org(tempo, 3, per_beat, (2, 12), {0: (0, notes)}, {}))
    subprocess.run([cli, "export-midi", song, midi], check=True)
    m = mido.MidiFile(midi)
    check(name + ": division", m.ticks_per_beat, division)
    check(name + ": tempo", [x.tempo for _, x in timed(m.tracks[0], "set_tempo")],
          [round(tempo * per_beat * 1000 / k)])
    check(name + ": time signature", [(x.numerator, x.denominator) for _, x in timed(m.tracks[0], "time_signature")],
          [(3 * k, 4)])
    check(name + ": seconds", round(m.length, 3), round(16 * tempo / 1000, 3))  # the notes end at step 16
    back = os.path.join(work, "back.org")
    subprocess.run([cli, "import-midi", midi, back], check=True, capture_output=True)
    check(name + ": back", org_back(back), (tempo, 3, per_beat, (2, 12), [(0, 40, 3), (5, 52, 1), (9, 60, 7)]))

# Past 64 quarter notes to a beat, and a tempo of 0, are refused with their reasons, nothing written.
for tempo, per_beat, reason in ((65535, 17, "too slow to write as MIDI: a beat of 17 steps of 65535 ms lasts 1114 s,"
                                 " and a MIDI file holds a beat of at most 1073 s."), (0, 4, "tempo is 0")):
    if os.path.exists(midi):
        os.remove(midi)
    with open(song, "wb") as f:
        f.write(org(tempo, 4, per_beat, (0, 4), {0: (0, [(0, 40, 1, 100, 6)])}, {}))
    refused = subprocess.run([cli, "export-midi", song, midi], capture_output=True, text=True)
    check(f"tempo {tempo}, {per_beat} steps a beat: refused", (refused.returncode, reason in refused.stderr,
          os.path.exists(midi)), (1, True, False))

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("midi_export_check: the export reads back as written")
