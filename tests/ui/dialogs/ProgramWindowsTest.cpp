// The program-wide windows: the debug note listing and the single, modeless About window.
#include "dialogs/ProgramWindows.h"
#include "tests/ui/UiTestRegistry.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

namespace tromel::dialogs {
namespace {

// The listing as rows of five texts, read the way the list shows them.
QList<QStringList> listing(DebugWindow& window) {
    const QAbstractItemModel* model = window.findChild<QTreeView*>("noteList")->model();
    QList<QStringList> rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        rows << QStringList();
        for (int column = 0; column < model->columnCount(); ++column)
            rows.last() << model->index(row, column).data().toString();
    }
    return rows;
}

class ProgramWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void debugListsInstrumentNotesAndEachFillReplacesTheListing() {
        NoteTable notes;
        notes.grow(4);
        notes.at(1, 3) = {17, 40, 4, 6, 166};
        notes.at(1, 1) = {1, 12, 2, 0, 255};
        notes.at(0, 4) = {33, noKey, 1, noPan, 100};
        QWidget owner;
        ProgramWindows windows;
        windows.setOwner(&owner);
        windows.showDebugNotes(notes);
        DebugWindow* debug = windows.debugWindow();
        // In front of the main window, as a window of its own.
        QVERIFY(debug && debug->isVisible() && !debug->isModal() && debug->isWindow());
        QCOMPARE(debug->parentWidget(), &owner);
        QCOMPARE(debug->windowTitle(), QString("Debug"));
        QStringList columns;
        for (int column = 0; column < 5; ++column)
            columns << debug->notes().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        QCOMPARE(columns, (QStringList{"rollNum", "rollXY", "rollLength", "rollPan", "rollVol"}));
        QCOMPARE(listing(*debug), QList<QStringList>({{"Inst 1, Note 4", "33,-159", "1", "-243", "100"},
                                                      {"Inst 2, Note 1", "1,12", "2", "0", "255"},
                                                      {"Inst 2, Note 3", "17,40", "4", "6", "166"}}));
        windows.showDebugNotes(NoteTable{});
        QCOMPARE(windows.debugWindow(), debug);
        QVERIFY(listing(*debug).isEmpty());
    }

    void aboutIsOneModelessWindowThatCloseOnlyHides() {
        QWidget owner;
        ProgramWindows windows;
        windows.setOwner(&owner);
        windows.showAbout();
        AboutWindow* about = windows.aboutWindow();
        QVERIFY(about && about->isVisible() && !about->isModal());
        QVERIFY(about->parentWidget() == &owner && about->isWindow());
        QCOMPARE(about->windowTitle(), QString("About"));
        QCOMPARE(about->findChild<QLabel*>("labelVersion")->text(), QString("Tromel Version 0.7.0 Beta"));
        const QPixmap picture = about->findChild<QLabel*>("picture")->pixmap();
        QCOMPARE(picture.size(), QFile::exists(AboutWindow::picturePath) ? QSize(32, 32) : QSize(0, 0));

        about->findChild<QPushButton*>("Command1")->click();
        QVERIFY(!about->isVisible());
        windows.showAbout();
        QCOMPARE(windows.aboutWindow(), about);
        QVERIFY(about->isVisible());
    }
};

static const bool registered = test::registerUiTest<ProgramWindowsTest>();

}  // namespace
}  // namespace tromel::dialogs

#include "ProgramWindowsTest.moc"
