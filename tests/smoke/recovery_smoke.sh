#!/usr/bin/env bash
# Recovery of unsaved work in the real editor, under Xvfb with SDL's dummy audio driver: an edited
# song survives a SIGTERM (the editor ends within 300 ms, modified song or not) and a kill -9
# after its periodic write, and the next start restores it as an unsaved document that saves the
# same bytes. Folders, files and links of someone else's in the recovery folder, some named as
# the editor names its own, keep every file through all of it.
# Usage: recovery_smoke.sh PATH/TO/tromel
set -euo pipefail

tromel=$1
name=recovery_smoke
source "$(dirname "$0")/smoke_lib.sh"

export TROMEL_RECOVERY_INTERVAL_MS=300
recovery="$XDG_STATE_HOME/tromel/recovery"

start() { start_editor; sleep 1; }
# Sends the editor a signal and waits for it to end; its exit status lands in `status`, the
# milliseconds it took in `took`.
end_editor() {
  local started
  started=$(date +%s%N)
  kill "-$1" "$editor_pid"
  status=0
  wait "$editor_pid" 2>/dev/null || status=$?
  took=$((($(date +%s%N) - started) / 1000000))
  editor_pid=
}
# Ends the editor with SIGTERM within the 300 ms the program promises.
end_quickly() {
  end_editor TERM
  [ "$took" -le 300 ] || fail "the editor took $took ms to end after SIGTERM ($1)"
  [ "$status" -eq 143 ] || fail "the editor ended with status $status after SIGTERM ($1)"
}
# What is not the editor's: a folder of the user's, links to another folder under a plain name
# and under a name of the editor's pattern, and a folder of that pattern without a lock.
mkdir -p "$recovery/userstuff" "$recovery/4-5-6" "$work/outside"
for folder in "$recovery/userstuff" "$recovery/4-5-6" "$work/outside"; do
  write_song 150 16 >"$folder/song-1.org"
  echo notes >"$folder/notes.txt"
done
: >"$work/outside/lock"
ln -s "$work/outside" "$recovery/mylink"
ln -s "$work/outside" "$recovery/7-8-9"
foreign_files() { find -L "$recovery/userstuff" "$recovery/4-5-6" "$recovery/mylink" "$recovery/7-8-9" -type f | sort; }
foreign=$(foreign_files)
[ "$(wc -l <<<"$foreign")" -eq 10 ] || fail "the foreign files were not made: $foreign"
# A click into the roll of a document window at the main window's top left.
click_roll() { xdotool mousemove --window "$main" "$1" "$2" click 1; sleep 0.3; }
own_songs() { find "$recovery" -path "$recovery/[0-9]*-*-*/song-*.org" ! -path "$recovery/4-5-6/*" 2>/dev/null; }
saved_songs() { own_songs | wc -l; }
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

# An edited, never-saved song, then SIGTERM: the editor ends at once and keeps the song, with no
# interval to have kept it before.
TROMEL_RECOVERY_INTERVAL_MS=600000
start
TROMEL_RECOVERY_INTERVAL_MS=300
focus_main
xdotool key --clearmodifiers ctrl+n
sleep 1
click_roll 300 250
click_roll 400 300
sleep 0.5
end_quickly "a modified song"
modified_took=$took
[ "$(saved_songs)" -eq 1 ] || fail "no recovery file after SIGTERM"
kept=$(own_songs)
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
end_quickly "no modified song"
[ "$(foreign_files)" = "$foreign" ] || fail "files not the editor's were touched: $(foreign_files)"
[ -e "$recovery/4-5-6/lock" ] && fail "a lock was made in a folder not the editor's"
echo "recovery_smoke: SIGTERM ended the editor in $modified_took ms with a modified song, $took ms without;" \
  "songs restored after SIGTERM and kill -9 save exactly; nothing not the editor's was touched"
