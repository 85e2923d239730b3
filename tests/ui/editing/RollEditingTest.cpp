// Mouse editing through the real roll widget: what the song holds, what the roll shows, what is saved.
#include "audio/ui/TransportControls.h"
#include "dialogs/GoToBarDialog.h"
#include "dialogs/SongSettingsDialog.h"
#include "roll/ui/SpriteLayout.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"
#include "widgets/ProgramSettings.h"

#include <QClipboard>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QUndoStack>

namespace tromel::test {
namespace {

class RollEditingTest : public QObject {
    Q_OBJECT

private slots:
    // The gestures reach the song through the widget, which shows them at once; the rules of
    // each gesture are the note editor's own.
    void buttonsAddMoveStretchPaintAndDeleteNotes() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        roll::PianoRoll& roll = *document.pianoRoll();
        const auto note = [&](int32_t slot) { return document.song().instrumentNotes.at(0, slot); };
        click(document, cell(document, 4, 10));
        QCOMPARE(note(1), (NoteRec{4, 10, 1, 6, 166}));
        QCOMPARE(boxPixel(document, 4, 10), opaque(roll::sprite::brightNoteColours[0]));
        sendMouse(&roll, QEvent::MouseMove, cell(document, 4, 10), Qt::NoButton);
        QCOMPARE(roll.cursor().shape(), Qt::SizeAllCursor);
        QCOMPARE(document.statusText(), QString("Move Note"));
        drag(document, cell(document, 4, 10), cell(document, 9, 14));
        QCOMPARE(note(1), (NoteRec{9, 14, 1, 6, 166}));
        QCOMPARE(roll.cursor().shape(), Qt::ArrowCursor);
        // The last four pixels of the note's column stretch it.
        const QPoint end = cell(document, 9, 14) + QPoint(7, 0);
        sendMouse(&roll, QEvent::MouseMove, end, Qt::NoButton);
        QCOMPARE(roll.cursor().shape(), Qt::SizeHorCursor);
        drag(document, end, cell(document, 12, 14));
        QCOMPARE(note(1).length, 4);

        // The first row of the volume strip adds a keyless event with its mark, sorted before the note.
        const QPoint strip(cell(document, 5, 1).x(), roll.height() - 71);
        click(document, strip);
        QCOMPARE(note(1), (NoteRec{5, noKey, 1, noPan, 245}));
        QVERIFY(roll.picture().pixel(strip.x() + 3, strip.y() + 3) !=
                roll.rollBuffer().pixel(strip.x() + 3, strip.y() + 3));
        click(document, cell(document, 9, 14), Qt::MiddleButton);
        QCOMPARE(document.editState().noteCounts[0][0], int16_t{2});
        click(document, cell(document, 9, 14), Qt::RightButton);
        QCOMPARE(document.editState().noteCounts[0][0], int16_t{1});
        QVERIFY(note(2).isEmpty());
    }

