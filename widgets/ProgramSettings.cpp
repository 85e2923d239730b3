// The editor's remembered settings, kept by QSettings in the user's configuration folder.
#include "widgets/ProgramSettings.h"

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

QString songFolder() {
    return store().value("files/songFolder").toString();
}
void setSongFolder(const QString& folder) {
    store().setValue("files/songFolder", folder);
}

}  // namespace tromel::settings
