// What a document shows and where: drawing from the bars, the wheel, and the View menu.
#include "document/ViewCommands.h"

#include "audio/ui/LivePreview.h"
#include "audio/ui/TransportControls.h"
#include "document/GoToBar.h"
#include "document/PositionReadout.h"
#include "document/ZoomCommands.h"
#include "roll/NoteEditor.h"
#include "roll/RollGeometry.h"
#include "roll/ui/PianoRoll.h"
#include "roll/ui/RollRuler.h"
#include "roll/ui/RollView.h"
#include "song/KeysAndPans.h"
#include "widgets/ProgramSettings.h"
#include "widgets/SettingsNotice.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>

#include <algorithm>
#include <limits>

namespace tromel {
namespace {

constexpr int32_t listenedKey = rowOfFileKey(int32_t{57});  // A4
constexpr int listenMilliseconds = 500;

}  // namespace

ViewCommands::ViewCommands(EditorContext& context, const Song& song, EditState& state, roll::PianoRoll& roll,
                           QScrollBar& xScroll, QScrollBar& yScroll, QStatusBar& statusBar, EditPort& edits,
                           PlaybackPort& playback, std::function<void()> relayout)
    : m_context(context),
      m_song(song),
      m_state(state),
      m_roll(roll),
      m_xScroll(xScroll),
      m_yScroll(yScroll),
      m_edits(edits),
      m_playback(playback),
      m_relayout(std::move(relayout)),
      m_zoom(std::make_unique<ZoomCommands>(
          state, roll, xScroll, yScroll, [this] { drawRoll(); }, [this] { return keptByZoom(); })),
      m_readout(std::make_unique<PositionReadout>(roll.parentWidget(), statusBar, state, playback.controls())) {
    m_preview = new audio::LivePreview(m_context.layer, m_context.sampleFolder, this);
    connect(&m_roll, &roll::PianoRoll::pointerMoved, this,
            [this](QPoint at) { m_readout->pointerAt(at, m_roll.height()); });
    connect(&m_roll, &roll::PianoRoll::pointerLeft, this, [this] { m_readout->pointerLeft(); });
    connect(&settings::SettingsNotice::instance(), &settings::SettingsNotice::viewChanged, this, [this] {
        const bool hadRuler = m_readout->isShown();
        readOptions();
        if (m_readout->isShown() != hadRuler)
            m_relayout();
        drawRoll();
    });
    readOptions();
}

ViewCommands::~ViewCommands() = default;

// The settings are shared by every window of the program.
void ViewCommands::addTo(QMenu* viewMenu) {
    viewMenu->addAction("Go to Notes", QKeySequence(Qt::Key_Home), this, &ViewCommands::goToNotes);
    new GoToBar(this, viewMenu, m_song, m_state, m_xScroll, m_roll, m_playback);
    m_followPlaybackAction = addSwitch(viewMenu, "Follow Playback", &settings::setFollowPlayback);
    m_showNotesAction = addSwitch(viewMenu, "Show Notes When Opening", &settings::setShowNotesWhenOpening);
    m_previewNotesAction = addSwitch(viewMenu, "Preview Notes", &settings::setPreviewNotes);
    viewMenu->addAction("Play from Here", QKeySequence("Ctrl+Space"), this, &ViewCommands::playFromHere);
    viewMenu->addSeparator();
    m_gridFollowsSongAction = addSwitch(viewMenu, "Grid Follows the Song", &settings::setGridFollowsSong);
    m_showLoopAction = addSwitch(viewMenu, "Show Loop", &settings::setShowLoop);
    m_showRulerAction = addSwitch(viewMenu, "Show Ruler", &settings::setShowRuler);
    viewMenu->addSeparator();
    m_zoom->addTo(viewMenu);
    viewMenu->addSeparator();
    m_rememberLayoutAction = addSwitch(viewMenu, "Remember Window Layout", &settings::setRememberLayout);
    connect(viewMenu, &QMenu::aboutToShow, this, &ViewCommands::refreshMenu);
    refreshMenu();
}

QAction* ViewCommands::addSwitch(QMenu* menu, const char* text, void (*set)(bool)) {
    QAction* action = menu->addAction(text);
    action->setCheckable(true);
    connect(action, &QAction::triggered, this, set);
    return action;
}

// Another window may have changed the settings since this menu was last shown.
void ViewCommands::refreshMenu() {
    m_followPlaybackAction->setChecked(settings::followPlayback());
    m_showNotesAction->setChecked(settings::showNotesWhenOpening());
    m_previewNotesAction->setChecked(settings::previewNotes());
    m_gridFollowsSongAction->setChecked(settings::gridFollowsSong());
    m_showLoopAction->setChecked(settings::showLoop());
    m_showRulerAction->setChecked(settings::showRuler());
    m_rememberLayoutAction->setChecked(settings::rememberLayout());
}

// What the roll draws beside the written roll, kept here rather than read at every redraw.
void ViewCommands::readOptions() {
    m_gridFollowsSong = settings::gridFollowsSong();
    m_showLoop = settings::showLoop();
    m_readout->setShown(settings::showRuler());
}

roll::RollScale ViewCommands::scale() const {
    return m_zoom->scale();
}

roll::RollRuler* ViewCommands::ruler() const {
    return m_readout->ruler();
}

int ViewCommands::rulerHeight() const {
    return m_readout->rulerHeight();
}

void ViewCommands::setPianoOctave(std::optional<int> octave) {
    m_readout->setPianoOctave(octave);
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
    view.scale = scale();
    view.meter = roll::GridMeter::of(m_song, m_gridFollowsSong);
    if (m_showLoop)
        view.loop = roll::LoopSpan{m_song.loopBegin, m_song.loopEnd};
    view.editCursor = m_editCursor;
    return view;
}

void ViewCommands::drawRoll() {
    const QSize size = m_roll.size();
    const roll::RollScale cells = scale();
    m_state.viewScrollX = roll::viewScrollXFromBar(m_xScroll.value(), m_xScroll.maximum(), size.width(), cells);
    m_state.viewScrollY = roll::viewScrollYFromBar(m_yScroll.value(), m_yScroll.maximum(), size.height(), cells);
    m_drawnHeader = {m_song.stepsPerBar, m_song.beatsPerStep, m_song.loopBegin, m_song.loopEnd};
    const roll::RollView view = rollView();
    m_roll.drawRoll(view);
    m_readout->setView(cells, view.meter);
}

bool ViewCommands::headerOutOfDate() const {
    const bool showsHeader = m_gridFollowsSong || m_showLoop || m_readout->isShown();
    return showsHeader &&
           !(m_drawnHeader == DrawnHeader{m_song.stepsPerBar, m_song.beatsPerStep, m_song.loopBegin, m_song.loopEnd});
}

void ViewCommands::drawNotes() {
    if (headerOutOfDate())
        drawRoll();
    else
        m_roll.drawNotes(rollView());
}

void ViewCommands::songChanged() {
    if (headerOutOfDate())
        drawRoll();
}

void ViewCommands::scrollByWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers, QPointF position) {
    int sideways = angleDelta.x();
    int upright = angleDelta.y();
    if (modifiers.testFlag(Qt::ControlModifier)) {
        m_zoom->turnWheel(upright != 0 ? upright : sideways, position);
        return;
    }
    if (modifiers.testFlag(Qt::ShiftModifier) && sideways == 0)
        std::swap(sideways, upright);
    const auto step = [](QScrollBar& bar, roll::WheelScroll& wheel, int steps) {
        const int before = bar.value();
        bar.setValue(before + steps);
        if (steps != 0 && bar.value() == before)
            wheel.reset();
    };
    const roll::RollScale cells = scale();
    step(
        m_yScroll, m_wheelY,
        m_wheelY.turn(upright, 3 * cells.rowHeight, roll::pixelsPerStepY(m_yScroll.maximum(), m_roll.height(), cells)));
    step(m_xScroll, m_wheelX,
         m_wheelX.turn(sideways, 3 * cells.columnWidth,
                       roll::pixelsPerStepX(m_xScroll.maximum(), m_roll.width(), cells)));
}

