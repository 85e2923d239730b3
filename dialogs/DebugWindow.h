// The debug note list `winDebug`: one line per stored instrument note, for inspecting the editor's data.
#pragma once

#include "song/Song.h"

#include <QDialog>
#include <QStringList>

#include <array>

class QListWidget;

namespace tromel::dialogs {

// Five side-by-side lists, `rollNum`, `rollXY`, `rollLength`, `rollPan` and `rollVol`; the same
// line of each belongs to the same note. A read-only snapshot: it changes only when filled again.
class DebugWindow : public QDialog {
    Q_OBJECT

public:
    explicit DebugWindow(QWidget* parent = nullptr);

    // Replaces the listing with the notes of `instrumentNotes`, channel by channel in slot order.
    void fill(const NoteTable& instrumentNotes);

private:
    std::array<QListWidget*, 5> m_lists{};
};

// The five line texts of the note in `slot` of instrument channel `channel` (0 to 7).
std::array<QString, 5> debugLineTexts(int channel, int32_t slot, const NoteRec& note);

}  // namespace tromel::dialogs
