// What a document shows and where: drawing from the bars, the wheel, and the View menu.
#include "document/ViewCommands.h"

#include "audio/playback/NotePreview.h"
#include "audio/ui/TransportControls.h"
#include "document/EditCommands.h"
#include "document/PlaybackWiring.h"
#include "roll/NoteEditor.h"
#include "roll/RollGeometry.h"
#include "roll/ui/PianoRoll.h"
#include "roll/ui/RollView.h"
#include "widgets/ProgramSettings.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace tromel {
namespace {

// How often a preview waiting for its sample looks again: well within its longest wait.
constexpr int previewPollMilliseconds = 10;

}  // namespace

ViewCommands::ViewCommands(EditorContext& context, const Song& song, EditState& state, roll::PianoRoll& roll,
                           QScrollBar& xScroll, QScrollBar& yScroll, EditCommands& edits, PlaybackWiring& playback)
    : m_context(context),
      m_song(song),
      m_state(state),
      m_roll(roll),
      m_xScroll(xScroll),
      m_yScroll(yScroll),
      m_edits(edits),
      m_playback(playback) {
    m_previewTimer = new QTimer(this);
    m_previewTimer->setSingleShot(true);
    connect(m_previewTimer, &QTimer::timeout, this, [this] { m_notePreview->stop(); });
    m_previewWaitTimer = new QTimer(this);
    m_previewWaitTimer->setInterval(previewPollMilliseconds);
    connect(m_previewWaitTimer, &QTimer::timeout, this, [this] { soundPreview(m_notePreview->proceed()); });
}

ViewCommands::~ViewCommands() = default;

// The settings are shared by every window of the program.
void ViewCommands::addTo(QMenu* viewMenu) {
    viewMenu->addAction("Go to Notes", QKeySequence(Qt::Key_Home), this, &ViewCommands::goToNotes);
    m_followPlaybackAction = viewMenu->addAction("Follow Playback");
    m_followPlaybackAction->setCheckable(true);
    connect(m_followPlaybackAction, &QAction::triggered, this, &settings::setFollowPlayback);
    m_showNotesAction = viewMenu->addAction("Show Notes When Opening");
    m_showNotesAction->setCheckable(true);
    connect(m_showNotesAction, &QAction::triggered, this, &settings::setShowNotesWhenOpening);
    m_previewNotesAction = viewMenu->addAction("Preview Notes");
    m_previewNotesAction->setCheckable(true);
    connect(m_previewNotesAction, &QAction::triggered, this, &settings::setPreviewNotes);
    viewMenu->addAction("Play from Here", QKeySequence("Ctrl+Space"), this, &ViewCommands::playFromHere);
    connect(viewMenu, &QMenu::aboutToShow, this, &ViewCommands::refreshMenu);
    refreshMenu();
}

// Another window may have changed the settings since this menu was last shown.
void ViewCommands::refreshMenu() {
    m_followPlaybackAction->setChecked(settings::followPlayback());
    m_showNotesAction->setChecked(settings::showNotesWhenOpening());
    m_previewNotesAction->setChecked(settings::previewNotes());
}

roll::RollView ViewCommands::rollView() const {
    const roll::NoteEditor& editor = m_edits.noteEditor();
    roll::RollView view;
    view.notes = &m_song.notes(m_state.channelKind);
    view.currentChannel = m_state.currentChannel;
    view.viewScrollX = m_state.viewScrollX;
    view.viewScrollY = m_state.viewScrollY;
    view.playPosition = m_playback.playPosition();
    if (editor.selection().isOf(m_state))
        view.selection = &editor.selection();
    view.band = editor.band();
    return view;
}

void ViewCommands::drawRoll() {
    const QSize size = m_roll.size();
    m_state.viewScrollX = roll::viewScrollXFromBar(m_xScroll.value(), m_xScroll.maximum(), size.width());
    m_state.viewScrollY = roll::viewScrollYFromBar(m_yScroll.value(), m_yScroll.maximum(), size.height());
    m_roll.drawRoll(rollView());
}

