# What the end-to-end scripts share: a private Xvfb display and user folders, clean-up of every
# process they start, a failure that shows the editor's output, and songs written byte by byte.
# Source it after setting `name`; it skips the script (exit 0) where Xvfb is not installed.

if ! command -v Xvfb >/dev/null; then
  echo "$name: Xvfb is not installed; skipping"
  exit 0
fi
for tool in xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "$name: $tool is missing"; exit 1; }
done

work=$(mktemp -d "/tmp/tromel-$name.XXXXXX")
xvfb_pid=
editor_pid=
source_pid=
more_pids=()  # further editors a script starts
main=
cleanup() {
  for pid in "$source_pid" "$editor_pid" "${more_pids[@]}" "$xvfb_pid"; do
    if [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; then
      wait "$pid" 2>/dev/null || true
    fi
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "$name: $*"
  [ -f "$work/editor.log" ] && sed 's/^/  tromel: /' "$work/editor.log"
  exit 1
}

# Settings and recovery files of the run stay in its own folder.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state" XDG_CACHE_HOME="$work/cache"
export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

# Starts the editor with the given arguments and waits for its main window.
start_editor() {
  "$tromel" "$@" >"$work/editor.log" 2>&1 &
  editor_pid=$!
  main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tromel$' | head -n1) || fail "no main window"
}
focus_main() {
  xdotool mousemove --window "$main" 200 200
  xdotool windowfocus --sync "$main" 2>/dev/null || true
}
# Waits for a file dialog of this title, types PATH into it and accepts it: enter_path TITLE PATH.
enter_path() {
  timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" >/dev/null || fail "no $1 dialog"
  sleep 0.5
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 5 "$2"
  xdotool key Return
}
# Screenshots of the main window, and "x y" of every pixel of a colour in a region "W H X Y" of
# the last one: pixels_of COLOUR W H X Y.
shot() { import -window "$main" "$work/shot.png"; }
pixels_of() {
  convert "$work/shot.png" -crop "${2}x${3}+${4}+${5}" +repage txt:- |
    awk -F'[,: ]+' -v colour="$1" -v dx="$4" -v dy="$5" '$0 ~ colour { print $1 + dx, $2 + dy }'
}
red='#FF[0-3][0-9A-F][0-3][0-9A-F]'  # the play cursor
# Waits for the editor to end by itself and checks its exit status.
expect_exit() {
  for _ in $(seq 100); do kill -0 "$editor_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$editor_pid" 2>/dev/null && fail "the editor did not quit"
  local status=0
  wait "$editor_pid" || status=$?
  editor_pid=
  [ "$status" -eq "$1" ] || fail "the editor exited with status $status"
}

# Little-endian helpers for writing songs byte by byte.
le16() {
  # shellcheck disable=SC2059  # the format is the escaped bytes themselves
  printf "$(printf '\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)))"
}
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }

# A song of two notes on instrument channel 0, at steps 0 and 8, eight steps long each, in bars
# of 4 beats of 4 steps unless told: write_song TEMPO LOOP_END [BEATS STEPS_A_BEAT].
write_song() {
  printf 'Org-02'
  le16 "$1"
  # shellcheck disable=SC2059  # the format is the escaped bytes themselves
  printf "$(printf '\\x%02x\\x%02x' "${3:-4}" "${4:-4}")"
  le32 0; le32 "$2"
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
