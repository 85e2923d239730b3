// Tells every window that a setting shared by all of them changed, so each shows it at once.
#pragma once

#include <QObject>

namespace tromel::settings {

class SettingsNotice : public QObject {
    Q_OBJECT

public:
    // The program's one instance.
    static SettingsNotice& instance();

signals:
    // A View setting that changes what the rolls draw or how their windows are laid out.
    void viewChanged();
    // A setting of playing notes in (the keyboard piano, step entry, its length, spreading chords,
    // the metronome and count-in).
    void inputChanged();
};

}  // namespace tromel::settings
