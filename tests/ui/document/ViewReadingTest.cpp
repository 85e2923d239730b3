// Reading a song in a document window: the written roll with the settings off, the song's grid and
// loop, the ruler and its readout, zoom, and the File menu's recent songs, multiple Open and Close.
#include "audio/ui/TransportControls.h"
#include "document/DocumentWindow.h"
#include "document/NoteInput.h"
#include "document/PositionReadout.h"
#include "document/StepEntryCommands.h"
#include "document/ViewCommands.h"
#include "roll/ui/RollRenderer.h"
#include "roll/ui/RollRuler.h"
#include "roll/ui/RollView.h"
#include "roll/ui/SpriteLayout.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "widgets/ProgramSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QScrollBar>
#include <QUndoStack>
#include <QWheelEvent>

namespace tromel::test {
namespace {

namespace sprite = roll::sprite;

// A song counting 3 bars of 8 steps, looping from step 8 to 40, with a note on the first channel.
Song songInThree() {
    Song song = songWith({{0, NoteRec{30, 40, 2, 6, 200}}});
    song.stepsPerBar = 3;
    song.beatsPerStep = 8;
    song.loopBegin = 8;
    song.loopEnd = 40;
    return song;
}

void setViewSettings(bool grid, bool loop, bool ruler) {
    settings::setGridFollowsSong(grid);
    settings::setShowLoop(loop);
    settings::setShowRuler(ruler);
}

// The written roll of the document's song and view, drawn by the renderer alone.
QImage writtenRoll(TestEditor& editor, DocumentWindow& document) {
    const roll::PianoRoll& roll = *document.pianoRoll();
    roll::RollView view;
    view.notes = &document.song().notes(document.editState().channelKind);
    view.viewScrollX = document.editState().viewScrollX;
    view.viewScrollY = document.editState().viewScrollY;
    QImage buffer(roll.size(), QImage::Format_RGB32);
    QImage picture = buffer;
    const roll::RollRenderer renderer(editor.pictures);
    renderer.drawRoll(buffer, view);
    renderer.drawNotes(picture, buffer, view);
    return picture;
}

// The label of a bar line in the ruler, or -1.
int rulerLabelAt(DocumentWindow& document, int x) {
    for (const auto& [labelX, number] : document.findChild<roll::RollRuler*>("rollRuler")->labels()) {
        if (labelX == x)
            return number;
    }
    return -1;
}

class ViewReadingTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        setViewSettings(false, false, false);
        settings::setZoom(100, 100);
        settings::setStepEntry(false);
    }

    // Every setting off (as they start): the roll is the written one, pixel for pixel, and keeps
    // its written place. With the grid following a song of the written 4 x 4 the pixels are the same.
    void withTheSettingsOffTheRollIsAsWritten() {
        TestEditor editor;
        Song song = songInThree();
        song.stepsPerBar = 4;
        song.beatsPerStep = 4;
        editor.prompts.answers.push_back(editor.writeSong("four.org", song));
        DocumentWindow& document = *editor.mainWindow->clickOpen();
        QCOMPARE(document.pianoRoll()->geometry(), QRect(0, 16, 577, 452));
        QVERIFY(!document.findChild<QWidget*>("rollRuler")->isVisible());
        QVERIFY(!document.findChild<QLabel*>("positionReadout")->isVisible());
        QCOMPARE(document.pianoRoll()->picture(), writtenRoll(editor, document));
        settings::setGridFollowsSong(true);
        QCOMPARE(document.pianoRoll()->picture(), writtenRoll(editor, document));
    }

