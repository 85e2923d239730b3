#!/usr/bin/env bash
# Smoke test of the real editor: under Xvfb with SDL's dummy audio driver, open a song through the
# menus and the file dialog, play it (the red play cursor must appear), save it, copy a passage into
# a new song and save that, import a MIDI file through the import dialog and save it, type a
# phrase on the keyboard piano into a new song by step entry and save it, and quit through the
# menu with a clean exit.
# Usage: editor_smoke.sh PATH/TO/tromel SOURCE_DIR
set -euo pipefail

tromel=$1
name=editor_smoke
source "$(dirname "$0")/smoke_lib.sh"

song="$work/smoke song.org"
write_song 100 16 >"$song"
touch -d '2001-01-01' "$song"

# The keyboard piano is on from the settings file, as a user who turned it on before would have it.
mkdir -p "$XDG_CONFIG_HOME/Tromel"
printf '[input]\nkeyboardPiano=true\n' >"$XDG_CONFIG_HOME/Tromel/Tromel.conf"

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

# File > Import MIDI... in the document's menu: a type 0 file of two notes a beat apart comes in
# through the import dialog as an unsaved song on the grid its notes fall on (a step a beat), which
# Save writes where it is told.
printf 'MThd\0\0\0\6\0\0\0\1\1\x80MTrk\0\0\0\x16' >"$work/tune.mid"
printf '\0\x90\x3c\x64\x83\0\x80\x3c\0\0\x90\x3e\x64\x83\0\x80\x3e\0\0\xff\x2f\0' >>"$work/tune.mid"
focus_main
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key Down Down Return
enter_path 'Import MIDI\.\.\.' "$work/tune.mid"
# Searched for again and again: a search can fail while the file dialog's windows go away.
shown() {
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}
shown '^Import MIDI: tune\.mid$' || fail "no import dialog"
sleep 0.5
xdotool key Return
shown '^Import MIDI$' || fail "no account of the import"
sleep 0.5
xdotool key Return
sleep 0.5
focus_main
xdotool key --clearmodifiers ctrl+s
enter_path 'Save As\.\.\.' "$work/tune.org"
for _ in $(seq 50); do [ -s "$work/tune.org" ] && break; sleep 0.1; done
imported=$(od -An -tx1 -j 114 -N 8 "$work/tune.org" | tr -d ' \n')
[ "$(stat -c %s "$work/tune.org" 2>/dev/null)" = 130 ] && [ "$imported" = 0000000001000000 ] ||
  fail "the imported song was not saved with its two notes ($imported)"

# Step entry by Ctrl+E in a new song, and a phrase typed on the keyboard piano (Z X C: C4 D4 E4,
# struck apart, not as a chord) goes in note after note at its cursor; Save writes it.
focus_main
xdotool key --clearmodifiers ctrl+n
sleep 1
xdotool key --clearmodifiers ctrl+e
for key in z x c; do
  sleep 0.15
  xdotool key "$key"
done
sleep 0.5
xdotool key --clearmodifiers ctrl+s
enter_path 'Save As\.\.\.' "$work/phrase.org"
for _ in $(seq 50); do [ -s "$work/phrase.org" ] && break; sleep 0.1; done
# Three notes on instrument channel 0: three positions a step apart, keys 48 50 52, each a step
# long, at the volume a click would give them.
read -r p1 p2 p3 < <(od -An -tu4 -j 114 -N 12 "$work/phrase.org")
phrase=$(od -An -tx1 -j 126 -N 9 "$work/phrase.org" | tr -d ' \n')
[ "$(stat -c %s "$work/phrase.org" 2>/dev/null)" = 138 ] && [ "$phrase" = 303234010101a6a6a6 ] &&
  [ "$p2" = $((p1 + 1)) ] && [ "$p3" = $((p1 + 2)) ] ||
  fail "the typed phrase was not saved note after note (${p1:-} ${p2:-} ${p3:-} $phrase)"

# File > Exit in the document's menu ends the program.
focus_main
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key Up Return
expect_exit 0
echo "editor_smoke: opened, played ($red_playing red cursor pixels), saved, copied a passage into a new song, imported a MIDI file, typed a phrase in by step entry and quit cleanly"
