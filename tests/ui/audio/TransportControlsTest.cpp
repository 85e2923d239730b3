// Play, Pause, Stop, the mute boxes and the play cursor, on the device-less mixer driven by hand.
#include "audio/ui/TransportControls.h"
#include "document/DocumentWindow.h"
#include "roll/RollGeometry.h"
#include "roll/ui/PianoRoll.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"

#include <QCheckBox>
#include <QMdiArea>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace tromel::test {
namespace {

constexpr int tempo = 50;                            // milliseconds per step
constexpr int framesPerStep = 44100 * tempo / 1000;  // 2205

Song loopingSong() {
    Song song;
    song.tempo = tempo;
    song.loopEnd = 16;
    song.instrumentNotes.grow(1);
    song.instrumentNotes.at(0, 1) = NoteRec{1, 48, 16, 6, 200};
    return song;
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
    void playPauseResumeStop() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song() = loopingSong();
        document.rollXScroll()->setValue(0);
        audio::TransportControls& controls = document.transportControls();

        click(&document, "playButton");
        QCOMPARE(document.transport().state(), audio::TransportState::Playing);
        QVERIFY(controls.playBlitTimer()->isActive());
        QCOMPARE(document.statusText(), QString("Current Channel: Instrument #1"));
        QCOMPARE(document.findChild<QProgressBar*>("ProgressBar1")->value(), 0);

        editor.render(framesPerStep * 4 + 100);
        controls.checkHeardStep();
        const int32_t heard = document.transport().playPosition();
        QVERIFY(heard >= 4);
        QVERIFY(cursorAt(document, heard));
        QVERIFY(!cursorAt(document, heard + 1));
        QVERIFY(editor.renderPeak(512) > 0.01f);

        click(&document, "pauseButton");
        QCOMPARE(document.transport().state(), audio::TransportState::Paused);
        QVERIFY(!controls.playBlitTimer()->isActive());
        const int32_t paused = document.transport().playPosition();
        editor.render(framesPerStep * 3);
        QCOMPARE(document.transport().playPosition(), paused);
        QVERIFY(editor.renderPeak(2048) < 1e-4f);

        // Resuming does not compile again: the status text is left as it was.
        document.setStatusText("Mute");
        click(&document, "playButton");
        QCOMPARE(document.transport().state(), audio::TransportState::Playing);
        QCOMPARE(document.statusText(), QString("Mute"));
        editor.render(framesPerStep * 2 + 100);
        QVERIFY(document.transport().playPosition() > paused);

        click(&document, "stopButton");
        QCOMPARE(document.transport().state(), audio::TransportState::Stopped);
        QCOMPARE(document.transport().playPosition(), 0);
        QVERIFY(!controls.playBlitTimer()->isActive());
        QVERIFY(editor.prompts.messages.isEmpty());
    }

    void theCursorIsNotRedrawnWhileThePositionIsOutOfView() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song() = loopingSong();
        document.rollXScroll()->setValue(640);
        const QImage before = document.pianoRoll()->picture().copy();
        click(&document, "playButton");
        editor.render(framesPerStep * 3);
        document.transportControls().checkHeardStep();
        QVERIFY(document.transport().playPosition() > 0);
        QCOMPARE(document.pianoRoll()->picture(), before);
    }

    void aTickedMuteBoxSilencesItsInstrument() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song() = loopingSong();
        QCheckBox* mute = document.findChildren<QCheckBox*>("muteCheck").at(0);
        QCOMPARE(mute->property("index").toInt(), 0);
        mute->setChecked(true);
        click(&document, "playButton");
        editor.render(framesPerStep);
        QVERIFY(editor.renderPeak(framesPerStep * 2) < 1e-4f);
        click(&document, "stopButton");
        mute->setChecked(false);
        click(&document, "playButton");
        editor.render(framesPerStep);
        QVERIFY(editor.renderPeak(framesPerStep * 2) > 0.01f);
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

    void closingAPlayingWindowSilencesItsInstruments() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song() = loopingSong();
        click(&document, "playButton");
        editor.render(framesPerStep);
        QVERIFY(editor.renderPeak(1024) > 0.01f);
        QPointer<DocumentWindow> watch(&document);
        editor.mainWindow->mdiArea()->closeAllSubWindows();
        QTRY_VERIFY(watch.isNull());
        editor.render(1024);
        QVERIFY(editor.renderPeak(framesPerStep * 4) < 1e-4f);
    }
};

const bool registered = registerUiTest<TransportControlsTest>();

}  // namespace
}  // namespace tromel::test

#include "TransportControlsTest.moc"
