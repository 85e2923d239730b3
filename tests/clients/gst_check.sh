#!/usr/bin/env bash
# The tromel GStreamer plug-in installed into a temporary prefix: decodebin picks it and gives the library's
# own render, downstream chooses the format and rate, gst-discoverer finds the duration of a song named
# without .org, and a refused file is an error message, not a crash.
# Usage: gst_check.sh BUILD_DIR LIBDIR TROMEL_CLI GST_SEEK_CHECK
set -euo pipefail
build=$1
libdir=$2
cli=$3
seek_check=$4
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d /tmp/tromel-gst.XXXXXX)
trap 'rm -rf "$dir"' EXIT
fail() { echo "gst_check: $*"; exit 1; }

for component in libtromel0 gstreamer1.0-tromel; do
  cmake --install "$build" --prefix "$dir/prefix" --component "$component" >/dev/null
done
export GST_PLUGIN_PATH="$dir/prefix/$libdir/gstreamer-1.0"
export GST_REGISTRY="$dir/registry.bin"
[ -s "$GST_PLUGIN_PATH/libgsttromel.so" ] || fail "the plug-in is not installed under $libdir/gstreamer-1.0"
inspect=$(gst-inspect-1.0 tromeldec) || fail "gst-inspect-1.0 cannot load tromeldec"
grep -q 'Rank.*primary' <<<"$inspect" || fail "tromeldec's rank is not primary"
grep -A3 'num-loops' <<<"$inspect" | grep -q 'Default: 0' || fail "num-loops does not default to 0"

python3 "$here/make_song.py" "$dir/song.org"
"$cli" render "$dir/song.org" "$dir/render.wav" --format float --loops 0 >/dev/null
gst-launch-1.0 -q filesrc location="$dir/song.org" ! decodebin ! audioconvert ! \
  audio/x-raw,format=F32LE,rate=44100,channels=2 ! filesink location="$dir/decoded.raw" ||
  fail "the pipeline through decodebin failed"
python3 "$here/same_audio.py" "$dir/render.wav" "$dir/decoded.raw" || fail "decodebin gave other sound"

# Asked for 16-bit at 48 kHz with two more loops: 32 + 2 * 24 steps of 80 ms.
gst-launch-1.0 -q filesrc location="$dir/song.org" ! tromeldec num-loops=2 ! audio/x-raw,format=S16LE,rate=48000 ! \
  filesink location="$dir/s16.raw" || fail "tromeldec cannot give S16LE at 48000 Hz"
[ "$(stat -c %s "$dir/s16.raw")" -eq $((80 * 80 * 48 * 4)) ] ||
  fail "S16LE at 48000 Hz with num-loops=2 gave $(stat -c %s "$dir/s16.raw") bytes"

"$seek_check" "$dir/song.org" 1.3 || fail "a seek by time did not give the library's sound from there"

for magic in Org-02 Org-03; do
  { printf '%s' "$magic"; tail -c +7 "$dir/song.org"; } >"$dir/$magic.bin"
  gst-typefind-1.0 "$dir/$magic.bin" | grep -q 'audio/x-organya' || fail "a file beginning with $magic is not found a song"
done
printf 'Org-04' >"$dir/other.bin"
! gst-typefind-1.0 "$dir/other.bin" 2>&1 | grep -q 'audio/x-organya' || fail "a file beginning with Org-04 is taken for a song"

cp "$dir/song.org" "$dir/a song"
discovered=$(gst-discoverer-1.0 "$dir/a song") || fail "gst-discoverer-1.0 cannot read a song: $discovered"
grep -q 'Duration: 0:00:02.560000000' <<<"$discovered" || fail "gst-discoverer-1.0 reports: $discovered"

head -c 40 "$dir/song.org" >"$dir/cut.org"
status=0
timeout 30 gst-launch-1.0 filesrc location="$dir/cut.org" ! decodebin ! fakesink >"$dir/cut.txt" 2>&1 || status=$?
[ "$status" -eq 1 ] && grep -q 'ERROR.*tromeldec.*This is not an Organya song' "$dir/cut.txt" ||
  fail "a cut song: exit $status, $(cat "$dir/cut.txt")"
echo "gst_check: decodebin gave the render, S16LE at 48000 Hz, the duration found, a cut song refused"
