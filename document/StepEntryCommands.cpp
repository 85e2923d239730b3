// Edit > "Step Entry": notes played in go in one after another at an edit cursor.
#include "document/StepEntryCommands.h"
#include "audio/AudioLayer.h"

#include "roll/NoteEntry.h"
#include "widgets/ProgramSettings.h"
#include "widgets/SettingsNotice.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace tromel {
namespace {

constexpr int32_t lastColumn = std::numeric_limits<int32_t>::max();

}  // namespace

StepEntryCommands::StepEntryCommands(QWidget* window, Song& song, EditState& state, EditPort& edits, ViewPort& view,
                                     std::function<void(const std::string&)> showStatus)
    : QObject(window), m_song(song), m_state(state), m_edits(edits), m_view(view), m_showStatus(std::move(showStatus)) {
    m_chordTimer = new QTimer(this);
    m_chordTimer->setSingleShot(true);
    connect(m_chordTimer, &QTimer::timeout, this, &StepEntryCommands::placeDue);
    m_keys << addKey(window, QKeySequence(Qt::Key_Left), [this] { moveCursorTo(m_cursor - 1); })
           << addKey(window, QKeySequence(Qt::Key_Right), [this] { moveCursorTo(m_cursor + 1); })
           << addKey(window, QKeySequence(Qt::Key_Backspace), [this] { backspace(); });
    connect(&settings::SettingsNotice::instance(), &settings::SettingsNotice::inputChanged, this,
            &StepEntryCommands::readSettings);
    readSettings();
}

QAction* StepEntryCommands::addKey(QWidget* window, const QKeySequence& keys, std::function<void()> run) {
    auto* action = new QAction(this);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, std::move(run));
    window->addAction(action);
    return action;
}

void StepEntryCommands::addTo(QMenu* editMenu) {
    editMenu->addSeparator();
    m_stepEntryAction =
        editMenu->addAction("Step Entry", QKeySequence("Ctrl+E"), this, [](bool on) { settings::setStepEntry(on); });
    m_stepEntryAction->setCheckable(true);
    QMenu* lengths = editMenu->addMenu("Step Length");
    m_lengths = new QActionGroup(this);
    for (const int steps : {1, 2, 4, 8}) {
        QAction* length = lengths->addAction(QString("%1 step%2").arg(steps).arg(steps == 1 ? "" : "s"));
        length->setCheckable(true);
        length->setData(steps);
        m_lengths->addAction(length);
        connect(length, &QAction::triggered, this, [steps] { settings::setStepLength(steps); });
    }
    m_spreadAction = editMenu->addAction("Spread Chords", this, [](bool on) { settings::setSpreadChords(on); });
    m_spreadAction->setCheckable(true);
    connect(editMenu, &QMenu::aboutToShow, this, &StepEntryCommands::refreshMenu);
    refreshMenu();
}

// Another window may have changed the settings since this menu was last shown.
void StepEntryCommands::refreshMenu() {
    m_stepEntryAction->setChecked(settings::stepEntry());
    m_spreadAction->setChecked(settings::spreadChords());
    for (QAction* length : m_lengths->actions())
        length->setChecked(length->data().toInt() == settings::stepLength());
}

// Turned on, the cursor comes to the first step of the bar at the view's left edge (the song's
// first step on a song just opened); Left and Right are step entry's.
void StepEntryCommands::readSettings() {
    const bool on = settings::stepEntry();
    if (m_stepEntryAction)
        refreshMenu();
    for (QAction* key : m_keys)
        key->setEnabled(on);
    if (on == m_on)
        return;
    m_on = on;
    m_edits.setArrowsTaken(on);
    if (on)
        m_cursor = m_view.leftEdgeBarColumn();
    else if (const auto chord = m_chords.takeAll())
        place(*chord);
    m_view.setEditCursor(on ? m_cursor : 0);
}

void StepEntryCommands::moveCursorTo(int32_t column) {
    if (!m_on)
        return;
    m_cursor = std::clamp(column, 1, lastColumn);
    m_view.setEditCursor(m_cursor);
}

void StepEntryCommands::noteOn(const audio::PlayedNote& note) {
    if (!m_on)
        return;
    if (const auto chord = m_chords.add({note.fileKey, note.volume, note.nanoseconds}))
        place(*chord);
    const int64_t wait = *m_chords.dueAt() - audio::steadyNanoseconds();
    m_chordTimer->start(static_cast<int>(std::clamp<int64_t>(wait / 1'000'000 + 1, 0, 1000)));
}

void StepEntryCommands::placeDue() {
    if (const auto chord = m_chords.takeDue(audio::steadyNanoseconds()))
        place(*chord);
    else if (m_chords.dueAt())
        m_chordTimer->start(1);
}

void StepEntryCommands::place(const std::vector<roll::ChordNote>& chord) {
    const int32_t length = settings::stepLength();
    std::vector<roll::EnteredNote> notes;
    for (const roll::ChordNote& note : chord)
        notes.push_back({note.fileKey, length, note.volume});
    m_edits.dropSelection();
    roll::EntryOutcome outcome = roll::placeChord(m_song, m_state, chord.size() > 1 ? "Enter Chord" : "Enter Note",
                                                  m_cursor, std::move(notes), settings::spreadChords());
    if (outcome.status)
        m_showStatus(*outcome.status);
    if (outcome.edit)
        m_edits.recordNotes(std::move(*outcome.edit));
    if (outcome.placed)
        moveCursorTo(static_cast<int32_t>(std::min<int64_t>(int64_t{m_cursor} + length, lastColumn)));
}

void StepEntryCommands::backspace() {
    if (!m_on)
        return;
    const int32_t length = settings::stepLength();
    moveCursorTo(m_cursor - length);
    m_edits.dropSelection();
    roll::EntryOutcome outcome = roll::removeNotesAt(m_song, m_state, "Remove Note", m_cursor, length);
    if (outcome.edit)
        m_edits.recordNotes(std::move(*outcome.edit));
}

}  // namespace tromel
