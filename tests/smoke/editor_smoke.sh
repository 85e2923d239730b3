#!/usr/bin/env bash
# Smoke test of the real editor: under Xvfb with SDL's dummy audio driver, open a song through the
# menus and the file dialog, play it (the red play cursor must appear), save it, copy a passage into
# a new song and save that, and quit through the menu with a clean exit.
# Usage: editor_smoke.sh PATH/TO/tromel SOURCE_DIR
set -euo pipefail

tromel=$1
if ! command -v Xvfb >/dev/null; then
  echo "editor_smoke: Xvfb is not installed; skipping"
  exit 0
fi
for tool in xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "editor_smoke: $tool is missing"; exit 1; }
done

work=$(mktemp -d /tmp/tromel-smoke.XXXXXX)
xvfb_pid=
editor_pid=
cleanup() {
  [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "editor_smoke: $*"
  [ -f "$work/editor.log" ] && sed 's/^/  tromel: /' "$work/editor.log"
  exit 1
}

# Little-endian helpers for writing the song byte by byte.
le16() {
  # shellcheck disable=SC2059  # the format is the escaped bytes themselves
  printf "$(printf '\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)))"
}
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }

# A song with two notes on instrument channel 0: tempo 100 ms, loop 0 to 16.
write_song() {
  printf 'Org-02'
  le16 100; printf '\x04\x04'; le32 0; le32 16
  for channel in $(seq 0 15); do
    if [ "$channel" -lt 8 ]; then le16 1000; else le16 232; fi
    printf '\x00\x00'
    if [ "$channel" -eq 0 ]; then le16 2; else le16 0; fi
  done
  le32 0; le32 8          # positions
  printf '\x30\x37'       # keys
  printf '\x08\x08'       # lengths
  printf '\xc8\xc8'       # volumes
  printf '\x06\x06'       # pans
}
song="$work/smoke song.org"
write_song >"$song"
touch -d '2001-01-01' "$song"

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# Settings and recovery files of this run stay in its own folder.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb "$tromel" >"$work/editor.log" 2>&1 &
editor_pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tromel$' | head -n1) || fail "no main window"

focus_main() {
  xdotool mousemove --window "$main" 200 200
  xdotool windowfocus --sync "$main" 2>/dev/null || true
}

# File > Open from the main menu; the file dialog takes the song's path.
focus_main
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key Down Return
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Open\.\.\.$' | head -n1) || fail "no Open dialog"
sleep 0.5
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 5 "$song"
xdotool key Return
sleep 1.5
xdotool search --onlyvisible --name '^File Open Error$' >/dev/null && fail "the song was not opened"

# Pixels of the editor window as text, one "x,y: ... #RRGGBB" line each.
pixels() { import -window "$main" "$work/shot.png" && convert "$work/shot.png" txt:-; }

# The roll's first black key bar tells where the roll, and so the Play button, are.
read -r roll_left roll_top < <(pixels | awk -F'[,: ]+' '/#141418/ {
    if (minx == "" || $1 < minx) minx = $1; if (miny == "" || $2 < miny) miny = $2 }
  END { print minx, miny - 11 }')
[ -n "$roll_left" ] || fail "no piano roll on screen"
red_before=$(pixels | grep -cE '#FF[0-3][0-9A-F][0-3][0-9A-F]' || true)

# Play: the button sits at client (416, height - 71), the roll at (0, 16) of a 593 x 552 client.
xdotool mousemove --window "$main" $((roll_left + 440)) $((roll_top + 477)) click 1
sleep 1.5
red_playing=$(pixels | grep -cE '#FF[0-3][0-9A-F][0-3][0-9A-F]' || true)
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
timeout 10 xdotool search --sync --onlyvisible --name '^Save As\.\.\.$' >/dev/null || fail "no Save As dialog"
sleep 0.5
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 5 "$work/passage.org"
xdotool key Return
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
for _ in $(seq 100); do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$editor_pid" 2>/dev/null; then fail "the editor did not quit"; fi
status=0
wait "$editor_pid" || status=$?
editor_pid=
[ "$status" -eq 0 ] || fail "the editor exited with status $status"
echo "editor_smoke: opened, played ($red_playing red cursor pixels), saved, copied a passage into a new song and quit cleanly"
