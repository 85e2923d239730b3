// The dialogs behind the document and main window menus: each reaches the song of its own window.
#include "app/MainWindow.h"
#include "dialogs/DebugWindow.h"
#include "dialogs/InstrumentSettingsDialog.h"
#include "dialogs/SongSettingsDialog.h"
#include "document/DocumentWindow.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

namespace tromel::test {
namespace {

class DialogMenusTest : public QObject {
    Q_OBJECT

private slots:
    void songSettingsApplyToTheWindowTheyWereOpenedFrom() {
        TestEditor editor;
        DocumentWindow& first = *editor.mainWindow->newFile();
        DocumentWindow& second = *editor.mainWindow->newFile();
        whenModalShown<dialogs::SongSettingsDialog>([](dialogs::SongSettingsDialog& dialog) {
            dialog.findChild<QLineEdit*>("textTempo")->setText("95");
            dialog.findChild<QPushButton*>("cmdApply")->click();
        });
        menuEntry(first, "Song Settings")->trigger();
        QCOMPARE(first.song().tempo, 95);
        QCOMPARE(second.song().tempo, 128);

        // Apply that changed a value is one step of that window's history.
        QCOMPARE(first.undoStack()->count(), 1);
        QCOMPARE(second.undoStack()->count(), 0);
        QCOMPARE(first.caption(), QString("NewData.org*"));
        menuEntry(first, "Undo Song Settings")->trigger();
        QCOMPARE(first.song().tempo, 128);
        QCOMPARE(first.caption(), QString("NewData.org"));
        menuEntry(first, "Redo Song Settings")->trigger();
        QCOMPARE(first.song().tempo, 95);
    }

    void instrumentSettingsDebugAndAboutFromTheMenus() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        document.song().instruments[3].wave = 42;
        document.song().instrumentNotes.grow(1);
        document.song().instrumentNotes.at(1, 1) = {17, 40, 4, 6, 166};
        whenModalShown<dialogs::InstrumentSettingsDialog>([](dialogs::InstrumentSettingsDialog& dialog) {
            QCOMPARE(dialog.findChild<QListWidget*>("listInst_3")->currentRow(), 42);
            dialog.findChild<QListWidget*>("listInst_3")->setCurrentRow(7);
            dialog.findChild<QPushButton*>("Command1")->click();
        });
        menuEntry(document, "Instrument/Drum Settings")->trigger();
        QCOMPARE(document.song().instruments[3].wave, int16_t{7});
        whenModalShown<dialogs::InstrumentSettingsDialog>([](dialogs::InstrumentSettingsDialog& dialog) {
            dialog.findChild<QPushButton*>("Command1")->click();  // Done, nothing changed
        });
        menuEntry(document, "Instrument/Drum Settings")->trigger();
        QCOMPARE(document.undoStack()->count(), 1);
        menuEntry(document, "Undo Instrument/Drum Settings")->trigger();
        QCOMPARE(document.song().instruments[3].wave, int16_t{42});

        menuEntry(document, "Debug")->trigger();
        dialogs::DebugWindow* debug = editor.mainWindow->programWindows().debugWindow();
        QVERIFY(debug != nullptr && debug->isVisible());
        QCOMPARE(debug->notes().index(0, 1).data().toString(), QString("17,40"));

        // About comes from both menus as one window.
        menuEntry(document, "About")->trigger();
        QWidget* about = editor.mainWindow->programWindows().aboutWindow();
        QVERIFY(about != nullptr && about->isVisible());
        editor.mainWindow->onAbout();
        QCOMPARE(editor.mainWindow->programWindows().aboutWindow(), about);
        editor.mainWindow->close();  // shut-down takes the program's windows with it
        QVERIFY(editor.mainWindow->programWindows().aboutWindow() == nullptr);
    }
};

const bool registered = registerUiTest<DialogMenusTest>();

}  // namespace
}  // namespace tromel::test

#include "DialogMenusTest.moc"
