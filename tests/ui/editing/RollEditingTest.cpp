// Mouse editing through the real roll widget: what the song holds, what the roll shows, what is saved.
#include "dialogs/SongSettingsDialog.h"
#include "document/DocumentWindow.h"
#include "roll/ui/PianoRoll.h"
#include "song/OrgFile.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

namespace tromel::test {
namespace {

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held, modifiers);
    QApplication::sendEvent(widget, &event);
}

class RollEditingTest : public QObject {
    Q_OBJECT

    // The middle of a cell of the roll at the window's scroll, where the pointer hits it.
    static QPoint cell(DocumentWindow& document, int32_t column, int32_t row) {
        const EditState& edit = document.editState();
        return {64 + 16 * (column - 1) - edit.viewScrollX + 6, 12 * (row - 1) - edit.viewScrollY + 6};
    }

    static void click(DocumentWindow& document, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* roll = document.pianoRoll();
        sendMouse(roll, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
        sendMouse(roll, QEvent::MouseButtonPress, at, button, button);
        sendMouse(roll, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    }

    static void drag(DocumentWindow& document, QPoint from, QPoint to) {
        QWidget* roll = document.pianoRoll();
        sendMouse(roll, QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        sendMouse(roll, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        sendMouse(roll, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        sendMouse(roll, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }

    static QRgb boxPixel(DocumentWindow& document, int32_t column, int32_t row) {
        const EditState& edit = document.editState();
        return document.pianoRoll()->picture().pixel(16 * (column - 1) + 67 - edit.viewScrollX + 5,
                                                     12 * (row - 1) + 1 - edit.viewScrollY + 5);
    }

private slots:
    void aClickAddsANoteThatIsDrawnInTheChannelsColour() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        const QRgb empty = boxPixel(document, 4, 10);
        click(document, cell(document, 4, 10));
        QCOMPARE(document.song().instrumentNotes.at(0, 1), (NoteRec{4, 10, 1, 6, 166}));
        QCOMPARE(document.editState().noteCounts[0][0], int16_t{1});
        QVERIFY(boxPixel(document, 4, 10) != empty);
        QCOMPARE(qRed(boxPixel(document, 4, 10)), 0x00);  // channel 1's blue, #006699 inside its edges
        QCOMPARE(qBlue(boxPixel(document, 4, 10)), 0x99);
    }

    void hoverShowsThePointerAndMovesCarryTheNote() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        click(document, cell(document, 4, 10));
        sendMouse(document.pianoRoll(), QEvent::MouseMove, cell(document, 4, 10), Qt::NoButton, Qt::NoButton);
        QCOMPARE(document.pianoRoll()->cursor().shape(), Qt::SizeAllCursor);
        QCOMPARE(document.statusText(), QString("Move Note"));

        drag(document, cell(document, 4, 10), cell(document, 9, 14));
        QCOMPARE(document.song().instrumentNotes.at(0, 1), (NoteRec{9, 14, 1, 6, 166}));
        QCOMPARE(document.pianoRoll()->cursor().shape(), Qt::ArrowCursor);

        // The last four pixels of the note's column stretch it.
        const QPoint end = cell(document, 9, 14) + QPoint(7, 0);
        sendMouse(document.pianoRoll(), QEvent::MouseMove, end, Qt::NoButton, Qt::NoButton);
        QCOMPARE(document.pianoRoll()->cursor().shape(), Qt::SizeHorCursor);
        drag(document, end, cell(document, 12, 14));
        QCOMPARE(document.song().instrumentNotes.at(0, 1).length, 4);
        QCOMPARE(document.editState().lastNoteLength, int16_t{4});
    }

    void theRightButtonDeletesAndTheMiddleButtonDoesNothing() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        click(document, cell(document, 4, 10));
        click(document, cell(document, 6, 12));
        click(document, cell(document, 6, 12), Qt::MiddleButton);
        QCOMPARE(document.editState().noteCounts[0][0], int16_t{2});
        click(document, cell(document, 4, 10), Qt::RightButton);
        QCOMPARE(document.editState().noteCounts[0][0], int16_t{1});
        QCOMPARE(document.song().instrumentNotes.at(0, 1).position, 6);
        QVERIFY(document.song().instrumentNotes.at(0, 2).isEmpty());
    }

    void paintedVolumeAddsAnEventAndItsMark() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        QWidget* roll = document.pianoRoll();
        const int height = roll->height();
        const QPoint top(cell(document, 5, 1).x(), height - 71);  // the first row of the volume strip
        click(document, top);
        QCOMPARE(document.song().instrumentNotes.at(0, 1), (NoteRec{5, noKey, 1, noPan, 245}));
        const int markX = 16 * 4 + 67 - document.editState().viewScrollX + 8;
        QVERIFY(document.pianoRoll()->picture().pixel(markX, height - 70 + 2) !=
                document.pianoRoll()->rollBuffer().pixel(markX, height - 70 + 2));
    }

    void whatWasDrawnIsWhatIsSavedAndOpened() {
        TestEditor editor;
        QTemporaryDir folder;
        const QString path = folder.filePath("drawn.org");
        DocumentWindow& document = *editor.mainWindow->newFile();
        click(document, cell(document, 3, 20));
        click(document, cell(document, 7, 22));
        QList<QPushButton*> drums;
        for (QPushButton* button : document.findChildren<QPushButton*>("drumButton"))
            if (button->property("index").toInt() == 2)
                drums << button;
        QCOMPARE(drums.size(), 1);
        QTest::mouseClick(drums.first(), Qt::LeftButton);
        click(document, cell(document, 5, 18));
        editor.prompts.answers.push_back(path);
        QVERIFY(document.saveAs());

        editor.prompts.answers.push_back(path);
        DocumentWindow* reopened = editor.mainWindow->clickOpen();
        QVERIFY(reopened != nullptr);
        QCOMPARE(reopened->song().instrumentNotes.at(0, 1), (NoteRec{3, 20, 1, 6, 166}));
        QCOMPARE(reopened->song().instrumentNotes.at(0, 2), (NoteRec{7, 22, 1, 6, 166}));
        QCOMPARE(reopened->song().drumNotes.at(2, 1), (NoteRec{5, 18, 1, 6, 166}));
        QCOMPARE(reopened->editState().noteCounts[1][2], int16_t{1});
        QCOMPARE(writeOrgBytes(reopened->song()), writeOrgBytes(document.song()));
    }

    // Every gesture is a step the keys take back and do again; the "*" mark follows the saved state.
    void keysUndoAndRedoGesturesAndTheMarkFollowsTheSavedState() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        DocumentWindow& document = *main.newFile();
        QApplication::setActiveWindow(&main);
        const auto key = [&](Qt::Key k, Qt::KeyboardModifiers modifiers) { QTest::keyClick(&document, k, modifiers); };
        const auto at = [&] { return document.song().instrumentNotes.at(0, 1); };
        QCOMPARE(document.caption(), QString("NewData.org"));
        click(document, cell(document, 4, 10));
        drag(document, cell(document, 4, 10), cell(document, 9, 14));
        QCOMPARE(document.caption(), QString("NewData.org*"));
        QCOMPARE(document.parentWidget()->windowTitle(), QString("NewData.org*"));
        QCOMPARE(document.undoStack()->undoText(), QString("Move Note"));
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(at(), (NoteRec{4, 10, 1, 6, 166}));
        key(Qt::Key_Z, Qt::ControlModifier);
        key(Qt::Key_Z, Qt::ControlModifier);  // nothing more to undo
        QVERIFY(at().isEmpty());
        QCOMPARE(document.editState().noteCounts[0][0], int16_t{0});
        QCOMPARE(document.caption(), QString("NewData.org"));
        key(Qt::Key_Y, Qt::ControlModifier);
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        key(Qt::Key_Y, Qt::ControlModifier);  // nothing more to redo
        QCOMPARE(at(), (NoteRec{9, 14, 1, 6, 166}));

        editor.prompts.answers.push_back(editor.folder.filePath("undo.org"));
        QVERIFY(document.saveAs());
        QCOMPARE(document.caption(), QString("undo.org"));
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(document.caption(), QString("undo.org*"));
        key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(document.caption(), QString("undo.org"));
    }

    // A dialog or file command opened while a note is dragged ends the drag first: a save made
    // then writes the tidy song, and the next drag does not pull the old note along.
    void aDragInterruptedByADialogEndsBeforeIt() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        DocumentWindow& document = *main.newFile();
        editor.prompts.answers.push_back(editor.folder.filePath("drag.org"));
        QVERIFY(document.saveAs());
        click(document, cell(document, 4, 10));
        click(document, cell(document, 9, 10));
        QWidget* roll = document.pianoRoll();
        sendMouse(roll, QEvent::MouseMove, cell(document, 4, 10), Qt::NoButton, Qt::NoButton);
        sendMouse(roll, QEvent::MouseButtonPress, cell(document, 4, 10), Qt::LeftButton, Qt::LeftButton);
        sendMouse(roll, QEvent::MouseMove, cell(document, 9, 10), Qt::NoButton, Qt::LeftButton);
        // Ctrl+S with the button still held; the release then goes to a modal dialog.
        QApplication::setActiveWindow(&main);
        QTest::keyClick(&document, Qt::Key_S, Qt::ControlModifier);
        Song saved;
        QVERIFY(loadOrgFile(saved, QFile::encodeName(editor.folder.filePath("drag.org")).toStdString()).ok());
        QCOMPARE(saved.instruments[0].noteCount, int16_t{1});  // the moved note replaced the other
        whenModalShown<dialogs::SongSettingsDialog>([](dialogs::SongSettingsDialog& dialog) { dialog.reject(); });
        for (QAction* action : document.menus()[1]->actions())
            if (action->text() == "Song Settings")
                action->trigger();
        click(document, cell(document, 14, 20));
        QCOMPARE(document.song().instrumentNotes.at(0, 1), (NoteRec{9, 10, 1, 6, 166}));
        QCOMPARE(document.song().instrumentNotes.at(0, 2), (NoteRec{14, 20, 1, 6, 166}));
        QCOMPARE(document.undoStack()->undoText(), QString("Add Note"));
        QCOMPARE(document.undoStack()->command(2)->text(), QString("Move Note"));
    }

