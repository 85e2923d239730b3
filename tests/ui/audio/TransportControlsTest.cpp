// Play, Pause, Stop, the mute boxes and the play cursor, on the device-less mixer driven by hand.
#include "app/ProgramSettings.h"
#include "audio/ui/TransportControls.h"
#include "document/DocumentWindow.h"
#include "roll/RollGeometry.h"
#include "roll/ui/PianoRoll.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"

#include <QCheckBox>
#include <QMdiArea>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace tromel::test {
namespace {

constexpr int framesPerStep = 44100 * 50 / 1000;  // at a tempo of 50 ms a step
constexpr float silent = 1e-4f;
constexpr float audible = 0.01f;

// A new window holding one long note on instrument channel 0, looping over sixteen steps.
DocumentWindow& documentWithALoop(TestEditor& editor) {
    DocumentWindow& document = *editor.mainWindow->newFile();
    document.song().tempo = 50;
    document.song().loopEnd = 16;
    document.song().instrumentNotes.grow(1);
    document.song().instrumentNotes.at(0, 1) = NoteRec{1, 48, 16, 6, 200};
    return document;
}

void click(QWidget* document, const char* name) {
    QTest::mouseClick(document->findChild<QPushButton*>(name), Qt::LeftButton);
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
        const QTimer* blitTimer = document.transportControls().playBlitTimer();

        click(&document, "playButton");
        QCOMPARE(transport.state(), audio::TransportState::Playing);
        QVERIFY(blitTimer->isActive());
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
        QVERIFY(!blitTimer->isActive());
        const int32_t paused = transport.playPosition();
        editor.render(framesPerStep * 3);
        QCOMPARE(transport.playPosition(), paused);
        QVERIFY(editor.render(2048) < silent);

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
        QVERIFY(!blitTimer->isActive());

        // Played with the position out of view, the roll is left alone.
        document.rollXScroll()->setValue(640);
        const QImage before = document.pianoRoll()->picture().copy();
        click(&document, "playButton");
        editor.render(framesPerStep * 3);
        document.transportControls().checkHeardStep();
        QVERIFY(transport.playPosition() > 0);
        QCOMPARE(document.pianoRoll()->picture(), before);
        QVERIFY(editor.prompts.messages.isEmpty());
    }

    // Following playback, the view jumps whenever the cursor passes the right edge or the loop
    // takes it back left of the view; it is on screen at every step.
    void followPlaybackKeepsTheCursorInView() {
        TestEditor editor;
        DocumentWindow& document = documentWithALoop(editor);
        document.song().loopBegin = 20;
        document.song().loopEnd = 150;
        settings::setFollowPlayback(true);
        click(&document, "playButton");
        int jumps = 0;
        for (int step = 1; step <= 260; ++step) {
            const int before = document.rollXScroll()->value();
            editor.render(framesPerStep);
            document.transportControls().checkHeardStep();
            const int32_t position = document.transport().playPosition();
            QVERIFY2(position == 0 || cursorAt(document, position),
                     qPrintable(QString("step %1 at %2").arg(step).arg(position)));
            jumps += document.rollXScroll()->value() != before;
        }
        settings::setFollowPlayback(false);
        QVERIFY(jumps >= 8);
    }

    void aTickedMuteBoxOrClosingTheWindowSilencesTheInstrument() {
        TestEditor editor;
        DocumentWindow& document = documentWithALoop(editor);
        QCheckBox* mute = document.findChildren<QCheckBox*>("muteCheck").at(0);
        for (bool muted : {true, false}) {
            click(&document, "stopButton");
            mute->setChecked(muted);
            click(&document, "playButton");
            editor.render(framesPerStep);
            const float peak = editor.render(framesPerStep * 2);
            QVERIFY2(muted ? peak < silent : peak > audible, muted ? "muted" : "unmuted");
        }
        QPointer<DocumentWindow> watch(&document);
        editor.mainWindow->mdiArea()->closeAllSubWindows();
        QTRY_VERIFY(watch.isNull());
        editor.render(1024);
        QVERIFY(editor.render(framesPerStep * 4) < silent);
    }

    void aSongThatCannotPlayIsRefusedWithAMessage() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song().loopEnd = 0;
        click(&document, "playButton");
        QCOMPARE(document.transport().state(), audio::TransportState::Stopped);
        QVERIFY(!document.transportControls().playBlitTimer()->isActive());
        QCOMPARE(editor.prompts.messages.size(), 1);
        QCOMPARE(editor.prompts.messages[0].icon, MessageIcon::Warning);
    }
};

const bool registered = registerUiTest<TransportControlsTest>();

}  // namespace
}  // namespace tromel::test

#include "TransportControlsTest.moc"
