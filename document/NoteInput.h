// Playing notes in: the keyboard piano and MIDI keyboards, and where their notes go (step entry,
// recording) in one document window.
#pragma once

#include "audio/midi/PlayedNote.h"
#include "audio/ui/MidiInput.h"
#include "document/EditorContext.h"
#include "song/EditState.h"
#include "song/Song.h"

#include <QObject>

#include <memory>
#include <optional>

class QAction;
class QMenu;
class QWidget;

namespace tromel::audio {
class LivePreview;
}

namespace tromel::roll {
class ChannelSelector;
}

namespace tromel {

class EditPort;
class PianoKeys;
class PlaybackPort;
class PracticeCommands;
class RecordCommands;
class StepEntryCommands;
class ViewPort;

// A note played, by the keyboard piano or a MIDI keyboard, sounds on the current channel (the
// piano's through the preview path, while held and until the next; MIDI's from the receiving
// thread) and goes to recording while the song plays with Record on, else to step entry when it
// is on. The window activated last takes the MIDI keyboards' notes.
class NoteInput : public QObject, public audio::MidiTaker {
    Q_OBJECT

public:
    // The other rooms and widgets outlive this object.
    NoteInput(QWidget* window, EditorContext& context, Song& song, EditState& state, EditPort& edits, ViewPort& view,
              PlaybackPort& playback, roll::ChannelSelector& channels);
    ~NoteInput() override;

    // Step Entry, Step Length and Spread Chords into Edit; Keyboard Piano, Record, Metronome,
    // Count In and Loop Selection into View; MIDI Input... at the end of Settings.
    void addTo(QMenu* editMenu, QMenu* viewMenu, QMenu* settingsMenu);

    PianoKeys& piano() const { return *m_piano; }
    StepEntryCommands& stepEntry() const { return *m_stepEntry; }
    RecordCommands& record() const { return *m_record; }
    PracticeCommands& practice() const { return *m_practice; }
    QAction* pianoAction() const { return m_pianoAction; }

    // A note played on any keyboard.
    void play(const audio::PlayedNote& note);
    // MidiTaker: a MIDI keyboard's note, heard already.
    void takeNote(const audio::PlayedNote& note) override;
    // Settings > MIDI Input...
    void chooseMidiInputs();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void readSettings();
    void showOctave();
    void sound(const audio::PlayedNote& note);
    void takeMidi();
    void publishSound();

    QWidget* m_window;
    EditorContext& m_context;
    const Song& m_song;
    EditState& m_state;
    std::unique_ptr<PianoKeys> m_piano;
    std::unique_ptr<StepEntryCommands> m_stepEntry;
    std::unique_ptr<RecordCommands> m_record;
    std::unique_ptr<PracticeCommands> m_practice;
    ViewPort& m_view;
    QAction* m_pianoAction = nullptr;
    audio::LivePreview* m_preview = nullptr;  // the piano's sound
    std::optional<int32_t> m_sounding;        // the piano key sounding now
};

}  // namespace tromel
