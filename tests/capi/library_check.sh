#!/usr/bin/env bash
# libtromel from outside: its name, that it needs only the C and C++ runtime, that it exports only tromel_
# functions, and that a copy installed into a prefix of its own builds a C99 program through pkg-config.
# Usage: library_check.sh LIBRARY BUILD_DIR
set -euo pipefail
library=$1
build=$2
fail() { echo "library_check: $*" >&2; exit 1; }

soname=$(objdump -p "$library" | awk '$1 == "SONAME" { print $2 }')
[ "$soname" = libtromel.so.0 ] || fail "SONAME is '$soname', not libtromel.so.0"

# Only the runtime: the C library, the C++ library, libm, libgcc_s, the loader and the kernel's vDSO.
others=$(ldd "$library" | awk '{ print $1 }' |
  grep -Ev '^(linux-vdso\.so\.1|libc\.so\.6|libstdc\+\+\.so\.6|libm\.so\.6|libgcc_s\.so\.1|/lib.*/ld-linux.*\.so\.2)$' || true)
[ -z "$others" ] || fail "depends on more than the runtime: $others"

exported=$(nm -D --defined-only "$library" | awk '{ sub(/@.*/, "", $3); print $3 }' | grep -v '^TROMEL_0$')
strays=$(grep -v '^tromel_' <<<"$exported" || true)
[ -z "$strays" ] || fail "exports more than tromel_ functions: $(head -5 <<<"$strays")"
grep -qx tromel_player_render <<<"$exported" || fail "tromel_player_render is not exported"

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
for component in libtromel0 libtromel-dev; do
  cmake --install "$build" --prefix "$prefix" --component "$component" >/dev/null
done
libdir=$(dirname "$(find "$prefix" -name tromel.pc)")/..
[ -e "$libdir/libtromel.so.0" ] && [ -L "$libdir/libtromel.so" ] || fail "the library or its link was not installed"
cat >"$prefix/play.c" <<'C'
#include <tromel/tromel.h>
#include <stdio.h>
int main(void) {
    char error[128];
    tromel_song* song = tromel_song_load("Org-02", 6, error, sizeof error);
    if (song != NULL || tromel_version() != 800) return 1;
    printf("%s|%s\n", tromel_version_string(), error);
    return 0;
}
C
export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
cc -std=c99 -Wall -Wextra -pedantic -Werror "$prefix/play.c" -o "$prefix/play" $(pkg-config --cflags --libs tromel)
out=$(LD_LIBRARY_PATH="$libdir" "$prefix/play")
[ "$out" = "$(pkg-config --modversion tromel)|This is not a valid ORG File!" ] || fail "the installed library said '$out'"
echo "library_check: ok"
