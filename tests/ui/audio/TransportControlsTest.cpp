// Play, Pause, Stop, the mute boxes and the play cursor, on the device-less mixer driven by hand.
#include "app/EditorStart.h"
#include "audio/ui/MuteSolo.h"
#include "audio/ui/TransportControls.h"
#include "document/DocumentWindow.h"
#include "roll/RollGeometry.h"
#include "roll/ViewScroll.h"
#include "roll/ui/PianoRoll.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "widgets/ProgramSettings.h"

#include <QCheckBox>
#include <QMdiArea>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QUndoStack>

#include <sndfile.h>

namespace tromel::test {
namespace {

constexpr int framesPerStep = 44100 * 50 / 1000;  // at a tempo of 50 ms a step
constexpr float silent = 1e-4f;
constexpr float audible = 0.01f;
constexpr int preparationWait = 60000;  // ms: preparing samples is slow in sanitizer builds

// A new window holding one long note on instrument channel 0, looping over sixteen steps.
DocumentWindow& documentWithALoop(TestEditor& editor) {
    DocumentWindow& document = *editor.mainWindow->newFile();
    document.song() = songWith({{0, NoteRec{1, 48, 16, 6, 200}}}, document.song());
    document.song().tempo = 50;
    document.song().loopEnd = 16;
    return document;
}

void click(QWidget* document, const char* name) {
    QTest::mouseClick(document->findChild<QPushButton*>(name), Qt::LeftButton);
}

// A steady level, `frames` long at 44100 Hz.
void writeSteadyWav(const QString& path, int frames) {
    SF_INFO info{0, 44100, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    QVERIFY(file);
    const std::vector<float> level(static_cast<std::size_t>(frames), 0.5f);
    sf_writef_float(file, level.data(), frames);
    sf_close(file);
}

// Play, and wait while the samples are prepared (the window's timer starts the song).
void clickPlay(DocumentWindow& document) {
    click(&document, "playButton");
    QTRY_VERIFY_WITH_TIMEOUT(!document.transport().isPreparing(), preparationWait);
}

bool cursorAt(DocumentWindow& document, int32_t playPosition) {
    const int64_t x = roll::cursorX(playPosition, document.editState().viewScrollX);
    return qRed(document.pianoRoll()->picture().pixel(static_cast<int>(x) + 5, 5)) == 255;
}

class TransportControlsTest : public QObject {
    Q_OBJECT

private slots:
    void playPauseResumeStopWithTheCursorOnTheHeardStep() {
        TestEditor editor;
        DocumentWindow& document = documentWithALoop(editor);
        document.rollXScroll()->setValue(0);
        const audio::Transport& transport = document.transport();
        // A song that cannot play is refused with a message.
        document.song().loopEnd = 0;
        click(&document, "playButton");
        QCOMPARE(transport.state(), audio::TransportState::Stopped);
        QCOMPARE(editor.prompts.messages.size(), 1);
        QCOMPARE(editor.prompts.messages[0].icon, MessageIcon::Warning);
        document.song().loopEnd = 16;

        clickPlay(document);
        QCOMPARE(transport.state(), audio::TransportState::Playing);
        QCOMPARE(document.statusText(), QString("Current Channel: Instrument #1"));
        // The cursor shows the step heard, not the one being prepared.
        editor.render(framesPerStep * 4 + 100);
        document.transportControls().checkHeardStep();
        const int32_t heard = transport.playPosition();
        QVERIFY(heard >= 4);
        QVERIFY(cursorAt(document, heard) && !cursorAt(document, heard + 1));
        QVERIFY(editor.render(512) > audible);

        click(&document, "pauseButton");
        QCOMPARE(transport.state(), audio::TransportState::Paused);
        const int32_t paused = transport.playPosition();  // its silence and standstill are the core's

        // Resuming does not compile again: the status text is left as it was.
        document.setStatusText("Mute");
        click(&document, "playButton");
        QCOMPARE(transport.state(), audio::TransportState::Playing);
        QCOMPARE(document.statusText(), QString("Mute"));
        editor.render(framesPerStep * 2 + 100);
        QVERIFY(transport.playPosition() > paused);

        click(&document, "stopButton");
        QCOMPARE(transport.state(), audio::TransportState::Stopped);
        QCOMPARE(transport.playPosition(), 0);

        // Played with the position out of view, the roll is left alone.
        document.rollXScroll()->setValue(640);
        const QImage before = document.pianoRoll()->picture().copy();
        clickPlay(document);
        editor.render(framesPerStep * 3);
        document.transportControls().checkHeardStep();
        QVERIFY(transport.playPosition() > 0);
        QCOMPARE(document.pianoRoll()->picture(), before);
        QCOMPARE(editor.prompts.messages.size(), 1);
    }

    // Play from Here starts at the first column in view (or the selection's first step), one
    // step after the press as Play does; Preview Notes sounds a placed note and changes nothing.
    void playFromHereAndPreviewNotes() {
        TestEditor editor;
        DocumentWindow& document = documentWithALoop(editor);
        document.song().instrumentNotes.grow(2);
        document.song().instrumentNotes.at(0, 1) = NoteRec{1, 48, 1, 6, 200};
        document.song().instrumentNotes.at(0, 2) = NoteRec{9, 48, 1, 6, 200};
        document.editState().noteCounts[0][0] = 2;
        document.rollXScroll()->setValue(0);
        document.rollXScroll()->setValue(1);  // columns 1 and 2 partly hidden: column 3 comes first
        QApplication::setActiveWindow(editor.mainWindow.get());
        QTest::keyClick(&document, Qt::Key_Space, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!document.transport().isPreparing(), preparationWait);
        editor.render(framesPerStep + 200);  // past the mixer's latency too
        QCOMPARE(document.transport().playPosition(), 3);
        QVERIFY(editor.render(framesPerStep * 5) < silent);  // steps 4 to 8: nothing sounds yet
        QVERIFY(editor.render(framesPerStep) > audible);     // step 9
        click(&document, "stopButton");
        editor.render(framesPerStep * 4);

        // A wave playback has not prepared: the preview waits for the sample worker, then sounds.
        document.song().instruments[0].wave = 60;
        const std::vector<uint8_t> before = writeOrgBytes(document.song());
        settings::setPreviewNotes(true);
        document.undoStack()->clear();
        QWidget* roll = document.pianoRoll();
        const QPoint cell(64 + 16 * 11 - document.editState().viewScrollX + 6,
                          12 * 14 + 6 - document.editState().viewScrollY);
        QTest::mouseMove(roll, cell);
        QTest::mouseClick(roll, Qt::LeftButton, Qt::NoModifier, cell);
        settings::setPreviewNotes(false);
        QTRY_VERIFY(editor.render(512) > audible);
        QTRY_VERIFY(editor.render(512) < silent);  // a step at the song's tempo, then it fades
        QCOMPARE(document.transport().state(), audio::TransportState::Stopped);
        document.undoStack()->undo();
        QCOMPARE(writeOrgBytes(document.song()), before);
    }

    // Ctrl+click solos a channel through the boxes: every other box of both kinds ticked, the box
    // itself clear; again, the boxes as they were; on another box, the solo moves. Nothing of it
    // is an edit.
    void ctrlClickOnAMuteBoxSolosItsChannel() {
        TestEditor editor;
        DocumentWindow& document = documentWithALoop(editor);
        const QList<QCheckBox*> boxes = document.findChildren<QCheckBox*>("muteCheck");
        const auto ticked = [&] {
            QString marks;
            for (QCheckBox* box : boxes)
                marks += box->isChecked() ? 'x' : '.';
            return marks;
        };
        const auto ctrlClick = [&](int box) {
            QTest::mouseClick(boxes[box], Qt::LeftButton, Qt::ControlModifier, boxes[box]->rect().center());
        };
        boxes[9]->setChecked(true);
        QCOMPARE(boxes[3]->toolTip(), QString("Mute (Ctrl+click: solo)"));
        const auto look = [&](int box) { return boxes[box]->grab().toImage(); };
        const QImage clear = look(3);
        ctrlClick(3);
        QCOMPARE(ticked(), QString("xxx.xxxxxxxxxxxx"));
        QVERIFY(look(3) != clear);  // the soloed box is marked, unlike a box left clear by hand
        QCOMPARE(boxes[3]->toolTip(), QString("Solo (Ctrl+click puts the mute boxes back)"));
        clickPlay(document);
        editor.render(framesPerStep);
        QVERIFY(editor.render(framesPerStep * 2) < silent);  // channel 1's note is muted
        click(&document, "stopButton");
        ctrlClick(0);
        QCOMPARE(ticked(), QString(".xxxxxxxxxxxxxxx"));
        clickPlay(document);
        editor.render(framesPerStep);
        QVERIFY(editor.render(framesPerStep * 2) > audible);
        QCOMPARE(look(3), look(4));
        ctrlClick(0);
        QCOMPARE(ticked(), QString(".........x......"));
        QCOMPARE(look(0), clear);
        QCOMPARE(document.undoStack()->count(), 0);
        // A plain click while soloed leaves the boxes as they are from then on.
        ctrlClick(5);
        QTest::mouseClick(boxes[6], Qt::LeftButton, Qt::NoModifier, boxes[6]->rect().center());
        QVERIFY(!document.transportControls().solo().soloed());
        QCOMPARE(look(5), clear);
        ctrlClick(5);
        QCOMPARE(ticked(), QString("xxxxx.xxxxxxxxxx"));
    }

    // Listen in the instrument dialog sounds the chosen wave at file key 57, A 440, through the
    // preview for half a second; with Preview Notes on, a click on a key of the keyboard sounds
    // that key on the current channel.
    void listenAndTheKeyboardSoundTheirKeys() {
        TestEditor editor;
        DocumentWindow& document = documentWithALoop(editor);
        QVERIFY(editor.startUntilHeard([&] { document.listen(0, 2, 0); }));
        editor.capture(4410);
        QVERIFY(std::abs(pitchOf(editor.capture(8820)) - 440.0) < 9.0);
        QTest::qWait(200);    // past the listened note's own step, within the half second
        editor.render(2048);  // what a note ended then would take to fade
        QVERIFY(editor.render(2048) > audible);
        QTest::qWait(400);
        editor.render(2048);
        QVERIFY(editor.render(4096) < silent);

        document.rollYScroll()->setValue(roll::nearestBarValueForScrollY(12 * 36, 65, 452));
        const auto keyAt = [&](int32_t fileKey) {
            return QPoint(30, int(roll::rowTopY(96 - fileKey, document.editState().viewScrollY)) + 6);
        };
        const QPoint key = keyAt(57);
        test::click(document, key);
        QVERIFY(editor.render(4096) < silent);  // Preview Notes is off
        settings::setPreviewNotes(true);
        test::click(document, key);
        test::click(document, keyAt(45));  // A3: the last click sounds
        settings::setPreviewNotes(false);
        editor.capture(2205);
        QVERIFY(std::abs(pitchOf(editor.capture(8820)) - 220.0) < 4.5);
        QVERIFY(document.song().instrumentNotes.at(0, 2).isEmpty() && document.undoStack()->count() == 0);
    }

    // A long sample is prepared while the window goes on: the progress bar counts the files, and
    // Stop, Pause and closing the window each do what they would while playing.
    void longSamplesArePreparedWhileTheWindowStaysResponsive() {
        TestEditor editor;
        QTemporaryDir samples;
        const QString bank = TROMEL_BIN_DIR "/Processed ORG Samples/";
        for (const char* name : {"M01.wav", "D01.wav"})
            QFile::copy(bank + name, samples.filePath(name));
        for (int wave = 1; wave <= 3; ++wave)  // two seconds each
            writeSteadyWav(samples.filePath(QString("M0%1.wav").arg(wave + 1)), 2 * 44100);
        editor.context.sampleFolder = QFile::encodeName(samples.path()).toStdString();
        DocumentWindow& document = documentWithALoop(editor);
        const auto* progress = document.findChild<QProgressBar*>("ProgressBar1");
        const audio::Transport& transport = document.transport();

        document.song().instruments[0].wave = 1;
        click(&document, "playButton");
        QVERIFY(transport.isPreparing());
        QCOMPARE(transport.state(), audio::TransportState::Playing);
        QCOMPARE(progress->maximum(), 16);
        QCOMPARE(document.statusText(), QString("Compiling ORG..."));
        QTRY_VERIFY_WITH_TIMEOUT(!transport.isPreparing(), preparationWait);
        QCOMPARE(document.statusText(), QString("Current Channel: Instrument #1"));
        editor.render(framesPerStep);
        QVERIFY(editor.render(framesPerStep * 2) > audible);

        document.song().instruments[0].wave = 2;
        click(&document, "playButton");
        QVERIFY(transport.isPreparing());  // checked at once, before any timer runs
        click(&document, "stopButton");
        QVERIFY(!transport.isPreparing());
        QCOMPARE(progress->value(), 0);
        QCOMPARE(document.statusText(), QString("Current Channel: Instrument #1"));
        QTest::qWait(100);
        editor.render(1024);
        QVERIFY(editor.render(framesPerStep * 4) < silent);

        document.song().instruments[0].wave = 3;
        click(&document, "playButton");
        click(&document, "pauseButton");
        QTest::qWait(800);
        QVERIFY(transport.isPreparing());
        QVERIFY(editor.render(framesPerStep * 4) < silent);
        clickPlay(document);
        QCOMPARE(transport.state(), audio::TransportState::Playing);
        editor.render(framesPerStep);
        QVERIFY(editor.render(framesPerStep * 2) > audible);

        click(&document, "stopButton");
        document.song().instruments[0].wave = 4;  // M05.wav: the bank's own, not prepared yet
        QFile::copy(bank + "M05.wav", samples.filePath("M05.wav"));
        click(&document, "playButton");
        QPointer<DocumentWindow> watch(&document);
        editor.mainWindow->mdiArea()->closeAllSubWindows();
        QTRY_VERIFY(watch.isNull());
        editor.render(1024);
        QVERIFY(editor.render(framesPerStep * 4) < silent);
        QVERIFY(editor.prompts.messages.isEmpty());
    }

    // Commands that found the mixer's queue full are posted by the editor's timer.
    void commandsThatFoundTheQueueFullGoOutWithoutAUserAction() {
        TestEditor editor;
        QObject owner;
        retryPendingCommands(editor.layer, &owner);
        const audio::Handle channel = editor.layer.channelFromSample(
            editor.layer.loadSample(TROMEL_BIN_DIR "/Processed ORG Samples/M01.wav", true, 1));
        for (int i = 0; i < 20000; ++i)
            editor.layer.setChannelAttributes(channel, 0, audio::largestVolume, 0);
        editor.layer.playChannel(channel);
        QVERIFY(editor.render(2048) < silent);
        QTest::qWait(100);
        QVERIFY(editor.render(2048) > audible);
    }
};

const bool registered = registerUiTest<TransportControlsTest>();

}  // namespace
}  // namespace tromel::test

#include "TransportControlsTest.moc"