    // Every gesture is a step the keys take back and do again; the "*" mark follows the saved state.
    void keysUndoAndRedoGesturesAndTheMarkFollowsTheSavedState() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QApplication::setActiveWindow(editor.mainWindow.get());
        const auto keys = [&](Qt::Key key, Qt::KeyboardModifiers modifiers, int times = 1) {
            for (int i = 0; i < times; ++i)
                QTest::keyClick(&document, key, modifiers);
        };
        const auto note = [&] { return document.song().instrumentNotes.at(0, 1); };
        click(document, cell(document, 4, 10));
        drag(document, cell(document, 4, 10), cell(document, 9, 14));
        QCOMPARE(document.parentWidget()->windowTitle(), QString("NewData.org*"));
        QCOMPARE(document.undoStack()->undoText(), QString("Move Note"));
        keys(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(note(), (NoteRec{4, 10, 1, 6, 166}));
        keys(Qt::Key_Z, Qt::ControlModifier, 2);  // one more than there is to undo
        QVERIFY(note().isEmpty());
        QCOMPARE(document.editState().noteCounts[0][0], int16_t{0});
        QCOMPARE(document.caption(), QString("NewData.org"));
        keys(Qt::Key_Y, Qt::ControlModifier);
        keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        keys(Qt::Key_Y, Qt::ControlModifier);  // nothing more to redo
        QCOMPARE(note(), (NoteRec{9, 14, 1, 6, 166}));

        editor.prompts.answers.push_back(editor.folder.filePath("undo.org"));
        QVERIFY(document.saveAs());
        QCOMPARE(document.caption(), QString("undo.org"));
        keys(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(document.caption(), QString("undo.org*"));
        keys(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(document.caption(), QString("undo.org"));
    }

    // A dialog or file command opened while a note is dragged ends the drag first: a save made
    // then writes the tidy song, and the next drag does not pull the old note along.
    void aDragInterruptedByADialogEndsBeforeIt() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        editor.prompts.answers.push_back(editor.folder.filePath("drag.org"));
        QVERIFY(document.saveAs());
        click(document, cell(document, 4, 10));
        click(document, cell(document, 9, 10));
        QWidget* roll = document.pianoRoll();
        sendMouse(roll, QEvent::MouseMove, cell(document, 4, 10), Qt::NoButton);
        sendMouse(roll, QEvent::MouseButtonPress, cell(document, 4, 10), Qt::LeftButton);
        sendMouse(roll, QEvent::MouseMove, cell(document, 9, 10), Qt::LeftButton);
        // Ctrl+S with the button still held; the release then goes to a modal dialog.
        QApplication::setActiveWindow(editor.mainWindow.get());
        QTest::keyClick(&document, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(editor.readSong("drag.org").instruments[0].noteCount,
                 int16_t{1});  // the moved note replaced the other
        whenModalShown<dialogs::SongSettingsDialog>([](dialogs::SongSettingsDialog& dialog) { dialog.reject(); });
        menuEntry(document, "Song Settings")->trigger();
        click(document, cell(document, 14, 20));
        QCOMPARE(document.song().instrumentNotes.at(0, 1), (NoteRec{9, 10, 1, 6, 166}));
        QCOMPARE(document.song().instrumentNotes.at(0, 2), (NoteRec{14, 20, 1, 6, 166}));
        QCOMPARE(document.undoStack()->command(2)->text(), QString("Move Note"));
    }

    // Shift draws a selection; the keys transpose it; the clipboard takes it to a drum channel of
    // another document, and a save keeps what was pasted.
    void aSelectionIsTransposedAndPastedIntoAnotherDocument() {
        TestEditor editor;
        DocumentWindow& first = *editor.mainWindow->newFile();
        QApplication::setActiveWindow(editor.mainWindow.get());
        for (const auto& [column, row] : {std::pair{4, 10}, {6, 12}, {20, 15}})
            click(first, cell(first, column, row));
        drag(first, cell(first, 3, 9), cell(first, 7, 13), Qt::LeftButton, Qt::ShiftModifier);
        // Selected notes are drawn lighter than the channel's other notes.
        QVERIFY(qGray(boxPixel(first, 4, 10)) > qGray(boxPixel(first, 20, 15)) + 40);
        QTest::keyClick(&first, Qt::Key_Up);
        QTest::keyClick(&first, Qt::Key_Up, Qt::ControlModifier);  // an octave up would leave the keyboard
        QTest::keyClick(&first, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(first.undoStack()->undoText(), QString("Octave Down"));
        QCOMPARE(first.undoStack()->count(), 5);
        QCOMPARE(first.song().instrumentNotes.at(0, 1), (NoteRec{4, 21, 1, 6, 166}));
        QCOMPARE(first.song().instrumentNotes.at(0, 2), (NoteRec{6, 23, 1, 6, 166}));
        QCOMPARE(first.song().instrumentNotes.at(0, 3), (NoteRec{20, 15, 1, 6, 166}));
        QTest::keyClick(&first, Qt::Key_C, Qt::ControlModifier);
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        QVERIFY(copied->hasFormat("application/x-tromel-notes") && copied->text().contains("Step"));

        DocumentWindow& second = *editor.mainWindow->newFile();
        QTest::mouseClick(second.findChildren<QPushButton*>("drumButton")[2], Qt::LeftButton);
        QTest::keyClick(&second, Qt::Key_V, Qt::ControlModifier);
        const int32_t start = second.song().drumNotes.at(2, 1).position;
        QCOMPARE(second.song().drumNotes.at(2, 2), (NoteRec{start + 2, 23, 1, 6, 166}));
        editor.prompts.answers.push_back(editor.folder.filePath("pasted.org"));
        QVERIFY(second.save());
        const Song saved = editor.readSong("pasted.org");
        QCOMPARE(saved.drums[2].noteCount, int16_t{2});
        QCOMPARE(saved.drumNotes.at(2, 1), (NoteRec{start, 21, 1, 6, 166}));
    }

    // With Edit > All Channels on, Select All and Duplicate repeat a four-bar passage of every
    // instrument channel after itself, as one step of the history; the clipboard carries every
    // channel, and Paste puts each back on its own or, with the switch off, the first onto the
    // current channel. View > Go to Bar... takes the view and the stopped play position along.
    void aFourBarPassageOfAllChannelsIsDuplicatedThroughTheMenus() {
        TestEditor editor;
        const Song song = songWith({{0, NoteRec{1, 12, 4, 6, 166}},
                                    {0, NoteRec{49, 14, 16, 6, 166}},
                                    {2, NoteRec{17, 16, 8, 6, 166}},
                                    {2, NoteRec{33, noKey, 1, 3, noVolume}},
                                    {5, NoteRec{60, 18, 4, 6, 166}},
                                    {9, NoteRec{1, 20, 1, 6, 166}}});
        editor.prompts.answers.push_back(editor.writeSong("four.org", song));
        DocumentWindow& document = *editor.mainWindow->clickOpen();
        QApplication::setActiveWindow(editor.mainWindow.get());
        const NoteTable& notes = document.song().instrumentNotes;
        const EditState& edit = document.editState();
        QCOMPARE(menuEntry(document, "Duplicate")->shortcut(), QKeySequence("Ctrl+D"));
        QVERIFY(!menuEntry(document, "Duplicate")->isEnabled());
        QAction* allChannels = menuEntry(document, "All Channels");
        QVERIFY(!allChannels->isChecked());
        allChannels->trigger();
        QVERIFY(settings::allChannels());
        // Shift and a drag select in every channel of the kind: channel 3's note is drawn lighter.
        const QRgb unselected = boxPixel(document, 17, 16);
        drag(document, cell(document, 3, 10), cell(document, 20, 20), Qt::LeftButton, Qt::ShiftModifier);
        QVERIFY(qGray(boxPixel(document, 17, 16)) > qGray(unselected) + 40);
        menuEntry(document, "Select All")->trigger();
        menuEntry(document, "Duplicate")->trigger();
        QCOMPARE(notes.at(0, 3), (NoteRec{65, 12, 4, 6, 166}));
        QCOMPARE(notes.at(0, 4), (NoteRec{113, 14, 16, 6, 166}));
        QCOMPARE(notes.at(2, 3), (NoteRec{81, 16, 8, 6, 166}));
        QCOMPARE(notes.at(2, 4), (NoteRec{97, noKey, 1, 3, noVolume}));
        QCOMPARE(notes.at(5, 2), (NoteRec{124, 18, 4, 6, 166}));
        QCOMPARE(document.song().drumNotes.at(1, 2), NoteRec{});
        QCOMPARE(qGray(boxPixel(document, 17, 16)), qGray(unselected));  // the selection is the copy's
        QCOMPARE(document.undoStack()->undoText(), QString("Duplicate"));
        QTest::keyClick(&document, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(notes.at(5, 3), (NoteRec{188, 18, 4, 6, 166}));
        QCOMPARE(document.undoStack()->count(), 2);
        menuEntry(document, "Undo Duplicate")->trigger();
        QCOMPARE(edit.noteCounts[0], (std::array<int16_t, 8>{4, 0, 4, 0, 0, 2, 0, 0}));
        QCOMPARE(notes.at(5, 3), NoteRec{});

        menuEntry(document, "Select All")->trigger();
        menuEntry(document, "Copy")->trigger();
        QVERIFY(QGuiApplication::clipboard()->mimeData()->text().startsWith("Channel\t"));
        QCOMPARE(menuEntry(document, "Go to Bar...")->shortcut(), QKeySequence("Ctrl+G"));
        whenModalShown<dialogs::GoToBarDialog>([](dialogs::GoToBarDialog& dialog) {
            QCOMPARE(dialog.findChild<QSpinBox*>("beatSpin")->maximum(), 4);  // a bar field of 0
            dialog.findChild<QSpinBox*>("barSpin")->setValue(20);
            dialog.accept();
        });
        menuEntry(document, "Go to Bar...")->trigger();
        QCOMPARE(document.transportControls().playPosition(), 305);
        const int32_t column = (edit.viewScrollX + roll::columnWidth - 1) / roll::columnWidth + 1;
        QVERIFY2(column > 300 && column <= 305, qPrintable(QString::number(column)));
        menuEntry(document, "Paste")->trigger();
        QCOMPARE(notes.at(5, 4), (NoteRec{column + 123, 18, 4, 6, 166}));
        QCOMPARE(notes.at(2, 6), (NoteRec{column + 32, noKey, 1, 3, noVolume}));
        allChannels->trigger();
        QTest::mouseClick(document.findChildren<QPushButton*>("instButton")[3], Qt::LeftButton);
        menuEntry(document, "Paste")->trigger();
        QCOMPARE(edit.noteCounts[0][3], int16_t{4});
        QCOMPARE(notes.at(3, 1), (NoteRec{column, 12, 4, 6, 166}));
    }

    // Bars are the song's own: bar 3, beat 2 of 3 beats of 8 steps is step 57.
    void goToBarCountsTheSongsBars() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song().stepsPerBar = 3;
        document.song().beatsPerStep = 8;
        whenModalShown<dialogs::GoToBarDialog>([](dialogs::GoToBarDialog& dialog) {
            QCOMPARE(dialog.findChild<QSpinBox*>("beatSpin")->maximum(), 3);
            dialog.findChild<QSpinBox*>("barSpin")->setValue(3);
            dialog.findChild<QSpinBox*>("beatSpin")->setValue(2);
            dialog.accept();
        });
        menuEntry(document, "Go to Bar...")->trigger();
        QCOMPARE(document.transportControls().playPosition(), 57);
        QVERIFY(document.editState().viewScrollX <= 56 * roll::columnWidth);
        QVERIFY(document.editState().viewScrollX > 50 * roll::columnWidth);
        whenModalShown<dialogs::GoToBarDialog>([](dialogs::GoToBarDialog& dialog) {
            QCOMPARE(dialog.findChild<QSpinBox*>("barSpin")->value(), 3);  // the bar in view
            dialog.reject();
        });
        menuEntry(document, "Go to Bar...")->trigger();
        // Play starts there; while it plays, the play position stays the heard one.
        audio::TransportControls& controls = document.transportControls();
        controls.play();
        QTRY_VERIFY_WITH_TIMEOUT(!document.transport().isPreparing(), 60000);
        editor.render(44100 * 128 / 1000 + 200);
        QCOMPARE(document.transport().playPosition(), 57);
        whenModalShown<dialogs::GoToBarDialog>([](dialogs::GoToBarDialog& dialog) {
            dialog.findChild<QSpinBox*>("barSpin")->setValue(1);
            dialog.accept();
        });
        menuEntry(document, "Go to Bar...")->trigger();
        QVERIFY(controls.playPosition() >= 57);
        controls.stop();
    }
};

const bool registered = registerUiTest<RollEditingTest>();

}  // namespace
}  // namespace tromel::test

#include "RollEditingTest.moc"
