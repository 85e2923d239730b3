// The Edit menu's passage commands: the clipboard, Delete, Duplicate, Select All, All Channels, transposing and moving.
#include "document/PassageCommands.h"

#include "roll/NoteClip.h"
#include "roll/PassageEditor.h"
#include "widgets/ProgramSettings.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QWidget>

#include <span>

namespace tromel {

PassageCommands::PassageCommands(QMenu* menu, QWidget* window, roll::NoteEditor& editor, Song& song, EditState& state,
                                 Host host)
    : QObject(window), m_editor(editor), m_song(song), m_state(state), m_host(std::move(host)) {
    using roll::NoteSelection;
    using roll::PassageEditor;
    const auto move = [this](const char* name, int32_t columns, int32_t rows) {
        return [this, name, columns, rows] {
            run(name, [columns, rows](PassageEditor& passage, const NoteSelection& selection) {
                return passage.move(selection, columns, rows);
            });
        };
    };
    const auto moveBar = [this](const char* name, int direction) {
        return [this, name, direction] {
            run(name, [direction](PassageEditor& passage, const NoteSelection& selection) {
                return passage.move(selection, direction * passage.barLength(), 0);
            });
        };
    };
    menu->addSeparator();
    add(
        menu, "Cut", {QKeySequence::Cut}, [this] { cut(); }, true);
    add(
        menu, "Copy", {QKeySequence::Copy}, [this] { copy(); }, true);
    add(
        menu, "Paste", {QKeySequence::Paste}, [this] { paste(); }, false);
    add(
        menu, "Delete", {QKeySequence(Qt::Key_Delete)}, [this] { remove(); }, true);
    add(
        menu, "Duplicate", {QKeySequence("Ctrl+D")}, [this] { duplicate(); }, true);
    menu->addSeparator();
    add(
        menu, "Select All", {QKeySequence::SelectAll}, [this] { selectAll(); }, false);
    m_allChannels = menu->addAction("All Channels", this, [](bool on) { settings::setAllChannels(on); });
    m_allChannels->setObjectName("allChannels");
    m_allChannels->setCheckable(true);
    connect(menu, &QMenu::aboutToShow, this, [this] { m_allChannels->setChecked(settings::allChannels()); });
    m_allChannels->setChecked(settings::allChannels());
    menu->addSeparator();
    add(menu, "Transpose Up", {QKeySequence(Qt::Key_Up)}, move("Transpose Up", 0, -1), true);
    add(menu, "Transpose Down", {QKeySequence(Qt::Key_Down)}, move("Transpose Down", 0, 1), true);
    add(menu, "Octave Up", {QKeySequence("Ctrl+Up")}, move("Octave Up", 0, -roll::octave), true);
    add(menu, "Octave Down", {QKeySequence("Ctrl+Down")}, move("Octave Down", 0, roll::octave), true);
    m_moveLeft = add(menu, "Move Left", {QKeySequence(Qt::Key_Left)}, move("Move Left", -1, 0), true);
    m_moveRight = add(menu, "Move Right", {QKeySequence(Qt::Key_Right)}, move("Move Right", 1, 0), true);
    add(menu, "Move Left a Bar", {QKeySequence("Ctrl+Left")}, moveBar("Move Left a Bar", -1), true);
    add(menu, "Move Right a Bar", {QKeySequence("Ctrl+Right")}, moveBar("Move Right a Bar", 1), true);
    auto* escape = new QAction(this);
    escape->setShortcut(Qt::Key_Escape);
    escape->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QAction::triggered, this, &PassageCommands::selectNone);
    window->addAction(escape);
    refresh();
}

QAction* PassageCommands::add(QMenu* menu, const QString& text, const QList<QKeySequence>& keys,
                              std::function<void()> run, bool needsSelection) {
    QAction* action = menu->addAction(text, this, std::move(run));
    action->setShortcuts(keys);
    if (needsSelection)
        m_needSelection << action;
    return action;
}

void PassageCommands::refresh() {
    const bool selected = !m_editor.selection().empty() && m_editor.selection().isOf(m_state);
    for (QAction* action : m_needSelection)
        action->setEnabled(selected);
}

void PassageCommands::setArrowsTaken(bool taken) {
    m_moveLeft->setShortcuts(taken ? QList<QKeySequence>{} : QList<QKeySequence>{QKeySequence(Qt::Key_Left)});
    m_moveRight->setShortcuts(taken ? QList<QKeySequence>{} : QList<QKeySequence>{QKeySequence(Qt::Key_Right)});
}

void PassageCommands::run(const char* name, const roll::NoteEditor::PassageOperation& operation) {
    m_host.finishGesture();
    m_host.apply(m_editor.editPassage(name, operation));
    refresh();
}

void PassageCommands::copy() {
    m_host.finishGesture();
    if (m_editor.selection().empty())
        return;
    const roll::NoteClip clip = roll::PassageEditor(m_song, m_state).copy(m_editor.selection());
    const std::vector<uint8_t> bytes = clip.toBytes();
    auto* data = new QMimeData;
    data->setData(roll::noteClipMimeType,
                  QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    data->setText(QString::fromStdString(clip.toText()));
    QGuiApplication::clipboard()->setMimeData(data);
}

void PassageCommands::cut() {
    copy();
    run("Cut",
        [](roll::PassageEditor& passage, const roll::NoteSelection& selection) { return passage.remove(selection); });
}

void PassageCommands::remove() {
    run("Delete Notes",
        [](roll::PassageEditor& passage, const roll::NoteSelection& selection) { return passage.remove(selection); });
}

void PassageCommands::paste() {
    m_host.finishGesture();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasFormat(roll::noteClipMimeType))
        return;
    const QByteArray bytes = data->data(roll::noteClipMimeType);
    const roll::ClipReadResult read = roll::NoteClip::fromBytes(
        std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
    if (!read.ok()) {
        roll::EditOutcome refused;
        refused.pointer = m_editor.pointer();
        refused.status = roll::clipReadText(read.status);
        m_host.apply(std::move(refused));
        return;
    }
    const int32_t column = m_host.pasteColumn();
    const bool ownChannels = settings::allChannels() && read.clip.hasChannels();
    std::vector<int> channels;
    for (const roll::ClipPart& part : read.clip.parts())
        if (ownChannels)
            channels.push_back(part.channel);
    m_host.apply(m_editor.editPassage(
        "Paste",
        [&read, column, ownChannels](roll::PassageEditor& passage, const roll::NoteSelection&) {
            return passage.paste(read.clip, column, ownChannels);
        },
        std::move(channels)));
    refresh();
}

void PassageCommands::duplicate() {
    run("Duplicate", [](roll::PassageEditor& passage, const roll::NoteSelection& selection) {
        return passage.duplicate(selection);
    });
}

void PassageCommands::selectAll() {
    m_host.finishGesture();
    m_editor.setSelection(roll::selectAll(m_song, m_state, settings::allChannels()));
    roll::EditOutcome shown;
    shown.pointer = m_editor.pointer();
    shown.redraw = true;
    m_host.apply(std::move(shown));
    refresh();
}

void PassageCommands::selectNone() {
    if (m_editor.selection().empty())
        return;
    m_editor.setSelection({});
    roll::EditOutcome shown;
    shown.pointer = m_editor.pointer();
    shown.redraw = true;
    m_host.apply(std::move(shown));
    refresh();
}

}  // namespace tromel
