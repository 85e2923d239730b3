#!/usr/bin/env bash
# Proves the floor check can fail: in a copy of the sources, each planted upward include, and each
# include of another room of the document window, must be caught and named with its file and line,
# and the untouched copy must pass.
set -euo pipefail
source_dir=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
check="$source_dir/tests/floors/floors_check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fresh_copy() {
  rm -rf "$work/src"
  mkdir "$work/src"
  (cd "$source_dir" && cp -r files song exchange audio roll widgets tools dialogs document app "$work/src/")
}

fresh_copy
"$check" "$work/src" || { echo "the floor check fails on the sources as they are" >&2; exit 1; }

failures=0
# Each case: the file to plant into, then the include that reaches up from it.
fresh_copy
while read -r file target; do
  sed -i "1a #include \"$target\"" "$work/src/$file"
  if output=$("$check" "$work/src" 2>&1); then
    echo "not caught: $file including $target" >&2
    failures=$((failures + 1))
  elif ! grep -q "^$file:2: #include \"$target\"" <<<"$output"; then
    echo "caught without naming the line: $file including $target: $output" >&2
    failures=$((failures + 1))
  fi
  sed -i 2d "$work/src/$file"
done <<'CASES'
song/Song.h exchange/AudioFileWriter.h
exchange/SndfileWriter.cpp audio/render/OfflineRender.h
audio/mixer/Voice.cpp exchange/AudioFileWriter.h
audio/samples/SampleData.cpp audio/samples/SampleCache.h
audio/playback/Transport.h audio/MixerAudioLayer.h
audio/midi/MidiNoteRouter.cpp audio/rtmidi/RtMidiSource.h
audio/mixer/Mixer.cpp roll/RollGeometry.h
roll/NoteEditor.cpp audio/ui/TransportControls.h
roll/ui/PianoRoll.cpp dialogs/AboutWindow.h
widgets/Prompts.h dialogs/AboutWindow.h
dialogs/AboutWindow.cpp document/DocumentWindow.h
document/DocumentWindow.cpp app/MainWindow.h
tools/cli/RenderCommand.cpp document/DocumentWindow.h
document/MidiCommands.h document/FileCommands.h
document/StepEntryCommands.cpp document/ViewCommands.h
document/PracticeCommands.cpp document/RecordCommands.h
document/ViewCommands.cpp document/DocumentWindow.h
CASES

if [ "$failures" -ne 0 ]; then
  exit 1
fi
echo "floor check: every planted upward or cross-room include caught"
