// The few things the editor remembers between runs, one value each for the whole program.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

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

// View > Grid Follows the Song, Show Loop, Show Ruler: what every roll draws beside the written
// roll. Off unless chosen; a change is announced by SettingsNotice::viewChanged.
bool gridFollowsSong();
void setGridFollowsSong(bool on);
bool showLoop();
void setShowLoop(bool on);
bool showRuler();
void setShowRuler(bool on);

// The zoom a new window opens with, in whole percent (100 unless chosen).
int zoomX();
int zoomY();
void setZoom(int zoomXPercent, int zoomYPercent);

// View > Remember Window Layout: the main window's size, position and maximised state, restored
// at start. Off unless chosen.
bool rememberLayout();
void setRememberLayout(bool on);
QByteArray mainWindowLayout();
void setMainWindowLayout(const QByteArray& layout);

// Playing notes in, shared by every window and announced by SettingsNotice::inputChanged; all
// off unless chosen. View > Keyboard Piano: letter and digit keys play notes.
bool keyboardPiano();
void setKeyboardPiano(bool on);
// Edit > Step Entry: played notes go in at an edit cursor.
bool stepEntry();
void setStepEntry(bool on);
// Edit > Step Length: 1, 2, 4 or 8 steps (1 unless chosen).
int stepLength();
void setStepLength(int steps);
// Edit > Spread Chords: a chord's lower notes go on the next free channels.
bool spreadChords();
void setSpreadChords(bool on);
// View > Metronome: a click on every beat while a song plays. View > Count In: with Record on,
// Play first clicks one bar. Both off unless chosen, announced by SettingsNotice::inputChanged.
bool metronome();
void setMetronome(bool on);
bool countIn();
void setCountIn(bool on);
// Settings > MIDI Input...: the MIDI input ports chosen, by name.
QStringList midiPorts();
void setMidiPorts(const QStringList& ports);

// Edit > All Channels: selections, Duplicate, transposing and the clipboard take every channel of
// the current kind at once. Off unless chosen.
bool allChannels();
void setAllChannels(bool on);

// The songs last opened or saved, the newest first, ten at most.
QStringList recentSongs();
void addRecentSong(const QString& path);

// The folder of the song last opened or saved; empty until there is one.
QString songFolder();
void setSongFolder(const QString& folder);

}  // namespace tromel::settings
