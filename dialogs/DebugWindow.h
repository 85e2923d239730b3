// The debug note list `winDebug`: one line per stored instrument note, for inspecting the editor's data.
#pragma once

#include "song/Song.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <array>
#include <vector>

class QTreeView;

namespace tromel::dialogs {

// The listed notes as a table of five columns, `rollNum`, `rollXY`, `rollLength`, `rollPan` and
// `rollVol`. It holds a copy of the notes and makes each text only when the view asks for it, so
// a table of half a million notes lists at once.
class DebugNoteModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    void fill(const NoteTable& instrumentNotes);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Line {
        int channel;
        int32_t slot;
        NoteRec note;
    };
    std::vector<Line> m_lines;
};

// The five columns stand under their headings as one list whose rows scroll together; a
// read-only snapshot that changes only when filled again.
class DebugWindow : public QDialog {
    Q_OBJECT

public:
    explicit DebugWindow(QWidget* parent = nullptr);

    // Replaces the listing with the notes of `instrumentNotes`, channel by channel in slot order.
    void fill(const NoteTable& instrumentNotes);

    const DebugNoteModel& notes() const { return m_model; }

private:
    DebugNoteModel m_model;
    QTreeView* m_list = nullptr;
};

// The five line texts of the note in `slot` of instrument channel `channel` (0 to 7).
std::array<QString, 5> debugLineTexts(int channel, int32_t slot, const NoteRec& note);

}  // namespace tromel::dialogs
