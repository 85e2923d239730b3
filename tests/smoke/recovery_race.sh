#!/usr/bin/env bash
# Twenty editors started at once on one state folder, each with a song of its own that gets a note
# and one recovery interval to keep it; then half of them are killed with SIGKILL and the rest
# ended with SIGTERM. The next start offers every one of the twenty edited songs and nothing else:
# restored and kept again, they are twenty songs, each whole, once, under its own name.
# Usage: recovery_race.sh PATH/TO/tromel
set -euo pipefail

tromel=$1
name=recovery_race
source "$(dirname "$0")/smoke_lib.sh"

export TROMEL_RECOVERY_INTERVAL_MS=500
recovery="$XDG_STATE_HOME/tromel/recovery"
editors=20
began=$(date +%s)
kept_songs() { find "$recovery" -name 'song-*.org' 2>/dev/null | wc -l; }
visible_editors() { xdotool search --onlyvisible --name '^Tromel$' 2>/dev/null | wc -l; }

for i in $(seq "$editors"); do
  write_song $((100 + i)) 16 >"$work/s$i.org"  # each song told apart by its tempo
  "$tromel" "$work/s$i.org" >"$work/editor$i.log" 2>&1 &
  more_pids+=($!)
done
for _ in $(seq 300); do [ "$(visible_editors)" -ge "$editors" ] && break; sleep 0.2; done
[ "$(visible_editors)" -ge "$editors" ] || fail "only $(visible_editors) of $editors editors showed a window"
sleep 2  # each opens its song once its window shows

# A note for each song, past its two notes, in each editor's window brought to the top.
for pid in "${more_pids[@]}"; do
  window=$(xdotool search --onlyvisible --pid "$pid" --name '^Tromel$' | head -n1)
  [ -n "$window" ] || fail "no window of editor $pid"
  xdotool windowraise "$window"
  sleep 0.1
  xdotool mousemove --window "$window" 500 250 click 1
done
for _ in $(seq 50); do [ "$(kept_songs)" -ge "$editors" ] && break; sleep 0.2; done
[ "$(kept_songs)" -eq "$editors" ] || fail "$(kept_songs) of $editors edited songs were kept after an interval"
sleep 0.5

for i in "${!more_pids[@]}"; do
  if ((i % 2 == 0)); then kill -KILL "${more_pids[$i]}"; else kill -TERM "${more_pids[$i]}"; fi
done
for i in "${!more_pids[@]}"; do
  status=0
  wait "${more_pids[$i]}" 2>/dev/null || status=$?
  expected=$((i % 2 == 0 ? 137 : 143))
  [ "$status" -eq "$expected" ] || fail "editor $i ended with status $status, not $expected"
done
more_pids=()

# The next start restores what it offers, and keeps it in a folder of its own, removing the old
# copies; ended by SIGTERM, it leaves exactly what it restored.
start_editor
timeout 10 bash -c 'until [ "$(xdotool search --onlyvisible --name "^Tromel$" | wc -l)" -ge 2 ]; do sleep 0.1; done' ||
  fail "no restore question"
xdotool key --clearmodifiers Return
for _ in $(seq 100); do
  [ "$(find "$recovery" -mindepth 1 -maxdepth 1 -type d | wc -l)" -eq 1 ] && [ "$(kept_songs)" -eq "$editors" ] && break
  sleep 0.2
done
kill -TERM "$editor_pid"
wait "$editor_pid" 2>/dev/null || true
editor_pid=

folders=$(find "$recovery" -mindepth 1 -maxdepth 1 -type d)
[ "$(wc -l <<<"$folders")" -eq 1 ] || fail "old copies stayed beside the restored songs: $folders"
[ "$(kept_songs)" -eq "$editors" ] || fail "$(kept_songs) songs restored, not $editors"
tempos=$(for song in "$folders"/song-*.org; do
  [ "$(stat -c %s "$song")" -eq 138 ] || fail "$song is not its song with the one added note"
  od -An -tu2 -j6 -N2 "$song"
done | sort -n | tr -s ' \n' ' ')
[ "$tempos" = " $(seq -s ' ' 101 $((100 + editors))) " ] || fail "the restored songs are not the twenty edited ones: $tempos"
for i in $(seq "$editors"); do
  grep -qF "\"fileName\": \"$work/s$i.org\"" "$folders/index.json" || fail "s$i.org was restored without its name"
done
echo "recovery_race: $editors editors, half killed, half ended by SIGTERM: all $editors edits restored once, named, in $(($(date +%s) - began)) s"
