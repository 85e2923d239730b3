#!/usr/bin/env bash
# Smoke test of finding one's way in the real editor, under Xvfb with SDL's dummy audio driver:
# songs named on the command line open cascaded, the wheel scrolls the roll, Space plays and
# pauses, Tab and Space choose a channel, Follow Playback keeps the cursor in view over a long
# play, the grid follows a song's bars, zoom shows four times the steps, Space plays after a menu
# closed with Escape, and a song dragged from another program opens.
# Usage: navigation_smoke.sh TROMEL DRAG_SOURCE
set -euo pipefail

tromel=$1
drag_source=$2
name=navigation_smoke
source "$(dirname "$0")/smoke_lib.sh"

# A fast song (30 ms a step) looping over 400 steps; the front one counts 3 beats of 8 steps.
for song in one two four; do write_song 30 400 >"$work/$song.org"; done
write_song 30 400 3 8 >"$work/three.org"

start_editor "$work/one.org" "$work/two.org" "$work/three.org"
sleep 2

# The left edges of the visible keyboards (all within the left 240 pixels while a dozen windows
# cascade): where runs of black-key pixels start on many rows.
keyboards() {
  shot
  convert "$work/shot.png" -crop 240x2000+0+0 +repage txt:- | awk -F'[,: ]+' '
    /#141418/ { if (!(($1 - 1) "," $2 in black)) starts[$1]++; black[$1 "," $2] = 1 }
    END { for (x in starts) if (starts[x] > 40) print x }' | sort -n
}

# Three songs from the command line: three windows, each a title bar right of and below the last.
mapfile -t lefts < <(keyboards)
[ "${#lefts[@]}" -eq 3 ] || fail "expected 3 cascaded windows, saw keyboards at: ${lefts[*]:-none}"
step=$((lefts[1] - lefts[0]))
[ "$step" -gt 10 ] && [ $((lefts[2] - lefts[1])) -eq "$step" ] || fail "uneven cascade: ${lefts[*]}"

# The front window's roll: its keyboard's left edge and its first black key 11 pixels below the top.
roll_left=${lefts[2]}
roll_top=$(pixels_of '#141418' 1 600 "$roll_left" 0 | sort -k2 -n | head -n1 | cut -d' ' -f2)
roll_top=$((roll_top - 11))
grid() { shot; convert "$work/shot.png" -crop "480x280+$((roll_left + 70))+$((roll_top + 2))" +repage "$work/$1.png"; }
same() { [ "$(compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 || true)" = 0 ]; }
reds() { shot; pixels_of "$red" 500 300 "$((roll_left + 65))" "$roll_top" | wc -l; }

# The wheel: three notches down move the roll, three up bring it back exactly.
grid before
xdotool mousemove --window "$main" $((roll_left + 300)) $((roll_top + 150))
xdotool click --repeat 3 --delay 50 5
sleep 0.5
grid down
xdotool click --repeat 3 --delay 50 4
sleep 0.5
grid back
! same before down || fail "the wheel did not scroll the roll"
same before back || fail "the wheel did not scroll back to where it was"

# Space plays, Space again pauses (the cursor stands still), Shift+Space stops.
focus_main
xdotool key space
sleep 0.6
[ "$(reds)" -gt 50 ] || fail "Space did not play"
xdotool key space
sleep 0.3
grid paused1
sleep 0.4
grid paused2
same paused1 paused2 || fail "Space did not pause"
xdotool key shift+space

# Tab from the roll: the two scroll bars, then (instrument 1 being current) instrument 2; Space
# presses it, which makes instrument 1 choosable again.
# The channel buttons sit 465 pixels below the roll's top (a 452-pixel roll, then 13 more).
buttons() { shot; convert "$work/shot.png" -crop "60x25+$((roll_left + 8))+$((roll_top + 465))" +repage "$work/$1.png"; }
buttons channel1
xdotool key Tab Tab Tab space
sleep 0.3
buttons channel2
! same channel1 channel2 || fail "Tab and Space did not reach the channel buttons"
# A middle click (no edit) gives the keyboard back to the roll, where Space plays again.
xdotool mousemove --window "$main" $((roll_left + 300)) $((roll_top + 150)) click 2

# View > Follow Playback (after Go to Notes and Go to Bar...), then a long play: the cursor must be on screen all along (unfollowed it
# leaves the 32 visible columns after about a second).
xdotool key --clearmodifiers alt+v
sleep 0.5
xdotool key Down Down Return
sleep 0.3
xdotool key space
for sample in 1 2 3 4 5 6 7 8; do
  sleep 0.5
  [ "$(reds)" -gt 50 ] || fail "the play cursor left the view at sample $sample"
done
xdotool key shift+space

# The grid's bar lines: the pixel columns of the roll's notes (from the first column) that are a
# grid line's colour down nearly all of its rows.
bar_lines() {
  shot
  convert "$work/shot.png" -crop "512x280+$((roll_left + 65))+$((roll_top + 2))" +repage txt:- | awk -F'[,: ]+' '
    /#7E9F77|#4C7159/ { line[$1]++ } END { for (x in line) if (line[x] > 266) print x }' | sort -n | tr '\n' ' '
}
# Home brings the view to the song's start; View > Grid Follows the Song (the menu's seventh entry)
# moves the bar lines from every 16 steps to every 24.
focus_main
xdotool key Home
sleep 0.3
[ "$(bar_lines)" = "255 511 " ] || fail "the written grid's bar lines are at: $(bar_lines)"
xdotool key --clearmodifiers alt+v
sleep 0.5
xdotool key Down Down Down Down Down Down Return
sleep 0.3
[ "$(bar_lines)" = "383 " ] || fail "the song's bar lines are at: $(bar_lines)"
# Zoom Out twice: columns of 4 pixels, so a bar of 24 steps is 96 pixels; Actual Size brings
# back the written columns (around the middle of the view: Home goes back to the start).
xdotool key --clearmodifiers ctrl+minus ctrl+minus
sleep 0.3
[ "$(bar_lines)" = "95 191 287 383 479 " ] || fail "zoomed out, the bar lines are at: $(bar_lines)"
xdotool key --clearmodifiers ctrl+0 Home
sleep 0.3
[ "$(bar_lines)" = "383 " ] || fail "at actual size again, the bar lines are at: $(bar_lines)"
# A menu closed with Escape: Space still plays, and pauses.
xdotool key --clearmodifiers alt+v
sleep 0.5
xdotool key Escape space
sleep 0.6
[ "$(reds)" -gt 50 ] || fail "Space after a menu closed with Escape did not play"
xdotool key shift+space

# A song dragged from another program and dropped onto the main window opens in a fourth window.
"$drag_source" "$work/four.org" >"$work/source.log" 2>&1 &
source_pid=$!
timeout 10 xdotool search --sync --onlyvisible --name '^drag source$' >/dev/null || fail "no drag source"
sleep 0.5
xdotool mousemove 80 60 mousedown 1
for x in 120 200 300 400 500 600; do xdotool mousemove "$x" 400; sleep 0.1; done
xdotool mouseup 1
sleep 1.5
kill "$source_pid" 2>/dev/null || true
source_pid=
mapfile -t lefts < <(keyboards)
[ "${#lefts[@]}" -eq 4 ] || fail "the dropped song did not open: keyboards at ${lefts[*]:-none}"

# Exit from the document's menu ends the program cleanly.
focus_main
xdotool key --clearmodifiers ctrl+q
expect_exit 0
echo "navigation_smoke: cascaded by $step px; wheel, Space, Tab, Follow Playback, the song's grid, zoom, Space after Escape and a drop all worked"
