// Start-up and shut-down of the editor, the main window's menus, their switching and the Window list.
#include "app/EditorStart.h"
#include "document/DocumentWindow.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace tromel::test {
namespace {

// A layer that can fail the start-up checks, and notes what start-up and shut-down did with it.
class ScriptedLayer : public CountingAudioLayer {
public:
    uint32_t reportedVersion = audio::layerVersion;
    bool deviceOpens = true;
    int initCalls = 0;
    int maxVolume = 0;
    int documentsAtRelease = -1;

    uint32_t version() const override { return reportedVersion; }
    void setMaxVolume(int volume) override {
        maxVolume = volume;
        MixerAudioLayer::setMaxVolume(volume);
    }
    bool initDevice(int sampleRate) override {
        ++initCalls;
        if (deviceOpens)
            return MixerAudioLayer::initDevice(sampleRate);
        setError(audio::errorNoDevice);
        return false;
    }
    void release() override {
        const QWidgetList widgets = QApplication::allWidgets();
        documentsAtRelease = int(std::count_if(widgets.begin(), widgets.end(),
                                               [](QWidget* widget) { return widget->objectName() == "winFile"; }));
        CountingAudioLayer::release();
    }
};

// The entries of a menu bar or menu, a separator shown as "|".
QStringList texts(const QWidget* menu) {
    QStringList result;
    for (const QAction* action : menu->actions())
        result << (action->isSeparator() ? QString("|") : action->text());
    return result;
}

QAction* entry(const QWidget* menu, const QString& text) {
    const QList<QAction*> actions = menu->actions();
    const auto found = std::find_if(actions.begin(), actions.end(), [&](QAction* a) { return a->text() == text; });
    return found == actions.end() ? nullptr : *found;
}

QMenu* barMenu(MainWindow& main, const QString& title) {
    return entry(main.menuBar(), title)->menu();
}

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void failedAudioChecksEndTheProgramWithTheirMessage() {
        struct Failure {
            uint32_t version;
            bool deviceOpens;
            MessageIcon icon;
            QString text;
            QList<int> initCallsAndMaxVolume;
        };
        for (const Failure& failure :
             {Failure{0x02040000, true, MessageIcon::Critical, "An incorrect version of BASS.DLL was loaded", {0, 0}},
              Failure{audio::layerVersion,
                      false,
                      MessageIcon::Warning,
                      "Can't initialize device\r\n\r\nerror code: 23",
                      {1, 320}}}) {
            ScriptedLayer layer;
            layer.reportedVersion = failure.version;
            layer.deviceOpens = failure.deviceOpens;
            FakePrompts prompts;
            QCOMPARE(runEditor(layer, prompts), 1);
            QCOMPARE(prompts.messages.size(), 1);
            QCOMPARE(prompts.messages[0].icon, failure.icon);
            QCOMPARE(prompts.messages[0].text, failure.text);
            QVERIFY(failure.deviceOpens || prompts.messages[0].title == "Error");
            QCOMPARE(QList<int>({layer.initCalls, layer.maxVolume}), failure.initCallsAndMaxVolume);
            for (QWidget* widget : QApplication::topLevelWidgets())
                QVERIFY(!widget->isVisible());
        }
    }

