#!/usr/bin/env bash
# Keeps the house's shape: every quoted include of a source file points to its own floor or one below.
# Floors from the ground: files/ (the file operations); song/; exchange/; audio/; roll/ and capi/ (the C library); the shared widget floor (widgets/ with the
# Qt halves audio/ui/ and roll/ui/, and the tools that sit on the core); dialogs/; document/; app/.
# Tests, benchmarks and fuzzers may reach every floor. Prints each offending line; fails if any.
# Usage: floors_check.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"

floor_of() {
  case "$1" in
    files/*) echo 0 ;;
    song/*) echo 1 ;;
    exchange/*) echo 2 ;;
    audio/ui/*) echo 5 ;;
    audio/*) echo 3 ;;
    roll/ui/*) echo 5 ;;
    roll/*) echo 4 ;;
    capi/*) echo 4 ;;
    widgets/* | tools/*) echo 5 ;;
    dialogs/*) echo 6 ;;
    document/*) echo 7 ;;
    app/*) echo 8 ;;
    *) echo "" ;;
  esac
}

status=0
checked=0
while IFS= read -r -d '' file; do
  file=${file#./}
  own=$(floor_of "$file")
  [ -n "$own" ] || continue
  checked=$((checked + 1))
  while IFS=: read -r line target; do
    reached=$(floor_of "$target")
    if [ -n "$reached" ] && [ "$reached" -gt "$own" ]; then
      echo "$file:$line: #include \"$target\" reaches up from floor $own to floor $reached" >&2
      status=1
    fi
  done < <(awk '/^[ \t]*#[ \t]*include[ \t]*"/ { s = $0; sub(/^[^"]*"/, "", s); sub(/".*/, "", s); print FNR ":" s }' "$file")
done < <(find files song exchange audio roll widgets tools dialogs document app \
  \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null)

if [ "$checked" -eq 0 ]; then
  echo "no source files found under $(pwd)" >&2
  exit 1
fi
exit "$status"
