// Playing notes in: the keyboard piano and MIDI keyboards, and where their notes go.
#include "document/NoteInput.h"

#include "audio/ui/LivePreview.h"
#include "dialogs/MidiInputDialog.h"
#include "document/EditPort.h"
#include "document/PianoKeys.h"
#include "document/PlaybackPort.h"
#include "document/PracticeCommands.h"
#include "document/RecordCommands.h"
#include "document/StepEntryCommands.h"
#include "document/ViewPort.h"
#include "roll/RollGeometry.h"
#include "roll/ui/ChannelSelector.h"
#include "roll/ui/RollMouseHooks.h"
#include "roll/ui/RollRuler.h"
#include "song/KeysAndPans.h"
#include "widgets/ProgramSettings.h"
#include "widgets/SettingsNotice.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QUndoStack>
#include <QWidget>

namespace tromel {

NoteInput::NoteInput(QWidget* window, EditorContext& context, Song& song, EditState& state, EditPort& edits,
                     ViewPort& view, PlaybackPort& playback, roll::ChannelSelector& channels)
    : QObject(window), m_window(window), m_context(context), m_song(song), m_state(state), m_view(view) {
    const auto status = [&playback](const std::string& text) { playback.setStatusText(text); };
    // The piano plays at the last note volume, as a click on the roll places a note.
    m_piano = std::make_unique<PianoKeys>(window, [this](audio::PlayedNote note) {
        if (note.on)
            note.volume = m_state.lastNoteVol;
        sound(note);
        play(note);
    });
    m_stepEntry = std::make_unique<StepEntryCommands>(window, song, state, edits, view, status);
    m_record = std::make_unique<RecordCommands>(this, context.layer, song, state, edits, playback, status);
    m_practice = std::make_unique<PracticeCommands>(this, song, state, edits, playback);
    connect(m_record.get(), &RecordCommands::selectionTaken, m_practice.get(), &PracticeCommands::holdLoop);
    m_preview = new audio::LivePreview(context.layer, context.sampleFolder, this);
    // Alt+click on the roll or the ruler puts the edit cursor there while step entry is on.
    edits.takeAltPresses([this](const roll::RollPointer& pointer) {
        if (!m_stepEntry->isOn() || pointer.x < roll::keyStripWidth)
            return false;
        m_stepEntry->moveCursorTo(roll::getColumnFromX(pointer.x, m_state.viewScrollX, m_view.scale()));
        return true;
    });
    connect(view.ruler(), &roll::RollRuler::columnAltClicked, m_stepEntry.get(), &StepEntryCommands::moveCursorTo);
    connect(m_piano.get(), &PianoKeys::baseOctaveChanged, this, &NoteInput::showOctave);
    connect(&channels, &roll::ChannelSelector::channelSelected, this, &NoteInput::publishSound);
    connect(edits.history(), &QUndoStack::indexChanged, this, &NoteInput::publishSound);
    connect(&settings::SettingsNotice::instance(), &settings::SettingsNotice::inputChanged, this,
            &NoteInput::readSettings);
    window->installEventFilter(this);
    readSettings();
    takeMidi();
}

NoteInput::~NoteInput() {
    if (m_context.midi)
        m_context.midi->dropTaker(this);
}

void NoteInput::addTo(QMenu* editMenu, QMenu* viewMenu, QMenu* settingsMenu) {
    m_stepEntry->addTo(editMenu);
    viewMenu->addSeparator();
    m_pianoAction = viewMenu->addAction("Keyboard Piano", this, [](bool on) { settings::setKeyboardPiano(on); });
    m_pianoAction->setCheckable(true);
    viewMenu->setToolTipsVisible(true);
    m_record->addTo(viewMenu);
    m_practice->addTo(viewMenu, m_record->recordAction());
    settingsMenu->addAction("MIDI Input...", this, &NoteInput::chooseMidiInputs);
    connect(viewMenu, &QMenu::aboutToShow, this, [this] { m_pianoAction->setChecked(settings::keyboardPiano()); });
    readSettings();
}

void NoteInput::readSettings() {
    m_piano->setOn(settings::keyboardPiano());
    if (m_pianoAction)
        m_pianoAction->setChecked(m_piano->isOn());
    showOctave();
}

// The base octave in the menu item's tooltip and, while the piano is on, at the readout's end.
void NoteInput::showOctave() {
    const int octave = m_piano->baseOctave();
    if (m_pianoAction)
        m_pianoAction->setToolTip(
            QString("Letter and digit keys play notes: Z is C%1, Q is C%2; Page Up and Page Down move the octave")
                .arg(octave)
                .arg(octave + 1));
    m_view.setPianoOctave(m_piano->isOn() ? std::optional<int>(octave) : std::nullopt);
}

void NoteInput::play(const audio::PlayedNote& note) {
    if (m_record->take(note))
        return;
    if (note.on)
        m_stepEntry->noteOn(note);
}

void NoteInput::takeNote(const audio::PlayedNote& note) {
    play(note);
}

// The piano sounds through the preview: a note while its key is held, at most until the next.
void NoteInput::sound(const audio::PlayedNote& note) {
    if (!note.on) {
        if (m_sounding == note.fileKey) {
            m_preview->stop();
            m_sounding.reset();
        }
        return;
    }
    m_preview->play(m_song, m_state.channelKind, m_state.currentChannel,
                    NoteRec{1, rowOfFileKey(note.fileKey), 1, m_state.lastNotePan, note.volume},
                    audio::LivePreview::untilStopped);
    m_sounding = note.fileKey;
}

// The window activated last takes the MIDI keyboards' notes, and they sound on its current channel.
bool NoteInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::ActivationChange && m_window->isActiveWindow())
        takeMidi();
    return false;
}

void NoteInput::takeMidi() {
    if (!m_context.midi)
        return;
    m_context.midi->setTaker(this);
    publishSound();
}

void NoteInput::publishSound() {
    if (!m_context.midi || m_context.midi->taker() != this)
        return;
    const bool drum = m_state.channelKind == 1;
    m_context.midi->setSound(drum, m_song.settings(drum ? 1 : 0)[static_cast<std::size_t>(m_state.currentChannel)].wave,
                             m_state.lastNotePan);
}

void NoteInput::chooseMidiInputs() {
    dialogs::MidiInputDialog dialog(m_context.midi, m_window);
    dialog.exec();
}

}  // namespace tromel