    void aWorkingLayerRunsTheEditorUntilItsMainWindowCloses() {
        ScriptedLayer layer;
        FakePrompts prompts;
        QDir::setCurrent(QDir::tempPath());
        bool sawMainWindow = false;
        QTimer::singleShot(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* main = qobject_cast<MainWindow*>(widget);
                if (main == nullptr || !main->isVisible())
                    continue;
                sawMainWindow = main->documents().isEmpty();
                main->newFile();
                main->newFile();
                main->close();
            }
        });
        QObject watchdog;  // ends a loop that failed to end by itself, so the run reports instead of hanging
        QTimer::singleShot(20000, &watchdog, [] { QCoreApplication::exit(99); });
        QCOMPARE(runEditor(layer, prompts), 0);
        QVERIFY(sawMainWindow);
        QCOMPARE(QDir::currentPath(), QCoreApplication::applicationDirPath());
        // Shut-down closed both documents before it let the layer go, and did so once.
        QCOMPARE(QList<int>({layer.initCalls, layer.releases, layer.documentsAtRelease}), QList<int>({1, 1, 0}));
        QVERIFY(prompts.messages.isEmpty());
    }

    void mainMenusGiveWayToTheActiveDocumentsMenusAndTheirShortcuts() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        QCOMPARE(main.objectName(), QString("winMain"));
        QCOMPARE(main.minimumSize(), QSize(593, 490));
        QCOMPARE(texts(main.menuBar()), (QStringList{"&File", "&Other"}));
        QMenu* file = barMenu(main, "&File");
        QCOMPARE(texts(file), (QStringList{"New", "|", "Open", "|", "Save", "Save As...", "|", "Quit"}));
        QVERIFY(!entry(file, "Save")->isEnabled() && !entry(file, "Save As...")->isEnabled());
        QCOMPARE(texts(barMenu(main, "&Other")), (QStringList{"About", "Old Stuff"}));

        QApplication::setActiveWindow(&main);
        QTest::keyClick(&main, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(texts(main.menuBar()), (QStringList{"&File", "&Settings", "&Window", "&Other"}));
        file = barMenu(main, "&File");
        QCOMPARE(texts(file),
                 (QStringList{"New", "|", "Open", "|", "Save", "Save As...", "Export WAV...", "|", "Exit"}));
        QVERIFY(entry(file, "Save")->isEnabled());
        QCOMPARE(texts(barMenu(main, "&Settings")), (QStringList{"Song Settings", "Instrument/Drum Settings"}));
        QCOMPARE(texts(barMenu(main, "&Other")), (QStringList{"About", "Debug"}));

        // The document's New now owns Ctrl+N; the main window's hidden one does not clash with it.
        QTest::keyClick(main.activeDocument(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(main.documents().size(), 2);
        QTest::keyClick(main.activeDocument(), Qt::Key_O, Qt::ControlModifier);  // Open, cancelled
        QCOMPARE(editor.prompts.choosers.size(), 1);
        QCOMPARE(main.documents().size(), 2);
        // Closing both documents brings the main menus back.
        main.mdiArea()->closeAllSubWindows();
        QTRY_COMPARE(texts(main.menuBar()), (QStringList{"&File", "&Other"}));
        QVERIFY(main.documents().isEmpty());
    }

    void windowListActivatesTheChosenDocument() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        DocumentWindow* first = main.newFile();
        editor.prompts.answers.push_back(editor.writeSong("tune.org", Song()));
        DocumentWindow* second = main.clickOpen();
        QCOMPARE(main.activeDocument(), second);
        QMenu* windows = barMenu(main, "&Window");
        emit windows->aboutToShow();
        QCOMPARE(texts(windows), (QStringList{"NewData.org", "tune.org"}));
        QVERIFY(entry(windows, "tune.org")->isChecked());
        entry(windows, "NewData.org")->trigger();
        QCOMPARE(main.activeDocument(), first);
        QCOMPARE(barMenu(main, "&File"), first->menus().first());
        QVERIFY(entry(windows, "NewData.org")->isChecked());
    }

    // The area opens a new window maximized while another is; it must fill the area, not keep the
    // opening size of a normal window.
    void aNewWindowBesideAMaximizedOneFillsTheArea() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        auto frameOf = [](DocumentWindow* document) { return qobject_cast<QMdiSubWindow*>(document->parentWidget()); };
        frameOf(main.newFile())->showMaximized();
        QMdiSubWindow* frame = frameOf(main.newFile());
        QVERIFY(frame->isMaximized());
        QCOMPARE(frame->size(), main.mdiArea()->viewport()->size());
    }

    void exitInADocumentClosesEverythingWithoutAsking() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        main.newFile();
        QPointer<QWidget> auxiliary(new QWidget);
        auxiliary->setAttribute(Qt::WA_DeleteOnClose);
        auxiliary->show();
        main.addAuxiliaryWindow(auxiliary);
        entry(main.newFile()->menus().first(), "Exit")->trigger();
        QTRY_VERIFY(!main.isVisible());
        QVERIFY(main.documents().isEmpty());
        QTRY_VERIFY(auxiliary.isNull());
        QCOMPARE(editor.layer.releases, 1);
        QVERIFY(editor.prompts.messages.isEmpty() && editor.prompts.choosers.isEmpty());
    }
};

const bool registered = registerUiTest<MainWindowTest>();

}  // namespace
}  // namespace tromel::test

#include "MainWindowTest.moc"
