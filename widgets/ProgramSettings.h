// The few things the editor remembers between runs, one value each for the whole program.
#pragma once

#include <QString>

namespace tromel::settings {

// View > Follow Playback: the view jumps along with the play cursor. Off unless chosen.
bool followPlayback();
void setFollowPlayback(bool on);

// View > Show Notes When Opening: a song read from a file opens onto its first notes. Off unless chosen.
bool showNotesWhenOpening();
void setShowNotesWhenOpening(bool on);

// View > Preview Notes: a note placed or given a new key sounds. Off unless chosen.
bool previewNotes();
void setPreviewNotes(bool on);

// The folder of the song last opened or saved; empty until there is one.
QString songFolder();
void setSongFolder(const QString& folder);

}  // namespace tromel::settings