    // The song's bars and loop are drawn, and drawn again when Song Settings change them.
    void theGridAndLoopFollowTheSongSettings() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song() = songInThree();
        document.rollXScroll()->setValue(0);
        document.rollYScroll()->setValue(0);
        const auto lineX = [&](int32_t column) { return int(roll::columnLeftX(column + 1, 0)) - 1; };
        const QImage& picture = document.pianoRoll()->picture();
        const auto barLineAt = [&](int32_t column) {
            return picture.pixel(lineX(column), 3) == opaque(sprite::whiteLaneLine);
        };
        setViewSettings(true, true, false);
        QVERIFY(barLineAt(24) && !barLineAt(16) && !barLineAt(32));  // a solid line on the dotless pixel row
        QCOMPARE(picture.pixel(lineX(8), 3), opaque(sprite::loopLine));
        const SongHeader before = SongHeader::of(document.song());
        document.song().stepsPerBar = 2;  // bars of 16 steps
        document.song().loopBegin = 4;
        document.recordEdit(SongEdit::ofHeader("Song Settings", before, SongHeader::of(document.song())));
        QVERIFY(barLineAt(16) && !barLineAt(24) && barLineAt(32));
        QCOMPARE(picture.pixel(lineX(4), 3), opaque(sprite::loopLine));
        document.undoStack()->undo();
        QVERIFY(barLineAt(24) && !barLineAt(16));
        setViewSettings(false, false, false);
        QCOMPARE(picture, writtenRoll(editor, document));
    }

    // The ruler numbers the bars of the grid in use above the roll; the readout says where the
    // pointer is, and while playing where the song is; a click on the ruler while paused moves
    // the play position.
    void theRulerAndTheReadout() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song().loopEnd = 200;
        settings::setShowRuler(true);
        QCOMPARE(document.pianoRoll()->geometry(), QRect(0, 32, 577, 436));
        QCOMPARE(document.findChild<QWidget*>("rollRuler")->geometry(), QRect(0, 16, 577, 16));
        document.rollXScroll()->setValue(roll::barValueAtOrBelowScrollX(16 * 60, 1280, 577));
        document.rollYScroll()->setValue(roll::nearestBarValueForScrollY(12 * 40, 65, 436));
        const int32_t scroll = document.editState().viewScrollX;
        QVERIFY(scroll <= 16 * 64 && scroll > 16 * 50);
        QCOMPARE(rulerLabelAt(document, int(roll::columnLeftX(65, scroll)) + 2), 5);
        settings::setGridFollowsSong(true);
        document.song().stepsPerBar = 3;
        document.song().beatsPerStep = 8;
        document.drawRoll();
        QCOMPARE(rulerLabelAt(document, int(roll::columnLeftX(73, scroll)) + 2), 4);
        settings::setGridFollowsSong(false);

        const auto readout = [&] { return document.findChild<QLabel*>("positionReadout")->text(); };
        const auto point = [&](int32_t column, int32_t row) {
            return QPoint(int(roll::columnLeftX(column, scroll)) + 5,
                          int(roll::rowTopY(row, document.editState().viewScrollY)) + 5);
        };
        sendMouse(document.pianoRoll(), QEvent::MouseMove, point(69, 96 - 49), Qt::NoButton);
        QCOMPARE(readout(), QString("Bar 5 \u00B7 Beat 2 \u00B7 Step 69 \u00B7 C#4"));
        sendMouse(document.pianoRoll(), QEvent::MouseMove, QPoint(30, point(1, 96 - 57).y()), Qt::NoButton);
        QCOMPARE(readout(), QString("A4"));
        sendMouse(document.pianoRoll(), QEvent::MouseMove, QPoint(point(70, 1).x(), 436 - 20), Qt::NoButton);
        QCOMPARE(readout(), QString("Bar 5 \u00B7 Beat 2 \u00B7 Step 70"));
        // With the keyboard piano on, the readout ends with the piano's base octave.
        settings::setKeyboardPiano(true);
        QCOMPARE(readout(), QString("Bar 5 \u00B7 Beat 2 \u00B7 Step 70 \u00B7 Piano from C4"));
        settings::setKeyboardPiano(false);
        // The readout stands left of the progress bar.
        const QWidget* label = document.findChild<QLabel*>("positionReadout");
        QVERIFY(label->mapTo(&document, QPoint(label->width(), 0)).x() <=
                document.findChild<QWidget*>("ProgressBar1")->x());

        auto& controls = document.transportControls();
        controls.play();
        QTRY_VERIFY_WITH_TIMEOUT(!document.transport().isPreparing(), 60000);
        editor.render(44100 * 128 / 1000 * 3 + 200);
        controls.checkHeardStep();
        QCOMPARE(readout(), QString("Bar 1 \u00B7 Beat 1 \u00B7 Step %1").arg(document.transport().playPosition()));
        controls.pause();
        QTest::mouseClick(document.findChild<QWidget*>("rollRuler"), Qt::LeftButton, Qt::NoModifier,
                          QPoint(point(70, 1).x(), 8));
        QCOMPARE(controls.playPosition(), 70);
        QVERIFY(qRed(document.pianoRoll()->picture().pixel(int(roll::cursorX(70, scroll)) + 5, 5)) == 255);
        controls.play();
        QTRY_VERIFY_WITH_TIMEOUT(!document.transport().isPreparing(), 60000);
        editor.render(44100 * 128 / 1000 + 200);
        QCOMPARE(document.transport().playPosition(), 70);
        controls.stop();
        QTest::mouseClick(document.findChild<QWidget*>("rollRuler"), Qt::LeftButton, Qt::NoModifier, QPoint(300, 8));
        QCOMPARE(controls.playPosition(), 0);  // stopped: a click moves nothing
        settings::setShowRuler(false);
        QCOMPARE(document.pianoRoll()->geometry(), QRect(0, 16, 577, 452));
    }

    // Zoom In and Out step both directions together; the last choice is what new windows take;
    // the bars still reach the song's end; a click lands where the roll draws it; Ctrl and the
    // wheel zoom at the pointer.
    void zoomStepsBothWaysAndHitsWhatItDraws() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QApplication::setActiveWindow(editor.mainWindow.get());
        const auto zoom = [&] { return QList<int>{document.editState().zoomX, document.editState().zoomY}; };
        QTest::keyClick(document.pianoRoll(), Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(document.pianoRoll(), Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(zoom(), (QList<int>{25, 50}));
        QTest::keyClick(document.pianoRoll(), Qt::Key_Minus, Qt::ControlModifier);  // no further
        QCOMPARE(zoom(), (QList<int>{25, 50}));
        QCOMPARE(QList<int>({settings::zoomX(), settings::zoomY()}), (QList<int>{25, 50}));
        DocumentWindow& second = *editor.mainWindow->newFile();
        QCOMPARE(QList<int>({second.editState().zoomX, second.editState().zoomY}), (QList<int>{25, 50}));
        second.rollXScroll()->setValue(1280);
        const roll::RollScale quarter{4, 6};
        QCOMPARE(roll::columnLeftX(2305, second.editState().viewScrollX, quarter), 577);
        editor.mainWindow->mdiArea()->setActiveSubWindow(frameOf(&document));  // the keys go to the active window

        // A click in the cell drawn at column 20, row 30 adds the note drawn there.
        document.rollXScroll()->setValue(0);
        document.rollYScroll()->setValue(0);
        const QPoint at(int(roll::columnLeftX(20, 0, quarter)), int(roll::rowTopY(30, 0, quarter)));
        click(document, at);
        QCOMPARE(document.song().instrumentNotes.at(0, 1), (NoteRec{20, 30, 1, 6, 166}));
        QCOMPARE(document.pianoRoll()->picture().pixel(int(roll::noteBoxX(20, 0, quarter)) + 1,
                                                       int(roll::noteBoxY(30, 0, quarter)) + 2),
                 opaque(sprite::brightNoteColours[0]));

        // Ctrl+wheel at that cell zooms in two levels and keeps it near the pointer.
        for (int notch = 0; notch < 2; ++notch) {
            QWheelEvent wheel(QPointF(at), document.pianoRoll()->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120),
                              Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(document.pianoRoll(), &wheel);
        }
        QCOMPARE(zoom(), (QList<int>{100, 100}));
        QVERIFY(std::abs(roll::columnLeftX(20, document.editState().viewScrollX) - at.x()) <= 32);
        QTest::keyClick(document.pianoRoll(), Qt::Key_Equal, Qt::ControlModifier);
        QCOMPARE(zoom(), (QList<int>{200, 150}));
        QTest::keyClick(document.pianoRoll(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(zoom(), (QList<int>{100, 100}));
        QCOMPARE(QList<int>({second.editState().zoomX, second.editState().zoomY}), (QList<int>{25, 50}));
    }

    // Zoom by keys keeps the column at the left edge, or the play cursor or step entry's cursor
    // where one is in view, within a column (the bars move in steps of about two).
    void zoomByKeysKeepsTheLeftEdgeOrACursor() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QApplication::setActiveWindow(editor.mainWindow.get());
        const auto columnAt = [&](double x) {
            const EditState& edit = document.editState();
            return (x - roll::keyStripWidth + edit.viewScrollX) /
                       roll::RollScale::ofZoom(edit.zoomX, edit.zoomY).columnWidth +
                   1;
        };
        const auto xOf = [&](int32_t column) {
            const EditState& edit = document.editState();
            return double(roll::columnLeftX(column, edit.viewScrollX, roll::RollScale::ofZoom(edit.zoomX, edit.zoomY)));
        };
        const auto zoomKeepsColumnAt = [&](const std::function<double()>& x) {
            for (const int key :
                 {Qt::Key_Equal, Qt::Key_Equal, Qt::Key_Minus, Qt::Key_Minus, Qt::Key_Minus, Qt::Key_0}) {
                const double at = x();
                const double before = columnAt(at);
                QTest::keyClick(document.pianoRoll(), Qt::Key(key), Qt::ControlModifier);
                if (std::abs(columnAt(at) - before) > 1)
                    return false;
            }
            return true;
        };
        document.rollXScroll()->setValue(300);
        QVERIFY(zoomKeepsColumnAt([] { return double(roll::keyStripWidth); }));
        QVERIFY(document.editState().viewScrollX > 16 * 100);

        settings::setStepEntry(true);
        StepEntryCommands& entry = document.noteInput().stepEntry();
        entry.moveCursorTo(int32_t(columnAt(400)));
        QVERIFY(zoomKeepsColumnAt([&] { return xOf(entry.cursor()); }));
        settings::setStepEntry(false);

        auto& controls = document.transportControls();
        controls.play();
        QTRY_VERIFY_WITH_TIMEOUT(!document.transport().isPreparing(), 60000);
        controls.pause();
        controls.moveWhilePaused(int32_t(columnAt(500)));
        QVERIFY(zoomKeepsColumnAt([&] { return xOf(controls.playPosition()); }));
        controls.stop();
    }

    // Recent Songs lists the songs opened and saved, newest first, ten at most, in every File
    // menu; Open takes several files; Close closes the window as its close box does.
    void recentSongsSeveralAtOnceAndClose() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        QStringList paths;
        for (int i = 0; i < 12; ++i)
            paths << editor.writeSong(QString("song%1.org").arg(i), Song());
        editor.prompts.answers.push_back(paths.mid(0, 11).join('|'));
        QVERIFY(main.clickOpen() != nullptr);
        QCOMPARE(main.documents().size(), 11);
        QStringList newest;
        for (int i = 10; i > 0; --i)
            newest << paths[i];
        QCOMPARE(settings::recentSongs(), newest);
        DocumentWindow& document = *main.activeDocument();
        QVERIFY(document.saveAs() == false);  // cancelled
        editor.prompts.answers.push_back(paths[11]);
        QVERIFY(document.saveAs());
        QCOMPARE(settings::recentSongs().first(), paths[11]);
        QMenu* recent = document.menus().first()->findChild<QMenu*>("menuRecentSongs");
        emit document.menus().first()->aboutToShow();
        QCOMPARE(recent->actions().size(), 10);
        QCOMPARE(recent->actions().at(1)->text(), QString("&2 song10.org"));
        recent->actions().at(1)->trigger();
        QCOMPARE(main.documents().size(), 12);
        QCOMPARE(main.activeDocument()->fileName(), paths[10]);

        // Close (Ctrl+W) asks about a modified song; Cancel keeps the window.
        DocumentWindow* modified = main.activeDocument();
        setTempo(modified, 90);
        editor.prompts.saveAnswers = {SaveChoice::Cancel, SaveChoice::Discard};
        QApplication::setActiveWindow(&main);
        QTest::keyClick(modified, Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(main.documents().size(), 12);
        QTest::keyClick(modified, Qt::Key_W, Qt::ControlModifier);
        QTRY_COMPARE(main.documents().size(), 11);
        QCOMPARE(editor.prompts.savePrompts, (QStringList{"song10.org", "song10.org"}));
        main.documents().first()->closeWindow();
        QTRY_COMPARE(main.documents().size(), 10);

        // Two entries of one name both show their folder; every tooltip is the whole path.
        QVERIFY(QDir(editor.folder.path()).mkdir("other"));
        const QString twin = editor.writeSong("other/song10.org", Song());
        editor.prompts.answers.push_back(twin);
        QVERIFY(main.clickOpen() != nullptr);
        emit main.activeDocument()->menus().first()->aboutToShow();
        recent = main.activeDocument()->menus().first()->findChild<QMenu*>("menuRecentSongs");
        const auto folderOf = [](const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).path()); };
        QCOMPARE(recent->actions().at(0)->text(), "&1 song10.org (" + folderOf(twin) + ")");
        QCOMPARE(recent->actions().at(1)->text(), "&2 song10.org (" + folderOf(paths[10]) + ")");
        QCOMPARE(recent->actions().at(2)->text(), QString("&3 song11.org"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(recent->actions().at(i)->toolTip(),
                     QDir::toNativeSeparators((QStringList{twin} + paths.mid(10))[i]));
    }
};

const bool registered = registerUiTest<ViewReadingTest>();

}  // namespace
}  // namespace tromel::test

#include "ViewReadingTest.moc"