void ViewCommands::goToNotes() {
    const std::optional<roll::BarValues> values =
        roll::notesBarValues(m_song, m_state.channelKind, m_state.currentChannel, m_xScroll.maximum(),
                             m_yScroll.maximum(), m_roll.width(), m_roll.height(), scale());
    if (!values)
        return;
    m_xScroll.setValue(values->x);
    m_yScroll.setValue(values->y);
}

void ViewCommands::playFromHere() {
    m_edits.finishGesture();
    const roll::NoteSelection& selection = m_edits.noteEditor().selection();
    const int32_t first =
        selection.isOf(m_state) ? roll::firstSelectedPosition(m_song.notes(m_state.channelKind), selection) : 0;
    const int32_t position = first > 0 ? first : firstVisibleColumn();
    m_playback.controls().playFrom(position);
}

// Following playback: a cursor past the right edge or left of the notes brings the view along.
// Returns whether the view moved (and so was redrawn with the cursor).
bool ViewCommands::keepCursorInView(int32_t playPosition) {
    if (!settings::followPlayback())
        return false;
    const std::optional<int> value =
        roll::followingBarValue(playPosition, m_state.viewScrollX, m_xScroll.maximum(), m_roll.width(), scale());
    if (!value || *value == m_xScroll.value())
        return false;
    m_xScroll.setValue(*value);
    return true;
}

