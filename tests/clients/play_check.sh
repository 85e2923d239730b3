#!/usr/bin/env bash
# tromel-cli play on SDL's disk driver: what reaches the device is the command line's own render sample for
# sample, then silence; without --loops it plays until SIGINT and shows "∞"; with no device or no song it says
# so and exits 1. Usage: play_check.sh TROMEL_CLI
set -euo pipefail
cli=$1
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d /tmp/tromel-play.XXXXXX)
trap 'rm -rf "$dir"' EXIT
fail() { echo "play_check: $*"; exit 1; }

python3 "$here/make_song.py" "$dir/song.org"
"$cli" render "$dir/song.org" "$dir/render.wav" --format float --loops 1 >/dev/null

# A millisecond per buffer: many times faster than real time, and little silence written after the end.
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$dir/device.raw" SDL_DISKAUDIODELAY=1 \
  timeout 60 "$cli" play "$dir/song.org" --loops 1 </dev/null >"$dir/finite.txt" 2>&1 ||
  fail "a play with --loops did not end by itself: $(cat "$dir/finite.txt")"
grep -q '^song.org  0:04 / 0:04$' "$dir/finite.txt" || fail "the status line reads: $(cat "$dir/finite.txt")"
python3 "$here/same_audio.py" "$dir/render.wav" "$dir/device.raw" --then-silence || fail "the device got other sound"

# Without --loops: on until SIGINT, at the device's own pace.
# (timeout passes SIGINT on, and ends a player that does not heed it.)
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$dir/forever.raw" timeout -k 5 20 "$cli" play "$dir/song.org" </dev/null \
  >"$dir/forever.txt" 2>&1 &
player=$!
sleep 1
kill -INT "$player"
wait "$player" || fail "SIGINT did not end the play cleanly"
grep -q '^song.org  0:0[0-9] / ∞$' "$dir/forever.txt" || fail "the endless status line reads: $(cat "$dir/forever.txt")"
[ "$(stat -c %s "$dir/forever.raw")" -gt 100000 ] || fail "nothing reached the device before SIGINT"

# On a terminal, at the device's pace: the keys.
python3 "$here/make_song.py" "$dir/slow.org" 500
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$dir/keys.raw" python3 "$here/play_keys.py" "$cli" "$dir/slow.org" ||
  fail "the keys did not work"

status=0
SDL_AUDIODRIVER=nonesuch "$cli" play "$dir/song.org" </dev/null >"$dir/nodevice.txt" 2>&1 || status=$?
[ "$status" -eq 1 ] && grep -q 'no audio device' "$dir/nodevice.txt" ||
  fail "without a device: exit $status, $(cat "$dir/nodevice.txt")"
printf 'Org-02' >"$dir/cut.org"
status=0
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$dir/cut.raw" "$cli" play "$dir/cut.org" </dev/null >"$dir/cut.txt" 2>&1 || status=$?
[ "$status" -eq 1 ] && grep -q 'cut.org' "$dir/cut.txt" || fail "a cut song: exit $status, $(cat "$dir/cut.txt")"
echo "play_check: the device got the render, SIGINT ended the endless play, refusals said why"
