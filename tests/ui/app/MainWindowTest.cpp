// The main window's menus, their switching with the active document, the Window list and shut-down.
#include "document/DocumentWindow.h"
#include "song/OrgFile.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

namespace tromel::test {
namespace {

QStringList entries(const QMenu* menu) {
    QStringList result;
    for (const QAction* action : menu->actions())
        result << (action->isSeparator() ? QString("|") : action->text());
    return result;
}

QStringList barMenus(QMainWindow& window) {
    QStringList result;
    for (const QAction* action : window.menuBar()->actions())
        result << action->text();
    return result;
}

QMenu* barMenu(QMainWindow& window, const QString& title) {
    for (QAction* action : window.menuBar()->actions()) {
        if (action->text() == title)
            return action->menu();
    }
    return nullptr;
}

QAction* entry(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void mainMenusWhileNoDocumentIsOpen() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        QCOMPARE(main.objectName(), QString("winMain"));
        QCOMPARE(main.windowTitle(), QString("Tromel"));
        QCOMPARE(main.minimumSize(), QSize(593, 490));
        QCOMPARE(barMenus(main), (QStringList{"&File", "&Other"}));
        QMenu* file = barMenu(main, "&File");
        QCOMPARE(entries(file), (QStringList{"New", "|", "Open", "|", "Save", "Save As...", "|", "Quit"}));
        QVERIFY(!entry(file, "Save")->isEnabled());
        QVERIFY(!entry(file, "Save As...")->isEnabled());
        QCOMPARE(entry(file, "New")->shortcut(), QKeySequence("Ctrl+N"));
        QCOMPARE(entry(file, "Open")->shortcut(), QKeySequence("Ctrl+O"));
        QCOMPARE(entry(file, "Quit")->shortcut(), QKeySequence("Ctrl+Q"));
        QCOMPARE(entries(barMenu(main, "&Other")), (QStringList{"About", "Old Stuff"}));
        QVERIFY(main.documents().isEmpty());
    }

    void documentMenusReplaceTheMainMenusWhileActive() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        entry(barMenu(main, "&File"), "New")->trigger();
        QCOMPARE(main.documents().size(), 1);
        QCOMPARE(barMenus(main), (QStringList{"&File", "&Settings", "&Window", "&Other"}));
        QMenu* file = barMenu(main, "&File");
        QCOMPARE(entries(file), (QStringList{"New", "|", "Open", "|", "Save", "Save As...", "|", "Exit"}));
        QVERIFY(entry(file, "Save")->isEnabled());
        QCOMPARE(entry(file, "Save")->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(entry(file, "Save As...")->shortcut(), QKeySequence("Ctrl+Shift+S"));
        QCOMPARE(entries(barMenu(main, "&Settings")), (QStringList{"Song Settings", "Instrument/Drum Settings"}));
        QCOMPARE(entries(barMenu(main, "&Other")), (QStringList{"About", "Debug"}));
        QCOMPARE(entries(barMenu(main, "&Window")), QStringList{"NewData.org"});

        // The document's own New opens a second document; closing both brings the main menus back.
        entry(file, "New")->trigger();
        QCOMPARE(main.documents().size(), 2);
        main.mdiArea()->closeAllSubWindows();
        QTRY_COMPARE(barMenus(main), (QStringList{"&File", "&Other"}));
        QVERIFY(main.documents().isEmpty());
    }

    void windowListActivatesTheChosenDocument() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        QTemporaryDir folder;
        const QString path = folder.filePath("tune.org");
        QVERIFY(saveOrgFile(Song(), QFile::encodeName(path).toStdString()).ok);
        DocumentWindow* first = main.newFile();
        editor.prompts.answers.push_back(path);
        DocumentWindow* second = main.clickOpen();
        QVERIFY(second != nullptr);
        QCOMPARE(main.activeDocument(), second);
        QMenu* windows = barMenu(main, "&Window");
        emit windows->aboutToShow();
        QCOMPARE(entries(windows), (QStringList{"NewData.org", "tune.org"}));
        QVERIFY(entry(windows, "tune.org")->isChecked());
        entry(windows, "NewData.org")->trigger();
        QCOMPARE(main.activeDocument(), first);
        // The bar now carries the first document's menus.
        QCOMPARE(barMenu(main, "&File"), first->menus().first());
        QVERIFY(entry(windows, "NewData.org")->isChecked());
    }

    void shortcutsReachTheMenusOnShow() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        QApplication::setActiveWindow(&main);
        QTest::keyClick(&main, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(main.documents().size(), 1);
        // The document's New now owns Ctrl+N; the main window's hidden one does not clash with it.
        QTest::keyClick(main.activeDocument(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(main.documents().size(), 2);
        QTest::keyClick(main.activeDocument(), Qt::Key_O, Qt::ControlModifier);  // Open, cancelled
        QCOMPARE(editor.prompts.choosers.size(), 1);
        QCOMPARE(main.documents().size(), 2);
    }

    void exitInADocumentClosesEverythingWithoutAsking() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        main.newFile();
        DocumentWindow* document = main.newFile();
        auto* auxiliary = new QWidget;
        auxiliary->setAttribute(Qt::WA_DeleteOnClose);
        auxiliary->show();
        QPointer<QWidget> watch(auxiliary);
        main.addAuxiliaryWindow(auxiliary);
        entry(document->menus().first(), "Exit")->trigger();
        QTRY_VERIFY(!main.isVisible());
        QVERIFY(main.documents().isEmpty());
        QTRY_VERIFY(watch.isNull());
        QCOMPARE(editor.layer.releases, 1);
        QVERIFY(editor.prompts.messages.isEmpty());
        QVERIFY(editor.prompts.choosers.isEmpty());
    }

    void quitReleasesTheLayerAfterTheDocuments() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        DocumentWindow* document = main.newFile();
        QPointer<DocumentWindow> watch(document);
        main.close();
        QVERIFY(watch.isNull());
        QCOMPARE(editor.layer.releases, 1);
    }
};

const bool registered = registerUiTest<MainWindowTest>();

}  // namespace
}  // namespace tromel::test

#include "MainWindowTest.moc"
