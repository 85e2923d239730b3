// Playing notes in through a document window: the keyboard piano, step entry, recording and MIDI
// keyboards, the last through a MIDI source of the test's own.
#include "audio/midi/MidiSource.h"
#include "audio/mixer/KeyFrequency.h"
#include "audio/playback/Transport.h"
#include "audio/ui/MidiInput.h"
#include "audio/ui/TransportControls.h"
#include "dialogs/MidiInputDialog.h"
#include "document/DocumentWindow.h"
#include "document/NoteInput.h"
#include "document/PianoKeys.h"
#include "document/RecordCommands.h"
#include "document/StepEntryCommands.h"
#include "exchange/GeneralMidiMap.h"
#include "roll/ui/RollRuler.h"
#include "roll/ui/SpriteLayout.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "widgets/ProgramSettings.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QUndoStack>

#include <algorithm>
#include <thread>
#include <tuple>

namespace tromel::test {
namespace {

// X key codes of the keys the tests play.
constexpr uint32_t keyZ = 52, keyS = 39, keyX = 53, keyC = 54, keyQ = 24, keyL = 46;

// A key as the window system delivers it, with its place on the keyboard.
void sendKey(DocumentWindow& document, QEvent::Type type, uint32_t scanCode, Qt::Key key, bool autoRepeat = false) {
    QKeyEvent event(type, key, Qt::NoModifier, scanCode, 0, 0, QString(), autoRepeat);
    QApplication::sendEvent(document.pianoRoll(), &event);
}

// A key struck and let go; notes more than 30 ms apart are not a chord, so the next waits.
void strike(DocumentWindow& document, uint32_t scanCode, Qt::Key key) {
    sendKey(document, QEvent::KeyPress, scanCode, key);
    sendKey(document, QEvent::KeyRelease, scanCode, key);
    QTest::qWait(45);
}

// The channel's notes by position: (position, file key, length, volume).
using Entered = std::vector<std::tuple<int32_t, int32_t, int32_t, int16_t>>;
Entered notesOf(DocumentWindow& document, int channel) {
    Entered notes;
    const NoteTable& table = document.song().instrumentNotes;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
        const NoteRec& note = table.at(channel, slot);
        if (!note.isEmpty() && note.key != noKey)
            notes.emplace_back(note.position, roll::rowCount - note.key, note.length, note.volume);
    }
    std::sort(notes.begin(), notes.end());
    return notes;
}

void clearInputSettings() {
    settings::setMetronome(false);
    settings::setCountIn(false);
    settings::setKeyboardPiano(false);
    settings::setStepEntry(false);
    settings::setStepLength(1);
    settings::setSpreadChords(false);
    settings::setMidiPorts({});
}

// Stands in for the system's MIDI: two ports, messages sent by the test from a thread of its own.
class FakeMidiSource : public audio::MidiSource {
public:
    bool present = true;
    std::vector<std::string> opened;

    bool available() const override { return present; }
    std::vector<std::string> ports() override { return {"Keyboard:Keyboard MIDI 1", "Pads:Pads MIDI 1"}; }
    std::vector<std::string> open(const std::vector<std::string>& names, Receiver receiver) override {
        m_receiver = std::move(receiver);
        opened.clear();
        for (const std::string& name : names)
            if (name != "Gone:Gone MIDI 1")
                opened.push_back(name);
        return opened;
    }
    void close() override { m_receiver = nullptr; }

    // Sends the message as a port's receiving thread would.
    void send(std::vector<uint8_t> message) {
        std::thread([this, message] { m_receiver(message.data(), message.size()); }).join();
    }

private:
    Receiver m_receiver;
};

class NoteInputTest : public QObject {
    Q_OBJECT

private slots:
    void init() { clearInputSettings(); }
    void cleanup() {
        clearInputSettings();
        settings::setShowRuler(false);
    }

    // Step entry takes the keyboard piano's phrase at its cursor: each note one step of the
    // history, the lengths, Backspace, the octave keys, repeats ignored, Ctrl keys kept.
    void stepEntryTakesAPhrasePlayedOnTheKeyboardPiano() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        NoteInput& input = document.noteInput();
        QApplication::setActiveWindow(editor.mainWindow.get());
        document.rollXScroll()->setValue(10);
        // It starts at the first step of the bar at the left edge.
        const int32_t edge = document.editState().viewScrollX / roll::columnWidth + 1;
        // Off, the piano's keys play nothing and step entry takes nothing.
        QTest::keyClick(&document, Qt::Key_E, Qt::ControlModifier);
        QVERIFY(settings::stepEntry());
        const int32_t first = input.stepEntry().cursor();
        QCOMPARE(first, (edge - 1) / 16 * 16 + 1);
        QVERIFY(first > 1);
        strike(document, keyZ, Qt::Key_Z);
        QVERIFY(notesOf(document, 0).empty());

