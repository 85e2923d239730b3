#!/usr/bin/env bash
# The example a game developer copies, built as they would build it: against the installed header and
# pkg-config file alone, with -pedantic -Werror; then run briefly with no sound hardware.
# Usage: example_check.sh BUILD_DIR LIBDIR EXAMPLE_C
set -euo pipefail
build=$1
libdir=$2
example=$3
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d /tmp/tromel-example.XXXXXX)
trap 'rm -rf "$dir"' EXIT
fail() { echo "example_check: $*"; exit 1; }

prefix="$dir/prefix"
for component in libtromel0 libtromel-dev; do
  cmake --install "$build" --prefix "$prefix" --component "$component" >/dev/null
done
export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"
flags=$(pkg-config --cflags --libs tromel sdl2) || fail "pkg-config does not know tromel"
cc -std=c99 -Wall -Wextra -pedantic -Werror "$example" $flags -o "$dir/example" || fail "the example does not build"

python3 "$here/make_song.py" "$dir/song.org"
export SDL_AUDIODRIVER=dummy LD_LIBRARY_PATH="$prefix/$libdir"
output=$(printf '\n\nq' | timeout 20 "$dir/example" "$dir/song.org") || fail "the example failed: $output"
[ "$output" = $'Enter: drums on or off, q: quit\ndrums muted\ndrums on' ] || fail "the example said: $output"
timeout 20 "$dir/example" "$dir/song.org" 0.3 || fail "the example did not play for 0.3 s"
status=0
timeout 20 "$dir/example" "$dir/missing.org" 2>/dev/null || status=$?
[ "$status" -eq 1 ] || fail "a missing song gave exit $status"
echo "example_check: built against the installed files, played, muted and unmuted the drums"