void ViewCommands::followPlayCursor(int32_t playPosition) {
    m_readout->stepHeard(playPosition);
    if (keepCursorInView(playPosition))
        return;
    const int64_t x = scale().columnWidth * static_cast<int64_t>(playPosition);
    if (m_state.viewScrollX < x && x < static_cast<int64_t>(m_state.viewScrollX) + m_roll.width())
        drawRoll();
}

// A placed note sounds for as long as its length lasts at the song's tempo, a second at most.
void ViewCommands::previewNote(const NoteRec& note) {
    if (!settings::previewNotes())
        return;
    m_preview->play(m_song, m_state.channelKind, m_state.currentChannel, note, 0);
}

// The wave or drum chosen in the dialog, which the song does not hold yet.
void ViewCommands::listen(int kind, int channel, int number) {
    Song listened;
    (kind == 0 ? listened.instruments : listened.drums)[static_cast<std::size_t>(channel)].wave =
        static_cast<int16_t>(number);
    m_preview->play(listened, kind, channel, NoteRec{1, listenedKey, 1, m_state.lastNotePan, m_state.lastNoteVol},
                    listenMilliseconds);
}

int32_t ViewCommands::pasteColumn() const {
    if (m_playback.isPaused() && m_playback.playPosition() > 0)
        return m_playback.playPosition();
    return firstVisibleColumn();
}

// Notes entered past either edge of the view bring it along, as Follow Playback does.
void ViewCommands::setEditCursor(int32_t column) {
    m_editCursor = column;
    const std::optional<int> value =
        roll::followingBarValue(column, m_state.viewScrollX, m_xScroll.maximum(), m_roll.width(), scale());
    if (value && *value != m_xScroll.value())
        m_xScroll.setValue(*value);
    drawNotes();
}

int32_t ViewCommands::firstVisibleColumn() const {
    const int32_t cw = scale().columnWidth;
    return (m_state.viewScrollX + cw - 1) / cw + 1;
}

void ViewCommands::showOpenedNotes() {
    goToNotes();
    const std::optional<NoteRec> first = roll::noteToGoTo(m_song, m_state.channelKind, m_state.currentChannel);
    const roll::RollScale cells = scale();
    if (!first || roll::noteBoxX(first->position, 0, cells) + cells.boxWidth() <= m_roll.width())
        m_xScroll.setValue(0);
}

int32_t ViewCommands::leftEdgeBarColumn() const {
    const int32_t edgeColumn = m_state.viewScrollX / scale().columnWidth + 1;
    const roll::GridMeter meter = roll::GridMeter::of(m_song, m_gridFollowsSong);
    return static_cast<int32_t>((meter.barOf(edgeColumn) - 1) * meter.barColumns + 1);
}

// Zooming by keys keeps step entry's cursor where it stands, else the play cursor, when in view.
std::optional<int32_t> ViewCommands::keptByZoom() const {
    for (const int32_t column : {m_editCursor, m_playback.playPosition()}) {
        const int64_t x = roll::columnLeftX(column, m_state.viewScrollX, scale());
        if (column > 0 && x >= roll::keyStripWidth && x < m_roll.width())
            return column;
    }
    return std::nullopt;
}

}  // namespace tromel