        settings::setKeyboardPiano(true);
        QVERIFY(input.pianoAction()->isChecked());
        document.editState().lastNoteVol = 120;
        strike(document, keyZ, Qt::Key_Z);                     // C4
        sendKey(document, QEvent::KeyPress, keyS, Qt::Key_S);  // C#4, held
        for (int repeat = 0; repeat < 2; ++repeat) {           // its repeats play nothing
            sendKey(document, QEvent::KeyRelease, keyS, Qt::Key_S, true);
            sendKey(document, QEvent::KeyPress, keyS, Qt::Key_S, true);
            QTest::qWait(40);
        }
        QVERIFY(editor.render(8192) > 0.01f);  // it sounds while held, and ends when let go
        sendKey(document, QEvent::KeyRelease, keyS, Qt::Key_S);
        editor.render(1024);
        QCOMPARE(editor.render(4096), 0.0f);
        QTest::qWait(45);
        settings::setStepLength(2);
        strike(document, keyX, Qt::Key_X);                     // D4 for two steps
        sendKey(document, QEvent::KeyPress, keyL, Qt::Key_L);  // no note: quiet, taken
        sendKey(document, QEvent::KeyRelease, keyL, Qt::Key_L);
        QTest::keyClick(document.pianoRoll(), Qt::Key_PageUp);
        QCOMPARE(input.piano().baseOctave(), 5);
        QVERIFY(input.pianoAction()->toolTip().contains("Z is C5"));
        strike(document, keyQ, Qt::Key_Q);  // C6
        QTRY_COMPARE(
            notesOf(document, 0),
            (Entered{{first, 48, 1, 120}, {first + 1, 49, 1, 120}, {first + 2, 50, 2, 120}, {first + 4, 72, 2, 120}}));
        QCOMPARE(input.stepEntry().cursor(), first + 6);
        QCOMPARE(document.undoStack()->count(), 4);
        QCOMPARE(document.undoStack()->undoText(), QString("Enter Note"));
        // Backspace takes the cursor back a length and the note there out; Ctrl+Z stays undo.
        QTest::keyClick(document.pianoRoll(), Qt::Key_Backspace);
        QCOMPARE(input.stepEntry().cursor(), first + 4);
        QCOMPARE(notesOf(document, 0).size(), std::size_t{3});
        for (int undo = 0; undo < 3; ++undo)
            QTest::keyClick(&document, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(notesOf(document, 0), (Entered{{first, 48, 1, 120}, {first + 1, 49, 1, 120}}));
        // The octave stays within 0 to 6.
        for (int press = 0; press < 9; ++press)
            QTest::keyClick(document.pianoRoll(), Qt::Key_PageDown);
        QCOMPARE(input.piano().baseOctave(), 0);
        for (int press = 0; press < 9; ++press)
            QTest::keyClick(document.pianoRoll(), Qt::Key_PageUp);
        QCOMPARE(input.piano().baseOctave(), 6);
    }

    // Notes struck within 30 ms are a chord: its top note on the current channel, or spread over
    // the next free channels; one step of the history either way.
    void chordsGoInTopNoteOrSpread() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        settings::setKeyboardPiano(true);
        settings::setStepEntry(true);
        const int32_t at = document.noteInput().stepEntry().cursor();
        document.editState().lastNoteVol = 100;
        const auto chord = [&document] {
            for (const auto& [code, key] : {std::pair{keyZ, Qt::Key_Z}, {keyC, Qt::Key_C}, {keyQ, Qt::Key_Q}})
                sendKey(document, QEvent::KeyPress, code, key);
            for (const auto& [code, key] : {std::pair{keyZ, Qt::Key_Z}, {keyC, Qt::Key_C}, {keyQ, Qt::Key_Q}})
                sendKey(document, QEvent::KeyRelease, code, key);
        };
        chord();
        QTRY_COMPARE(notesOf(document, 0), (Entered{{at, 60, 1, 100}}));
        QVERIFY(notesOf(document, 1).empty());
        settings::setSpreadChords(true);
        chord();
        QTRY_COMPARE(notesOf(document, 0), (Entered{{at, 60, 1, 100}, {at + 1, 60, 1, 100}}));
        QCOMPARE(notesOf(document, 1), (Entered{{at + 1, 52, 1, 100}}));
        QCOMPARE(notesOf(document, 2), (Entered{{at + 1, 48, 1, 100}}));
        QCOMPARE(document.undoStack()->count(), 2);
        QCOMPARE(document.undoStack()->undoText(), QString("Enter Chord"));
        document.undoStack()->undo();
        QVERIFY(notesOf(document, 1).empty() && notesOf(document, 2).empty());
    }

