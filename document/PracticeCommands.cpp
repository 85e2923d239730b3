// View > Metronome, Count In and Loop Selection: playing along with the song and recording to it.
#include "document/PracticeCommands.h"

#include "audio/playback/Transport.h"
#include "audio/ui/TransportControls.h"
#include "roll/NoteEditor.h"
#include "roll/PassageEditor.h"
#include "widgets/ProgramSettings.h"
#include "widgets/SettingsNotice.h"

#include <QAction>
#include <QMenu>

namespace tromel {

PracticeCommands::PracticeCommands(QObject* parent, Song& song, EditState& state, EditPort& edits,
                                   PlaybackPort& playback)
    : QObject(parent), m_song(song), m_state(state), m_edits(edits), m_playback(playback) {
    connect(&settings::SettingsNotice::instance(), &settings::SettingsNotice::inputChanged, this,
            &PracticeCommands::readSettings);
    connect(&playback, &PlaybackPort::stepHeard, this, &PracticeCommands::followLoop);
}

void PracticeCommands::addTo(QMenu* viewMenu, QAction* recordAction) {
    m_recordAction = recordAction;
    m_metronomeAction = viewMenu->addAction("Metronome", this, [](bool on) { settings::setMetronome(on); });
    m_metronomeAction->setCheckable(true);
    m_metronomeAction->setToolTip("A click on every beat while the song plays, a higher one on the first of a bar");
    m_countInAction = viewMenu->addAction("Count In", this, [](bool on) { settings::setCountIn(on); });
    m_countInAction->setCheckable(true);
    m_countInAction->setToolTip("With Record on, Play first clicks one bar with the song silent");
    m_loopAction =
        viewMenu->addAction("Loop Selection", QKeySequence("Ctrl+L"), this, &PracticeCommands::loopSelection);
    m_loopAction->setToolTip("Plays the selected columns over and over until Stop or until the selection is dropped");
    connect(m_recordAction, &QAction::toggled, this, &PracticeCommands::readSettings);
    connect(viewMenu, &QMenu::aboutToShow, this, &PracticeCommands::readSettings);
    readSettings();
}

void PracticeCommands::readSettings() {
    const bool countIn = settings::countIn();
    if (m_metronomeAction) {
        m_metronomeAction->setChecked(settings::metronome());
        m_countInAction->setChecked(countIn);
    }
    audio::Transport& transport = m_playback.transport();
    transport.setMetronome(settings::metronome());
    transport.setCountIn(countIn && m_recordAction && m_recordAction->isChecked());
}

// Without a selection of the current channel there is nothing to loop, and nothing happens.
void PracticeCommands::loopSelection() {
    m_edits.finishGesture();
    const roll::NoteSelection& selection = m_edits.noteEditor().selection();
    if (!selection.isOf(m_state))
        return;
    const std::optional<roll::ColumnSpan> columns = roll::PassageEditor(m_song, m_state).columnsOf(selection);
    if (!columns)
        return;
    m_loopHeld = false;
    m_playback.controls().playPassage(columns->first, columns->last);
}

// A selection dropped (or one of another channel) ends the loop; the song plays on.
void PracticeCommands::followLoop() {
    audio::Transport& transport = m_playback.transport();
    if (!transport.loopsPassage() || m_loopHeld)
        return;
    const roll::NoteSelection& selection = m_edits.noteEditor().selection();
    if (selection.empty() || !selection.isOf(m_state))
        transport.endPassageLoop();
}

}  // namespace tromel
