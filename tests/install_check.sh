#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop gets: the programs, the
# sample bank, a valid desktop entry, the icon, the Organya file type, the AppStream entry and the man pages,
# and what a game or a player gets: the library, its header and pkg-config file, the GStreamer plug-in, each
# finding the library in the prefix; then the installed tromel-cli renders a song with the installed bank.
# Usage: install_check.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d /tmp/tromel-install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install_check: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/tromel bin/tromel-cli "share/tromel/Processed ORG Samples/M01.wav" \
  "share/tromel/Processed ORG Samples/M100.wav" "share/tromel/Processed ORG Samples/D28.wav" \
  share/applications/tromel.desktop share/mime/packages/tromel-organya.xml \
  share/icons/hicolor/48x48/apps/tromel.png share/icons/hicolor/256x256/apps/tromel.png \
  share/icons/hicolor/scalable/apps/tromel.svg share/man/man1/tromel.1 share/man/man1/tromel-cli.1 \
  share/metainfo/io.github.tromel.tromel.metainfo.xml include/tromel/tromel.h; do
  [ -s "$prefix/$file" ] || fail "missing $file"
done
libdir=$(cd "$prefix" && dirname "$(find . -name libtromel.so.0 -printf '%P\n' | head -1)")
for file in libtromel.so.0 libtromel.so pkgconfig/tromel.pc gstreamer-1.0/libgsttromel.so; do
  [ -s "$prefix/$libdir/$file" ] || fail "missing $libdir/$file"
done
for binary in bin/tromel-cli "$libdir/gstreamer-1.0/libgsttromel.so"; do
  ldd "$prefix/$binary" | grep -q "libtromel.so.0 => $prefix/" || fail "$binary does not find the installed library"
done
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.tromel.tromel.metainfo.xml" >/dev/null ||
  fail "the AppStream entry does not validate"
desktop-file-validate "$prefix/share/applications/tromel.desktop" || fail "the desktop entry does not validate"
update-mime-database "$prefix/share/mime" 2>/dev/null || fail "the file type does not load"
grep -q 'audio/x-organya' "$prefix/share/mime/magic" || fail "the file type has no magic"
for magic in Org-02 Org-03; do
  grep -qa "$magic" "$prefix/share/mime/magic" || fail "the file type does not match files that begin with $magic"
done
if command -v man >/dev/null; then
  for page in tromel tromel-cli; do
    man -l "$prefix/share/man/man1/$page.1" >/dev/null 2>&1 || fail "the man page of $page does not format"
  done
fi
[ "$("$prefix/bin/tromel" --version)" = "tromel $(sed -n 's/^project(Tromel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" ] ||
  fail "the installed editor gives a wrong version"

# A one-note song rendered from outside the build tree, with no --samples: the bank under share/.
song="$prefix/song.org"
{
  printf 'Org-02\x64\x00\x04\x04\x00\x00\x00\x00\x10\x00\x00\x00'
  printf '\xe8\x03\x00\x00\x01\x00'
  for _ in $(seq 15); do printf '\xe8\x03\x00\x00\x00\x00'; done
  printf '\x00\x00\x00\x00\x30\x08\xc8\x06'
} >"$song"
(cd / && "$prefix/bin/tromel-cli" render "$song" "$prefix/song.wav" --seconds 1) || fail "the installed tromel-cli cannot render"
[ "$(stat -c %s "$prefix/song.wav")" -gt 100000 ] || fail "the rendered file is too short"
echo "install_check: installed, validated and rendered with the installed bank"