    // Shift draws a selection; the keys transpose it; the clipboard takes it to a drum channel of
    // another document, and a save keeps what was pasted.
    void aSelectionIsTransposedAndPastedIntoAnotherDocument() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        DocumentWindow& first = *main.newFile();
        QApplication::setActiveWindow(&main);
        for (const auto& [column, row] : {std::pair{4, 10}, {6, 12}, {20, 15}})
            click(first, cell(first, column, row));
        QWidget* roll = first.pianoRoll();
        sendMouse(roll, QEvent::MouseButtonPress, cell(first, 3, 9), Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
        sendMouse(roll, QEvent::MouseMove, cell(first, 7, 13), Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
        sendMouse(roll, QEvent::MouseButtonRelease, cell(first, 7, 13), Qt::LeftButton, Qt::NoButton);
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
        QVERIFY(copied->hasFormat("application/x-tromel-notes"));
        QVERIFY(copied->text().contains("Step"));

        DocumentWindow& second = *main.newFile();
        QTest::mouseClick(second.findChildren<QPushButton*>("drumButton")[2], Qt::LeftButton);
        QTest::keyClick(&second, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(second.editState().noteCounts[1][2], int16_t{2});
        const int32_t start = second.song().drumNotes.at(2, 1).position;
        QCOMPARE(second.song().drumNotes.at(2, 1).key, 21);
        QCOMPARE(second.song().drumNotes.at(2, 2), (NoteRec{start + 2, 23, 1, 6, 166}));
        editor.prompts.answers.push_back(editor.folder.filePath("pasted.org"));
        QVERIFY(second.save());
        Song saved;
        QVERIFY(loadOrgFile(saved, QFile::encodeName(editor.folder.filePath("pasted.org")).toStdString()).ok());
        QCOMPARE(saved.drums[2].noteCount, int16_t{2});
        QCOMPARE(saved.drumNotes.at(2, 1).key, 21);
    }
};

const bool registered = registerUiTest<RollEditingTest>();

}  // namespace
}  // namespace tromel::test

#include "RollEditingTest.moc"
