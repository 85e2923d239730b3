#!/usr/bin/env bash
# Smoke test of finding one's way in the real editor, under Xvfb with SDL's dummy audio driver:
# songs named on the command line open cascaded, the wheel scrolls the roll, Space plays and
# pauses, Tab and Space choose a channel, Follow Playback keeps the cursor in view over a long
# play, and a song dragged from another program opens. Usage: navigation_smoke.sh TROMEL DRAG_SOURCE
set -euo pipefail

tromel=$1
drag_source=$2
if ! command -v Xvfb >/dev/null; then
  echo "navigation_smoke: Xvfb is not installed; skipping"
  exit 0
fi
for tool in xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "navigation_smoke: $tool is missing"; exit 1; }
done

work=$(mktemp -d /tmp/tromel-navigation.XXXXXX)
xvfb_pid=
editor_pid=
source_pid=
cleanup() {
  for pid in "$source_pid" "$editor_pid" "$xvfb_pid"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "navigation_smoke: $*"
  [ -f "$work/editor.log" ] && sed 's/^/  tromel: /' "$work/editor.log"
  exit 1
}

le16() {
  # shellcheck disable=SC2059  # the format is the escaped bytes themselves
  printf "$(printf '\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)))"
}
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }

# A fast song (30 ms a step) looping over 400 steps, two notes on instrument channel 0.
write_song() {
  printf 'Org-02'
  le16 30; printf '\x04\x04'; le32 0; le32 400
  for channel in $(seq 0 15); do
    if [ "$channel" -lt 8 ]; then le16 1000; else le16 232; fi
    printf '\x00\x00'
    if [ "$channel" -eq 0 ]; then le16 2; else le16 0; fi
  done
  le32 0; le32 8; printf '\x30\x37\x08\x08\xc8\xc8\x06\x06'
}
for name in one two three four; do write_song >"$work/$name.org"; done

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache"
export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

"$tromel" "$work/one.org" "$work/two.org" "$work/three.org" >"$work/editor.log" 2>&1 &
editor_pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tromel$' | head -n1) || fail "no main window"
sleep 2

shot() { import -window "$main" "$work/shot.png"; }
# "x y" of every pixel of a colour in a region "W H X Y" of the last shot.
pixels_of() {
  convert "$work/shot.png" -crop "${2}x${3}+${4}+${5}" +repage txt:- |
    awk -F'[,: ]+' -v colour="$1" -v dx="$4" -v dy="$5" '$0 ~ colour { print $1 + dx, $2 + dy }'
}
# The left edges of the visible keyboards (all within the left 240 pixels while a dozen windows
# cascade): where runs of black-key pixels start on many rows.
keyboards() {
  shot
  convert "$work/shot.png" -crop 240x2000+0+0 +repage txt:- | awk -F'[,: ]+' '
    /#141418/ { if (!(($1 - 1) "," $2 in black)) starts[$1]++; black[$1 "," $2] = 1 }
    END { for (x in starts) if (starts[x] > 40) print x }' | sort -n
}
focus_main() {
  xdotool mousemove --window "$main" 300 200
  xdotool windowfocus --sync "$main" 2>/dev/null || true
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
reds() { shot; pixels_of '#FF[0-3][0-9A-F][0-3][0-9A-F]' 500 300 "$((roll_left + 65))" "$roll_top" | wc -l; }

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

# View > Follow Playback, then a long play: the cursor must be on screen all along (unfollowed it
# leaves the 32 visible columns after about a second).
xdotool key --clearmodifiers alt+v
sleep 0.5
xdotool key Down Return
sleep 0.3
xdotool key space
for sample in 1 2 3 4 5 6 7 8; do
  sleep 0.5
  [ "$(reds)" -gt 50 ] || fail "the play cursor left the view at sample $sample"
done
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
for _ in $(seq 100); do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$editor_pid" 2>/dev/null && fail "the editor did not quit"
status=0
wait "$editor_pid" || status=$?
editor_pid=
[ "$status" -eq 0 ] || fail "the editor exited with status $status"
echo "navigation_smoke: cascaded by $step px; wheel, Space, Tab, Follow Playback and a drop all worked"
