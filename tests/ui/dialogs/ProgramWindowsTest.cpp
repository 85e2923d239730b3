// The program-wide windows: the debug note listing and the single, modeless About window.
#include "dialogs/ProgramWindows.h"
#include "tests/ui/UiTestRegistry.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace tromel::dialogs {
namespace {

const std::array<const char*, 5> listNames{"rollNum", "rollXY", "rollLength", "rollPan", "rollVol"};

// Every list's lines, one row per note: the five texts of the same line index side by side.
QList<QStringList> listing(DebugWindow& window) {
    std::array<QListWidget*, 5> lists{};
    for (std::size_t i = 0; i < lists.size(); ++i)
        lists[i] = window.findChild<QListWidget*>(listNames[i]);
    QList<QStringList> rows;
    for (int row = 0; row < lists[0]->count(); ++row) {
        QStringList texts;
        for (QListWidget* list : lists) {
            if (row < list->count())
                texts << list->item(row)->text();
        }
        rows << texts;
    }
    for (QListWidget* list : lists)
        QTest::qVerify(list->count() == lists[0]->count(), "equal line counts", "", __FILE__, __LINE__);
    return rows;
}

class ProgramWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void debugListsInstrumentNotesByChannelThenSlot() {
        Song song;
        song.instrumentNotes.grow(4);
        song.instrumentNotes.at(1, 3) = {17, 40, 4, 6, 166};
        song.instrumentNotes.at(1, 1) = {1, 12, 2, 0, 255};
        song.instrumentNotes.at(0, 4) = {33, noKey, 1, noPan, 100};
        song.drumNotes.grow(1);
        song.drumNotes.at(0, 1) = {5, 5, 5, 5, 5};

        ProgramWindows windows;
        windows.showDebugNotes(song.instrumentNotes);
        DebugWindow* debug = windows.debugWindow();
        QVERIFY(debug && debug->isVisible() && !debug->isModal());
        QCOMPARE(debug->objectName(), QString("winDebug"));
        QCOMPARE(debug->windowTitle(), QString("Debug"));
        const QList<QStringList> expected{{"Inst 1, Note 4", "33,-159", "1", "-243", "100"},
                                          {"Inst 2, Note 1", "1,12", "2", "0", "255"},
                                          {"Inst 2, Note 3", "17,40", "4", "6", "166"}};
        QCOMPARE(listing(*debug), expected);
    }

    void aSecondFillReplacesTheListing() {
        Song first;
        first.instrumentNotes.grow(2);
        first.instrumentNotes.at(7, 1) = {9, 9, 9, 9, 9};
        first.instrumentNotes.at(7, 2) = {10, 9, 9, 9, 9};
        const Song empty;

        ProgramWindows windows;
        windows.showDebugNotes(first.instrumentNotes);
        DebugWindow* debug = windows.debugWindow();
        QCOMPARE(listing(*debug).size(), 2);
        windows.showDebugNotes(empty.instrumentNotes);
        QCOMPARE(windows.debugWindow(), debug);
        QVERIFY(listing(*debug).isEmpty());
        windows.showDebugNotes(first.instrumentNotes);
        QCOMPARE(listing(*debug).size(), 2);
        QCOMPARE(listing(*debug).at(0).at(0), QString("Inst 8, Note 1"));
    }

    void aboutIsOneModelessWindowThatCloseOnlyHides() {
        ProgramWindows windows;
        windows.showAbout();
        AboutWindow* about = windows.aboutWindow();
        QVERIFY(about && about->isVisible() && !about->isModal());
        QCOMPARE(about->windowTitle(), QString("About"));
        QCOMPARE(about->findChild<QLabel*>("labelVersion")->text(), QString("Tromel Version 0.7.0 Beta"));
        QCOMPARE(about->size(), QSize(409, 196));

        about->findChild<QPushButton*>("Command1")->click();
        QVERIFY(!about->isVisible());
        windows.showAbout();
        QCOMPARE(windows.aboutWindow(), about);
        QVERIFY(about->isVisible());
        windows.showAbout();
        QCOMPARE(windows.aboutWindow(), about);

        const QPointer<AboutWindow> watched = about;
        windows.closeAll();
        QVERIFY(watched.isNull());
        windows.showAbout();
        QVERIFY(windows.aboutWindow() && windows.aboutWindow()->isVisible());
    }

    void aboutPictureIsThe32By32ResourceOrNothing() {
        AboutWindow about;
        const QLabel* picture = about.findChild<QLabel*>("picture");
        QCOMPARE(picture->geometry(), QRect(128, 8, 32, 32));
        const QPixmap pixmap = picture->pixmap();
        if (QFile::exists(AboutWindow::picturePath))
            QCOMPARE(pixmap.size(), QSize(32, 32));
        else
            QVERIFY(pixmap.isNull());
    }
};

static const bool registered = test::registerUiTest<ProgramWindowsTest>();

}  // namespace
}  // namespace tromel::dialogs

#include "ProgramWindowsTest.moc"