void ViewCommands::drawNotes() {
    m_roll.drawNotes(rollView());
}

void ViewCommands::scrollByWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers) {
    int sideways = angleDelta.x();
    int upright = angleDelta.y();
    if (modifiers.testFlag(Qt::ShiftModifier) && sideways == 0)
        std::swap(sideways, upright);
    const auto step = [](QScrollBar& bar, roll::WheelScroll& wheel, int steps) {
        const int before = bar.value();
        bar.setValue(before + steps);
        if (steps != 0 && bar.value() == before)
            wheel.reset();
    };
    step(m_yScroll, m_wheelY,
         m_wheelY.turn(upright, 3 * roll::rowHeight, roll::pixelsPerStepY(m_yScroll.maximum(), m_roll.height())));
    step(m_xScroll, m_wheelX,
         m_wheelX.turn(sideways, 3 * roll::columnWidth, roll::pixelsPerStepX(m_xScroll.maximum(), m_roll.width())));
}

void ViewCommands::goToNotes() {
    const std::optional<roll::BarValues> values =
        roll::notesBarValues(m_song, m_state.channelKind, m_state.currentChannel, m_xScroll.maximum(),
                             m_yScroll.maximum(), m_roll.width(), m_roll.height());
    if (!values)
        return;
    m_xScroll.setValue(values->x);
    m_yScroll.setValue(values->y);
}

void ViewCommands::playFromHere() {
    m_edits.finishGesture();
    const roll::NoteSelection& selection = m_edits.noteEditor().selection();
    int32_t position = firstVisibleColumn();
    if (!selection.empty() && selection.isOf(m_state)) {
        const NoteTable& notes = m_song.notes(m_state.channelKind);
        position = std::numeric_limits<int32_t>::max();
        for (const int32_t slot : selection.slotIndices())
            position = std::min(position, notes.at(m_state.currentChannel, slot).position);
    }
    m_playback.controls().playFrom(position);
}

// Following playback: a cursor past the right edge or left of the notes brings the view along.
// Returns whether the view moved (and so was redrawn with the cursor).
bool ViewCommands::keepCursorInView(int32_t playPosition) {
    if (!settings::followPlayback())
        return false;
    const std::optional<int> value =
        roll::followingBarValue(playPosition, m_state.viewScrollX, m_xScroll.maximum(), m_roll.width());
    if (!value || *value == m_xScroll.value())
        return false;
    m_xScroll.setValue(*value);
    return true;
}

void ViewCommands::followPlayCursor(int32_t playPosition) {
    if (keepCursorInView(playPosition))
        return;
    const int64_t x = 16 * static_cast<int64_t>(playPosition);
    if (m_state.viewScrollX < x && x < static_cast<int64_t>(m_state.viewScrollX) + m_roll.width())
        drawRoll();
}

// A placed note sounds for as long as its length lasts at the song's tempo, a second at most.
void ViewCommands::previewNote(const NoteRec& note) {
    if (!settings::previewNotes())
        return;
    if (!m_notePreview)
        m_notePreview = std::make_unique<audio::NotePreview>(m_context.layer, m_context.sampleFolder);
    m_previewTimer->stop();
    soundPreview(m_notePreview->start(m_song, m_state.channelKind, m_state.currentChannel, note));
}

// The window never waits for a sample: the preview asks again until it sounds or gives up.
void ViewCommands::soundPreview(int milliseconds) {
    if (m_notePreview->isWaiting())
        m_previewWaitTimer->start();
    else
        m_previewWaitTimer->stop();
    if (milliseconds > 0)
        m_previewTimer->start(milliseconds);
}

int32_t ViewCommands::pasteColumn() const {
    if (m_playback.isPaused() && m_playback.playPosition() > 0)
        return m_playback.playPosition();
    return firstVisibleColumn();
}

int32_t ViewCommands::firstVisibleColumn() const {
    return (m_state.viewScrollX + roll::columnWidth - 1) / roll::columnWidth + 1;
}

}  // namespace tromel
