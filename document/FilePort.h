// What a document's file commands offer the window's other rooms: the file, where Save As starts, and
// a song made rather than read shown as unsaved work.
#pragma once

#include <QString>

namespace tromel {

enum class OpenOutcome { Cancelled, Opened, NotOpened };

inline constexpr const char* noFileName = "null";

class FilePort {
public:
    virtual ~FilePort() = default;

    // The document's file, or "null" while the song has none.
    virtual const QString& fileName() const = 0;
    // Where Save As starts: the song's file, or its caption's name in the folder it came from.
    virtual QString proposedPath() const = 0;
    // A song made in this (fresh) document, not read from a file, as unsaved work named `caption`:
    // bound to no file and modified, so Save asks where, proposing that name in `folder`.
    virtual void showUnsavedSong(const QString& caption, const QString& folder = QString()) = 0;
};

}  // namespace tromel
