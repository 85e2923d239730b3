// The debug note list `winDebug`: one line per stored instrument note, for inspecting the editor's data.
#include "dialogs/DebugWindow.h"

#include "dialogs/PlacedWidgets.h"

#include <QHeaderView>
#include <QTreeView>

namespace tromel::dialogs {
namespace {

struct ListColumn {
    const char* name;
    const char* heading;
    int left;
};

// Each column starts under its heading; the last one runs to the list's right edge.
constexpr std::array<ListColumn, 5> columns{{
    {"rollNum", "Note #", 8},
    {"rollXY", "Note Pos", 136},
    {"rollLength", "Note Len", 200},
    {"rollPan", "Note Pan", 264},
    {"rollVol", "Note Vol", 328},
}};
constexpr int listLeft = 8;
constexpr int listRight = 385;

}  // namespace

std::array<QString, 5> debugLineTexts(int channel, int32_t slot, const NoteRec& note) {
    return {QStringLiteral("Inst %1, Note %2").arg(channel + 1).arg(slot),
            QStringLiteral("%1,%2").arg(note.position).arg(note.key), QString::number(note.length),
            QString::number(note.pan), QString::number(note.volume)};
}

void DebugNoteModel::fill(const NoteTable& instrumentNotes) {
    beginResetModel();
    m_lines.clear();
    for (int channel = 0; channel < NoteTable::channelCount; ++channel) {
        for (int32_t slot = 1; slot <= instrumentNotes.slotBound(); ++slot) {
            const NoteRec& note = instrumentNotes.at(channel, slot);
            if (!note.isEmpty())
                m_lines.push_back({channel, slot, note});
        }
    }
    endResetModel();
}

int DebugNoteModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

int DebugNoteModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns.size());
}

QVariant DebugNoteModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || static_cast<std::size_t>(index.row()) >= m_lines.size())
        return {};
    const Line& line = m_lines[static_cast<std::size_t>(index.row())];
    return debugLineTexts(line.channel, line.slot, line.note)[static_cast<std::size_t>(index.column())];
}

QVariant DebugNoteModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    return QString::fromLatin1(columns[static_cast<std::size_t>(section)].name);
}

DebugWindow::DebugWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("winDebug"));
    setWindowTitle(QStringLiteral("Debug"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setClientSize(this, 392, 374);
    for (const ListColumn& column : columns)
        placedLabel(this, QString::fromLatin1(column.heading), column.left, 8, 57, 17);
    m_list = placed(new QTreeView(this), listLeft, 32, listRight - listLeft, 329);
    m_list->setObjectName(QStringLiteral("noteList"));
    m_list->setModel(&m_model);
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    // Every row has the same height, so the view never measures half a million of them.
    m_list->setUniformRowHeights(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (std::size_t i = 0; i + 1 < columns.size(); ++i)
        m_list->setColumnWidth(static_cast<int>(i), columns[i + 1].left - columns[i].left);
}

void DebugWindow::fill(const NoteTable& instrumentNotes) {
    m_model.fill(instrumentNotes);
}

}  // namespace tromel::dialogs
