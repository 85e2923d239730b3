// The dialogs behind the document and main window menus: each reaches the song of its own window.
#include "app/MainWindow.h"
#include "dialogs/DebugWindow.h"
#include "dialogs/InstrumentSettingsDialog.h"
#include "dialogs/MouseAndKeysWindow.h"
#include "dialogs/SongSettingsDialog.h"
#include "document/DocumentWindow.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "tests/ui/dialogs/ModalDialogDriver.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
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
        // Listen sounds the wave chosen in the dialog, A 440, before the song holds it.
        double heardPitch = 0;
        whenModalShown<dialogs::InstrumentSettingsDialog>([&](dialogs::InstrumentSettingsDialog& dialog) {
            QCOMPARE(dialog.findChild<QListWidget*>("listInst_3")->currentRow(), 42);
            dialog.findChild<QListWidget*>("listInst_3")->setCurrentRow(7);
            editor.startUntilHeard([&] { dialog.findChild<QPushButton*>("listenInst_3")->click(); });
            editor.capture(4410);
            heardPitch = pitchOf(editor.capture(8820));
            dialog.findChild<QPushButton*>("Command1")->click();
        });
        menuEntry(document, "Instrument/Drum Settings")->trigger();
        QVERIFY2(std::abs(heardPitch - 440.0) < 9.0, qPrintable(QString::number(heardPitch)));
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

    // Other > Mouse and Keys, from either menu, is one window naming every gesture and key and
    // the rule of one note per step; the README and the manual page carry the same lines.
    void mouseAndKeysNamesEveryGestureAsTheManualsDo() {
        TestEditor editor;
        DocumentWindow& document = *editor.mainWindow->newFile();
        menuEntry(document, "Mouse and Keys")->trigger();
        QWidget* window = editor.mainWindow->programWindows().mouseAndKeysWindow();
        QVERIFY(window != nullptr && window->isVisible());
        document.closeWindow();
        QTRY_VERIFY(editor.mainWindow->documents().isEmpty());
        menuEntry(menuEntry(editor.mainWindow->menuBar(), "&Other")->menu(), "Mouse and Keys")->trigger();
        QCOMPARE(editor.mainWindow->programWindows().mouseAndKeysWindow(), window);
        editor.mainWindow->close();
        using Window = dialogs::MouseAndKeysWindow;
        const auto readAll = [](const char* path) {
            QFile file(QString(TROMEL_SOURCE_DIR "/") + path);
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };
        // The manual page writes a minus as "\-" and keeps a line of text per sentence.
        QString manual = readAll("packaging/tromel.1").replace("\\-", "-");
        const QString readme = readAll("README.md");
        QStringList texts{Window::onePerStepRule()};
        for (const auto* entries : {&Window::mouseEntries(), &Window::keyEntries()})
            for (const Window::Entry& entry : *entries)
                texts << entry.what << entry.does;
        for (const QString& text : texts) {
            QVERIFY2(readme.contains(text), qPrintable("README: " + text));
            QVERIFY2(manual.simplified().contains(text), qPrintable("tromel.1: " + text));
        }
        Window shown;
        QCOMPARE(shown.findChild<QTreeWidget*>("listMouse")->topLevelItemCount(), Window::mouseEntries().size());
        QCOMPARE(shown.findChild<QTreeWidget*>("listKeys")->topLevelItemCount(), Window::keyEntries().size());
        QCOMPARE(shown.findChild<QLabel*>("labelRule")->text(), Window::onePerStepRule());
    }
};

const bool registered = registerUiTest<DialogMenusTest>();

}  // namespace
}  // namespace tromel::test

#include "DialogMenusTest.moc"
