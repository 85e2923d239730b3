#!/usr/bin/env bash
# Smoke test of the real editor: under Xvfb with SDL's dummy audio driver, open a song through the
# menus and the file dialog, play it (the red play cursor must appear), save it, copy a passage into
# a new song and save that, and quit through the menu with a clean exit.
# Usage: editor_smoke.sh PATH/TO/tromel SOURCE_DIR
set -euo pipefail

tromel=$1
name=editor_smoke
source "$(dirname "$0")/smoke_lib.sh"

song="$work/smoke song.org"
write_song 100 16 >"$song"
touch -d '2001-01-01' "$song"

start_editor

# File > Open from the main menu; the file dialog takes the song's path.
focus_main
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key Down Return
enter_path 'Open\.\.\.' "$song"
sleep 1.5
xdotool search --onlyvisible --name '^File Open Error$' >/dev/null && fail "the song was not opened"

# The roll's first black key bar tells where the roll, and so the Play button, are.
shot
read -r roll_left roll_top < <(pixels_of '#141418' 2000 2000 0 0 | sort -n | awk '
  NR == 1 { minx = $1 } { if (miny == "" || $2 < miny) miny = $2 } END { print minx, miny - 11 }')
[ -n "$roll_left" ] || fail "no piano roll on screen"
reds() { shot; pixels_of "$red" 2000 2000 0 0 | wc -l; }
red_before=$(reds)

# Play: the button sits at client (416, height - 71), the roll at (0, 16) of a 593 x 552 client.
xdotool mousemove --window "$main" $((roll_left + 440)) $((roll_top + 477)) click 1
sleep 1.5
red_playing=$(reds)
[ "$red_playing" -gt $((red_before + 50)) ] || fail "no play cursor after Play ($red_before -> $red_playing red pixels)"

# Save writes the song back to its own file.
focus_main
xdotool key --clearmodifiers ctrl+s
sleep 1
[ "$(stat -c %Y "$song")" -gt "$(date -d '2002-01-01' +%s)" ] || fail "Save did not write the song back"

# A passage: Home brings the notes into view, Shift and a drag over the roll select them, and
# Ctrl+C, Ctrl+N, Ctrl+V and Ctrl+S put them into a new song saved as a file of its own.
focus_main
xdotool key --clearmodifiers Home
sleep 0.5
xdotool mousemove --window "$main" $((roll_left + 70)) $((roll_top + 2))
xdotool keydown shift mousedown 1
xdotool mousemove --window "$main" $((roll_left + 300)) $((roll_top + 150))
xdotool mousemove --window "$main" $((roll_left + 560)) $((roll_top + 300))
xdotool mouseup 1 keyup shift
sleep 0.3
xdotool key --clearmodifiers ctrl+c ctrl+n
sleep 1
xdotool key --clearmodifiers ctrl+v ctrl+s
enter_path 'Save As\.\.\.' "$work/passage.org"
for _ in $(seq 50); do [ -s "$work/passage.org" ] && break; sleep 0.1; done
# Both notes, eight steps apart as they were, pasted at the new window's first column in view.
passage=$(od -An -tx1 -j 114 -N 8 "$work/passage.org" | tr -d ' \n')
[ "$(stat -c %s "$work/passage.org" 2>/dev/null)" = 130 ] && [ "$passage" = 020000000a000000 ] ||
  fail "the pasted passage was not saved as copied ($passage)"

# File > Exit in the document's menu ends the program.
focus_main
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key Up Return
expect_exit 0
echo "editor_smoke: opened, played ($red_playing red cursor pixels), saved, copied a passage into a new song and quit cleanly"
