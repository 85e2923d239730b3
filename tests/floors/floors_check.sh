#!/usr/bin/env bash
# Keeps the house's shape: every quoted include of a source file points to its own floor or one below.
# Floors from the ground: files/ (the file operations); song/; the engine's audio/ (the audio layer's interface,
# mixer/, playback/ and samples/ but for the sample files); the sound (audio/'s MixerAudioLayer and the sample files)
# and exchange/; export (audio/render/), live input (audio/midi/), editing (roll/) and capi/ (the C library); the
# devices (audio/sdl/, audio/rtmidi/) with the shared widget floor (widgets/ with the Qt halves audio/ui/ and roll/ui/,
# and the tools that sit on the core); dialogs/; document/; app/. The link graph keeps the same floors
# (tests/floors/CMakeLists.txt).
# Tests, benchmarks and fuzzers may reach every floor. Prints each offending line; fails if any.
# Within document/ one mediator, the document window, makes the rooms and wires them: a room's file
# includes its own header, the shared headers (the context, the ports the rooms reach one another
# through, the layout) and the headers of its own parts, never another room's. The parts are
# classes a room alone makes and owns: the history's passage commands and undo steps; the view's
# zoom, position readout and Go to Bar; the note input's piano, step entry, recording and practice.
# Usage: floors_check.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"

files=()
while IFS= read -r -d '' file; do
  files+=("$file")
done < <(find files song exchange audio roll capi widgets tools dialogs document app \
  \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null)

if [ "${#files[@]}" -eq 0 ]; then
  echo "no source files found under $(pwd)" >&2
  exit 1
fi

# One pass over every file: a process a file or an include would take minutes on a busy machine.
awk '
  function floor_of(path) {
    if (path ~ /^files\//) return 0
    if (path ~ /^song\//) return 1
    if (path ~ /^audio\/(ui|sdl|rtmidi)\//) return 5
    if (path ~ /^audio\/(render|midi)\//) return 4
    if (path ~ /^audio\/samples\/Sample(Loader|Shape|Cache|Worker)\./) return 3
    if (path ~ /^audio\/[^\/]+$/ && path !~ /^audio\/AudioLayer\./) return 3
    if (path ~ /^exchange\//) return 3
    if (path ~ /^audio\//) return 2
    if (path ~ /^roll\/ui\//) return 5
    if (path ~ /^roll\//) return 4
    if (path ~ /^capi\//) return 4
    if (path ~ /^(widgets|tools)\//) return 5
    if (path ~ /^dialogs\//) return 6
    if (path ~ /^document\//) return 7
    if (path ~ /^app\//) return 8
    return -1
  }
  function stem(path) { sub(/^.*\//, "", path); sub(/\.[a-z]+$/, "", path); return path }
  BEGIN {
    split("EditorContext SongSafekeeping DocumentLayout EditPort FilePort PlaybackPort ViewPort", names, " ")
    for (i in names) shared[names[i]] = 1
    mediator["DocumentWindow"] = 1
    owner["PassageCommands"] = owner["SongEditCommand"] = "EditCommands"
    owner["GoToBar"] = owner["PositionReadout"] = owner["ZoomCommands"] = "ViewCommands"
    owner["PianoKeys"] = owner["PracticeCommands"] = owner["RecordCommands"] = owner["StepEntryCommands"] = "NoteInput"
  }
  FNR == 1 { file = FILENAME; sub(/^\.\//, "", file); own = floor_of(file); room = stem(file) }
  own >= 0 && /^[ \t]*#[ \t]*include[ \t]*"/ {
    target = $0; sub(/^[^"]*"/, "", target); sub(/".*/, "", target)
    reached = floor_of(target)
    if (reached > own) {
      printf "%s:%d: #include \"%s\" reaches up from floor %d to floor %d\n", file, FNR, target, own, reached > "/dev/stderr"
      status = 1
    } else if (own == 7 && reached == 7) {
      reachedRoom = stem(target)
      if (reachedRoom != room && !(reachedRoom in shared) && !(room in mediator) && owner[reachedRoom] != room) {
        printf "%s:%d: #include \"%s\" reaches into another room of the document window\n", file, FNR, target > "/dev/stderr"
        status = 1
      }
    }
  }
  END { exit status }
' "${files[@]}"
