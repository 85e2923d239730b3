// A document's MIDI commands: File > Export MIDI... and File > Import MIDI... into a new document.
#pragma once

#include "document/EditorContext.h"
#include "document/FilePort.h"
#include "song/Song.h"

#include <filesystem>
#include <functional>

class QWidget;

namespace tromel {

class MidiCommands {
public:
    // Dialogs and messages are shown over `window`; `finishGesture` ends a mouse gesture under way.
    MidiCommands(QWidget* window, EditorContext& context, Song& song, FilePort& file,
                 std::function<void()> finishGesture);

    // Writes the song as a Standard MIDI File chosen by the user; a song that cannot be exported,
    // or a file that cannot be written, is reported and nothing is written.
    void exportMidi();
    // Asks for a MIDI file and, in the import dialog, where its parts go; then makes this (fresh)
    // document's song from it, unsaved, named after the file, and shows what did not fit. A file
    // that cannot be read is refused with its reason (NotOpened); the caller closes the document
    // unless the result is Opened.
    OpenOutcome importMidi();

private:
    // Why the export may not write `target`: it is this song's file, or one open in another window.
    const char* overwriteRefusal(const std::filesystem::path& target) const;

    QWidget* m_window;
    EditorContext& m_context;
    Song& m_song;
    FilePort& m_file;
    std::function<void()> m_finishGesture;
};

}  // namespace tromel