    // While step entry is on Left and Right move its cursor, not the selection, and Alt+click on
    // the roll or the ruler puts it there; off, they are the selection's again.
    void theEditCursorMovesByArrowsAndAltClicks() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QApplication::setActiveWindow(editor.mainWindow.get());
        StepEntryCommands& entry = document.noteInput().stepEntry();
        settings::setShowRuler(true);
        const int32_t row = document.editState().viewScrollY / roll::rowHeight + 4;
        const int32_t first = (document.editState().viewScrollX + roll::columnWidth - 1) / roll::columnWidth + 1;
        click(document, cell(document, first + 2, row));
        QTest::keyClick(&document, Qt::Key_A, Qt::ControlModifier);
        const Entered placed{{first + 2, roll::rowCount - row, 1, 166}};
        QCOMPARE(notesOf(document, 0), placed);

        settings::setStepEntry(true);
        QCOMPARE(entry.cursor(), 1);  // the first step of a new song, brought into view
        QCOMPARE(document.editState().viewScrollX, 0);
        entry.moveCursorTo(first);
        QTest::keyClick(&document, Qt::Key_Right);
        QTest::keyClick(&document, Qt::Key_Right);
        QTest::keyClick(&document, Qt::Key_Left);
        QCOMPARE(entry.cursor(), first + 1);
        QCOMPARE(notesOf(document, 0), placed);  // the selection stayed
        const QPoint altClicked = cell(document, first + 5, row);
        drag(document, altClicked, altClicked, Qt::LeftButton, Qt::AltModifier);
        QCOMPARE(entry.cursor(), first + 5);
        QCOMPARE(notesOf(document, 0), placed);  // the click placed no note
        emit document.findChild<roll::RollRuler*>("rollRuler")->columnAltClicked(first + 9);
        QCOMPARE(entry.cursor(), first + 9);
        // The cursor is drawn in a colour of its own.
        QTRY_COMPARE(document.pianoRoll()->picture().pixel(
                         int(roll::columnLeftX(first + 9, document.editState().viewScrollX)), 5),
                     opaque(roll::sprite::editCursorLine));
        // Past the right edge, the view comes along.
        const int scrolled = document.rollXScroll()->value();
        entry.moveCursorTo(first + 300);
        QVERIFY(document.rollXScroll()->value() > scrolled);
        const int64_t x = roll::columnLeftX(first + 300, document.editState().viewScrollX);
        QVERIFY(x >= roll::keyStripWidth && x < document.pianoRoll()->width());

