// The editor's remembered settings, kept by QSettings in the user's configuration folder.
#include "widgets/ProgramSettings.h"

#include "widgets/SettingsNotice.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace tromel::settings {
namespace {

// Named explicitly so that every window, and the tests, read the same file whatever the
// application object was told.
QSettings store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tromel", "Tromel");
}

bool flag(const char* key) {
    return store().value(key, false).toBool();
}

void setFlag(const char* key, bool on) {
    store().setValue(key, on);
}

void setViewFlag(const char* key, bool on) {
    setFlag(key, on);
    emit SettingsNotice::instance().viewChanged();
}

void setInputFlag(const char* key, bool on) {
    setFlag(key, on);
    emit SettingsNotice::instance().inputChanged();
}

constexpr int recentSongCount = 10;

}  // namespace

bool followPlayback() {
    return flag("view/followPlayback");
}
void setFollowPlayback(bool on) {
    setFlag("view/followPlayback", on);
}

bool showNotesWhenOpening() {
    return flag("view/showNotesWhenOpening");
}
void setShowNotesWhenOpening(bool on) {
    setFlag("view/showNotesWhenOpening", on);
}

bool previewNotes() {
    return flag("view/previewNotes");
}
void setPreviewNotes(bool on) {
    setFlag("view/previewNotes", on);
}

bool gridFollowsSong() {
    return flag("view/gridFollowsSong");
}
void setGridFollowsSong(bool on) {
    setViewFlag("view/gridFollowsSong", on);
}

bool showLoop() {
    return flag("view/showLoop");
}
void setShowLoop(bool on) {
    setViewFlag("view/showLoop", on);
}

bool showRuler() {
    return flag("view/showRuler");
}
void setShowRuler(bool on) {
    setViewFlag("view/showRuler", on);
}

int zoomX() {
    return store().value("view/zoomX", 100).toInt();
}
int zoomY() {
    return store().value("view/zoomY", 100).toInt();
}
void setZoom(int zoomXPercent, int zoomYPercent) {
    QSettings settings = store();
    settings.setValue("view/zoomX", zoomXPercent);
    settings.setValue("view/zoomY", zoomYPercent);
}

bool rememberLayout() {
    return flag("view/rememberLayout");
}
void setRememberLayout(bool on) {
    setFlag("view/rememberLayout", on);
}
QByteArray mainWindowLayout() {
    return store().value("view/mainWindowLayout").toByteArray();
}
void setMainWindowLayout(const QByteArray& layout) {
    store().setValue("view/mainWindowLayout", layout);
}

bool keyboardPiano() {
    return flag("input/keyboardPiano");
}
void setKeyboardPiano(bool on) {
    setInputFlag("input/keyboardPiano", on);
}

bool stepEntry() {
    return flag("input/stepEntry");
}
void setStepEntry(bool on) {
    setInputFlag("input/stepEntry", on);
}

// Anything but the four lengths the menu offers reads as 1.
int stepLength() {
    const int steps = store().value("input/stepLength", 1).toInt();
    return steps == 2 || steps == 4 || steps == 8 ? steps : 1;
}
void setStepLength(int steps) {
    store().setValue("input/stepLength", steps);
    emit SettingsNotice::instance().inputChanged();
}

bool metronome() {
    return flag("view/metronome");
}
void setMetronome(bool on) {
    setInputFlag("view/metronome", on);
}

bool countIn() {
    return flag("view/countIn");
}
void setCountIn(bool on) {
    setInputFlag("view/countIn", on);
}

bool spreadChords() {
    return flag("input/spreadChords");
}
void setSpreadChords(bool on) {
    setInputFlag("input/spreadChords", on);
}

bool allChannels() {
    return flag("edit/allChannels");
}
void setAllChannels(bool on) {
    setFlag("edit/allChannels", on);
}

QStringList midiPorts() {
    return store().value("input/midiPorts").toStringList();
}
void setMidiPorts(const QStringList& ports) {
    store().setValue("input/midiPorts", ports);
}

QStringList recentSongs() {
    return store().value("files/recent").toStringList();
}
// One entry per file, however it was named. The settings file is written, and synced, only when
// the list changes: opening the newest song again costs nothing.
void addRecentSong(const QString& path) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList songs = recentSongs();
    if (!songs.isEmpty() && songs.first() == absolute)
        return;
    songs.removeAll(absolute);
    songs.prepend(absolute);
    store().setValue("files/recent", songs.mid(0, recentSongCount));
}

QString songFolder() {
    return store().value("files/songFolder").toString();
}
void setSongFolder(const QString& folder) {
    store().setValue("files/songFolder", folder);
}

}  // namespace tromel::settings
