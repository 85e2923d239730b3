#!/usr/bin/env python3
"""tromel-cli play on a terminal (a pseudo-terminal), driven by its keys: Right seeks 5 s on, Left back,
Space pauses, q quits, and the status line follows. Usage: play_keys.py TROMEL_CLI SONG (a song of 16 s)"""
import os
import pty
import select
import sys
import time


def read_for(fd, seconds):
    text = b""
    end = time.monotonic() + seconds
    while (left := end - time.monotonic()) > 0:
        if select.select([fd], [], [], left)[0]:
            try:
                text += os.read(fd, 4096)
            except OSError:
                break
    return text.decode("utf-8", "replace")


def last_status(text):
    lines = [line for line in text.replace("\033[K", "").split("\r") if line.strip()]
    return lines[-1].strip() if lines else ""


def expect(fd, key, wanted, what):
    os.write(fd, key)
    status = last_status(read_for(fd, 0.5))
    if wanted not in status:
        sys.exit(f"play_keys: after {what} the status line reads '{status}', not '{wanted}'")


pid, fd = pty.fork()
if pid == 0:
    os.execv(sys.argv[1], [sys.argv[1], "play", sys.argv[2], "--loops", "0"])
read_for(fd, 0.3)
# Paused first, so the seeks land on whole seconds whatever the machine's speed.
expect(fd, b" ", "0:00 / 0:16  (paused)", "Space")
expect(fd, b"\033[C", "0:05 / 0:16  (paused)", "Right")
expect(fd, b"\033[C", "0:10 / 0:16  (paused)", "Right again")
expect(fd, b"\033[D\033[D", "0:00 / 0:16  (paused)", "Left twice at once")
expect(fd, b"\033[C", "0:05 / 0:16  (paused)", "Right from the start")
expect(fd, b" ", "0:05 / 0:16", "Space again")
if "paused" in last_status(read_for(fd, 0.3)):
    sys.exit("play_keys: Space did not resume")
os.write(fd, b"q")
read_for(fd, 1.0)
_, status = os.waitpid(pid, 0)
if not os.WIFEXITED(status) or os.WEXITSTATUS(status) != 0:
    sys.exit(f"play_keys: q ended the player with status {status}")
print("play_keys: Right, Left, Space and q did what they say")
