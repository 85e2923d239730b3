// Mouse editing through the real roll widget: what the song holds, what the roll shows, what is saved.
#include "document/DocumentWindow.h"
#include "roll/ui/PianoRoll.h"
#include "song/OrgFile.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

namespace tromel::test {
namespace {

void sendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
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
};

const bool registered = registerUiTest<RollEditingTest>();

}  // namespace
}  // namespace tromel::test

#include "RollEditingTest.moc"