        settings::setStepEntry(false);
        QTest::keyClick(&document, Qt::Key_A, Qt::ControlModifier);
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left})
            QTest::keyClick(&document, key);
        QCOMPARE(notesOf(document, 0), (Entered{{first + 3, roll::rowCount - row, 1, 166}}));
    }

    // Recording to the metronome with a count-in, all three chosen in the View menu: Play first
    // clicks one bar (2 beats of 2 steps) with the song silent, then the song plays and clicks on
    // its beats, each click on its step's frame and the first of a bar louder. Notes played in the
    // count-in are not recorded; the others go in at the steps heard, for as long as they were
    // held; the pass up to Pause is one step of the history.
    void recordsToAMetronomeWithACountIn() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        NoteInput& input = document.noteInput();
        document.song().tempo = 100;  // 4410 frames a step
        document.song().loopEnd = 64;
        document.song().stepsPerBar = 2;
        document.song().beatsPerStep = 2;
        const auto playing = [&] {
            document.transportControls().playButton()->click();
            QTRY_VERIFY(document.transport().state() == audio::TransportState::Playing &&
                        !document.transport().isPreparing());
            editor.render(512);
            QTRY_VERIFY(document.transport().stepGrid().has_value());
        };
        for (const char* item : {"Metronome", "Count In"})
            menuEntry(document, item)->trigger();
        playing();  // without Record, Play does not count in
        QCOMPARE(document.transport().stepGrid()->countIn, 0);
        document.transportControls().stopButton()->click();
        menuEntry(document, "Record")->trigger();
        QVERIFY(settings::metronome() && settings::countIn() && input.record().recordAction()->isChecked());
        settings::setStepEntry(true);  // recording takes the notes first
        const int32_t cursor = 20;
        input.stepEntry().moveCursorTo(cursor);
        playing();
        const audio::StepGrid grid = *document.transport().stepGrid();
        QCOMPARE(grid.countIn, 4);
        // The count-in's two clicks and the song's first three beats, as the output plays them.
        const int64_t captured = editor.layer.renderedFrames() - editor.layer.outputLatencyFrames();
        const auto at = [&](int64_t n) { return grid.startFrame + audio::stepFrame(n, 100) - captured; };
        const std::vector<float> heardOutput = editor.capture(static_cast<int>(at(10)));
        std::vector<int64_t> onsets;
        for (std::size_t i = 1; i < heardOutput.size(); ++i)
            if (heardOutput[i - 1] == 0.0f && heardOutput[i] != 0.0f)
                onsets.push_back(static_cast<int64_t>(i));
        QCOMPARE(onsets, (std::vector<int64_t>{at(1), at(3), at(5), at(7), at(9)}));
        const auto peakAt = [&](int64_t n) {
            const auto from = heardOutput.begin() + at(n);
            return std::abs(
                *std::max_element(from, from + 2000, [](float a, float b) { return std::abs(a) < std::abs(b); }));
        };
        QVERIFY(peakAt(1) > 1.5f * peakAt(3) && peakAt(5) > 1.5f * peakAt(7));
        // The moment step n of the run and a fraction of the next were heard, the clock played
        // on to just before it (or further already).
        const auto heard = [&](int64_t n, double fraction) {
            const int64_t frame = grid.startFrame + audio::stepFrame(n, 100) + static_cast<int64_t>(fraction * 4410) +
                                  editor.layer.outputLatencyFrames();
            while (editor.layer.clockStamp().frame + 1024 <= frame)
                editor.render(512);
            const audio::AudioClockStamp stamp = editor.layer.clockStamp();
            return stamp.nanoseconds + (frame - stamp.frame) * 1'000'000'000 / audio::outputRate;
        };
        input.play({true, 45, 90, heard(2, 0.1)});
        input.play({false, 45, 0, heard(2, 0.3)});
        QTRY_COMPARE(document.statusText(), QString("Notes played during the count-in were not recorded"));
        // Held 2.7 steps from 0.2 after the song's step 3; then 0.4 step from 0.45 after step 7,
        // which the output's latency counted the wrong way would take past the middle of the step.
        input.play({true, 50, 90, heard(4 + 3, 0.2)});
        input.play({false, 50, 0, heard(4 + 5, 0.9)});
        input.play({true, 53, 70, heard(4 + 7, 0.45)});
        input.play({false, 53, 0, heard(4 + 7, 0.85)});
        document.transportControls().pauseButton()->click();
        const Entered recorded{{3, 50, 3, 90}, {7, 53, 1, 70}};
        QTRY_COMPARE(notesOf(document, 0), recorded);
        QCOMPARE(document.undoStack()->count(), 1);
        // Paused, a note played goes to step entry again.
        input.play({true, 60, 100, audio::steadyNanoseconds()});
        input.play({false, 60, 0, audio::steadyNanoseconds()});
        Entered entered = recorded;
        entered.emplace_back(cursor, 60, 1, 100);
        std::sort(entered.begin(), entered.end());
        QTRY_COMPARE(notesOf(document, 0), entered);
        document.undoStack()->undo();
        document.undoStack()->undo();
        QVERIFY(notesOf(document, 0).empty());
    }

    // Ctrl+L plays the selected columns over and over, the song's loop untouched; dropping the
    // selection ends the loop and the song plays on.
    void loopSelectionPlaysThePassageUntilTheSelectionIsDropped() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song() = songWith({{0, {5, 40, 2, 6, 100}}, {0, {7, 40, 2, 6, 100}}}, document.song());
        document.editState().noteCounts[0][0] = 2;
        document.song().tempo = 10;
        QApplication::setActiveWindow(editor.mainWindow.get());
        document.activateWindow();
        QTest::keyClick(&document, Qt::Key_A, Qt::ControlModifier);  // select the channel: columns 5 to 8
        QTest::keyClick(&document, Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(document.transport().state() == audio::TransportState::Playing &&
                    !document.transport().isPreparing());
        QVERIFY(document.transport().loopsPassage());
        std::vector<int32_t> heard;
        while (heard.size() < 12) {
            editor.render(441);
            heard.push_back(document.transport().playPosition());
        }
        // The step ending a pass shows the column before the passage, as the song's loop end does.
        QVERIFY(std::all_of(heard.begin() + 1, heard.end(), [](int32_t p) { return p >= 4 && p <= 7; }));
        QVERIFY(std::count(heard.begin(), heard.end(), 7) >= 2);
        QCOMPARE(document.song().loopBegin, Song().loopBegin);
        QCOMPARE(document.song().loopEnd, Song().loopEnd);
        QTest::keyClick(&document, Qt::Key_Escape);
        QTRY_VERIFY((editor.render(441), !document.transport().loopsPassage()));
        for (int i = 0; i < 8; ++i)
            editor.render(441);
        QVERIFY(document.transport().playPosition() > 8);

        // Recording over the loop takes the selection when it places its notes; the loop lasts until Stop.
        document.transportControls().stopButton()->click();
        menuEntry(document, "Record")->trigger();
        QTest::keyClick(&document, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&document, Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(document.transport().state() == audio::TransportState::Playing &&
                    !document.transport().isPreparing());
        editor.render(441);
        document.noteInput().play({true, 60, 100, audio::steadyNanoseconds()});
        editor.render(441);
        document.noteInput().play({false, 60, 0, audio::steadyNanoseconds()});
        const auto recorded = [&document] {
            const Entered notes = notesOf(document, 0);
            return std::any_of(notes.begin(), notes.end(), [](const auto& note) { return std::get<1>(note) == 60; });
        };
        QTRY_VERIFY((editor.render(441), recorded()));
        for (int i = 0; i < 8; ++i) {
            editor.render(441);
            QTest::qWait(20);  // each step heard is looked at
        }
        QVERIFY(document.transport().loopsPassage());
        document.transportControls().stopButton()->click();
        QVERIFY(!document.transport().loopsPassage());
    }

    // MIDI notes sound at once on the current channel's wave and go into step entry with their
    // velocity as volume; the dialog lists and opens the ports and remembers the choice.
    void midiKeyboardsPlayAndEnterNotes() {
        TestEditor editor;
        auto* source = new FakeMidiSource;
        audio::MidiInput midi(editor.layer, editor.context.sampleFolder, std::unique_ptr<audio::MidiSource>(source));
        editor.context.midi = &midi;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QTRY_VERIFY(midi.router().sound().channel != 0);  // the current channel's wave is ready
        source->send({0x90, 72, 100});
        QVERIFY(editor.render(2048) > 0.01f);
        source->send({0x80, 72, 0});
        QTest::qWait(50);  // the window has taken the note, and left it: step entry was off

        settings::setStepEntry(true);
        const int32_t at = document.noteInput().stepEntry().cursor();
        source->send({0x91, 60, 64});
        source->send({0x81, 60, 0});
        QTRY_COMPARE(notesOf(document, 0),
                     (Entered{{at, 48, 1, static_cast<int16_t>(exchange::volumeOfVelocity(64))}}));

        dialogs::MidiInputDialog dialog(&midi);
        QListWidget* ports = dialog.portList();
        QCOMPARE(ports->count(), 2);
        ports->item(1)->setCheckState(Qt::Checked);
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(settings::midiPorts(), QStringList{"Pads:Pads MIDI 1"});
        QCOMPARE(midi.openPorts(), QStringList{"Pads:Pads MIDI 1"});
        document.closeWithoutAsking();
        document.closeWindow();
        editor.context.midi = nullptr;

        // Without MIDI the dialog says so and offers nothing to choose.
        source->present = false;
        dialogs::MidiInputDialog none(&midi);
        QCOMPARE(none.findChild<QLabel*>("labelMidi")->text(), QString(dialogs::MidiInputDialog::noMidiText));
        QVERIFY(none.portList() == nullptr);
    }
};

const bool registered = registerUiTest<NoteInputTest>();

}  // namespace
}  // namespace tromel::test

#include "NoteInputTest.moc"
