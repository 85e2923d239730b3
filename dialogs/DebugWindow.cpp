// The debug note list `winDebug`: one line per stored instrument note, for inspecting the editor's data.
#include "dialogs/DebugWindow.h"

#include "dialogs/PlacedWidgets.h"

#include <QListWidget>

namespace tromel::dialogs {
namespace {

struct ListColumn {
    const char* name;
    const char* heading;
    int left;
    int width;
};

constexpr std::array<ListColumn, 5> columns{{
    {"rollNum", "Note #", 8, 121},
    {"rollXY", "Note Pos", 136, 57},
    {"rollLength", "Note Len", 200, 57},
    {"rollPan", "Note Pan", 264, 57},
    {"rollVol", "Note Vol", 328, 57},
}};

}  // namespace

std::array<QString, 5> debugLineTexts(int channel, int32_t slot, const NoteRec& note) {
    return {QStringLiteral("Inst %1, Note %2").arg(channel + 1).arg(slot),
            QStringLiteral("%1,%2").arg(note.position).arg(note.key), QString::number(note.length),
            QString::number(note.pan), QString::number(note.volume)};
}

DebugWindow::DebugWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("winDebug"));
    setWindowTitle(QStringLiteral("Debug"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setClientSize(this, 392, 374);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ListColumn& column = columns[i];
        placedLabel(this, QString::fromLatin1(column.heading), column.left, 8, 57, 17);
        m_lists[i] = placed(new QListWidget(this), column.left, 32, column.width, 329);
        m_lists[i]->setObjectName(QString::fromLatin1(column.name));
    }
}

void DebugWindow::fill(const NoteTable& instrumentNotes) {
    std::array<QStringList, 5> lines;
    for (int channel = 0; channel < NoteTable::channelCount; ++channel) {
        for (int32_t slot = 1; slot <= instrumentNotes.slotBound(); ++slot) {
            const NoteRec& note = instrumentNotes.at(channel, slot);
            if (note.isEmpty())
                continue;
            const std::array<QString, 5> texts = debugLineTexts(channel, slot, note);
            for (std::size_t i = 0; i < lines.size(); ++i)
                lines[i] << texts[i];
        }
    }
    for (std::size_t i = 0; i < m_lists.size(); ++i) {
        m_lists[i]->clear();
        m_lists[i]->addItems(lines[i]);
    }
}

}  // namespace tromel::dialogs
