#!/usr/bin/env bash
# Recovery of unsaved work in the real editor, under Xvfb with SDL's dummy audio driver: an edited
# song survives a SIGTERM (the editor ends within a second) and a kill -9 after its periodic
# write, and the next start restores it as an unsaved document that saves the same bytes.
# Usage: recovery_smoke.sh PATH/TO/tromel
set -euo pipefail

tromel=$1
name=recovery_smoke
source "$(dirname "$0")/smoke_lib.sh"

export TROMEL_RECOVERY_INTERVAL_MS=300
recovery="$XDG_STATE_HOME/tromel/recovery"

start() { start_editor; sleep 1; }
# Sends the editor a signal and waits for it to end; its exit status lands in `status`.
end_editor() {
  kill "-$1" "$editor_pid"
  status=0
  wait "$editor_pid" 2>/dev/null || status=$?
  editor_pid=
}
# A click into the roll of a document window at the main window's top left.
click_roll() { xdotool mousemove --window "$main" "$1" "$2" click 1; sleep 0.3; }
saved_songs() { find "$recovery" -name 'song-*.org' 2>/dev/null | wc -l; }
# Answers the restore question, which has the focus (Restore is its default button).
answer_restore() {
  timeout 10 bash -c 'until [ "$(xdotool search --onlyvisible --name "^Tromel$" | wc -l)" -ge 2 ]; do sleep 0.1; done' ||
    fail "no restore question"
  xdotool key --clearmodifiers Return
}
# Restores, then saves through Save As.
restore_and_save_as() {
  answer_restore
  sleep 1
  focus_main
  xdotool key --clearmodifiers ctrl+s
  enter_path 'Save As\.\.\.' "$1"
  for _ in $(seq 50); do [ -s "$1" ] && break; sleep 0.1; done
  [ -s "$1" ] || fail "the restored song was not saved"
}

# An edited, never-saved song, then SIGTERM: the editor ends at once and keeps the song.
start
focus_main
xdotool key --clearmodifiers ctrl+n
sleep 1
click_roll 300 250
click_roll 400 300
sleep 0.5
started=$(date +%s%N)
end_editor TERM
took=$((($(date +%s%N) - started) / 1000000))
[ "$took" -lt 1000 ] || fail "the editor took $took ms to end after SIGTERM"
[ "$status" -eq 143 ] || fail "the editor ended with status $status after SIGTERM"
[ "$(saved_songs)" -eq 1 ] || fail "no recovery file after SIGTERM"
kept=$(find "$recovery" -name 'song-*.org')
cp "$kept" "$work/kept.org"

# The next start restores it; saved, it gives the same bytes.
start
restore_and_save_as "$work/first.org"
cmp -s "$work/first.org" "$work/kept.org" || fail "the restored song saved different bytes"
[ "$(stat -c %s "$work/first.org")" -eq 130 ] || fail "the restored song does not hold the two notes"

# One more note, kept by the periodic write, then a kill that gives no chance to write anything.
focus_main
click_roll 500 200
sleep 1
[ "$(saved_songs)" -eq 1 ] || fail "the periodic write kept no song"
end_editor KILL

start
answer_restore
sleep 1
focus_main
xdotool key --clearmodifiers ctrl+s  # bound to first.org since the save: no dialog
sleep 1
[ "$(stat -c %s "$work/first.org")" -eq 138 ] || fail "the song restored after kill -9 lacks the third note"
[ "$(saved_songs)" -eq 0 ] || fail "saving left a recovery file behind"
end_editor TERM
echo "recovery_smoke: SIGTERM ended the editor in $took ms; songs restored after SIGTERM and kill -9 save exactly"
