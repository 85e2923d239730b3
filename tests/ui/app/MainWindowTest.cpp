// Start-up and shut-down of the editor, the main window's menus, their switching and the Window list.
#include "app/EditorStart.h"
#include "app/RecoveryStore.h"
#include "app/TerminationSignals.h"
#include "app/WindowLayoutKeeper.h"
#include "audio/render/OfflineRender.h"
#include "audio/render/RenderFiles.h"
#include "audio/ui/TransportControls.h"
#include "document/DocumentWindow.h"
#include "tests/ui/TestEditor.h"
#include "tests/ui/UiTestRegistry.h"
#include "widgets/ProgramSettings.h"

#include <QActionGroup>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <csignal>
#include <future>

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

// A menu's entries written as one list, comma-separated.
QStringList items(const char* list) {
    return QString(list).split(',');
}

QMenu* barMenu(MainWindow& main, const QString& title) {
    return menuEntry(main.menuBar(), title)->menu();
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

    // From the moment the signals are handled: a SIGTERM while the start-up message waits ends
    // it and the program with 128 + 15. The first signal puts the default actions back, so a
    // second one would end a program whose event loop is stuck.
    void signalsAreHandledFromStartUpOnAndOnlyOnce() {
        ScriptedLayer layer;
        layer.reportedVersion = 0x02040000;
        struct WaitingPrompts : FakePrompts {
            void message(QWidget* parent, MessageIcon icon, const QString& title, const QString& text) override {
                FakePrompts::message(parent, icon, title, text);
                QEventLoop box;
                QTimer::singleShot(10, [] { std::raise(SIGTERM); });
                QTimer::singleShot(3000, &box, [&box] { box.exit(); });
                box.exec();
            }
        } prompts;
        QElapsedTimer took;
        took.start();
        QCOMPARE(runEditor(layer, prompts), 128 + SIGTERM);
        QVERIFY(took.elapsed() < 2000);
        // Leaves the application as an ended event loop leaves it, ready for the next one.
        QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();

        TerminationSignals termination;
        int received = 0;
        connect(&termination, &TerminationSignals::received, [&received](int signal) { received = signal; });
        std::raise(SIGHUP);
        for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
            struct sigaction now {};
            sigaction(signal, nullptr, &now);
            QVERIFY(now.sa_handler == SIG_DFL);
        }
        QTRY_COMPARE(received, SIGHUP);
    }

    // Told to end while a three-hour export runs: the export stops and its file goes before the
    // program would, and the modified song is kept for the next start.
    void aSignalStopsAnExportAndKeepsTheSongs() {
        QTemporaryDir state;
        RecoveryStore store(state.path());
        TestEditor editor;
        editor.mainWindow->keepRecovery(&store, 3600 * 1000);
        DocumentWindow* document = editor.mainWindow->newFile();
        setTempo(document, 99);
        audio::RenderRequest request;
        request.sampleFolder = editor.context.sampleFolder;
        request.output = QFile::encodeName(editor.folder.filePath("long.wav")).toStdString();
        request.seconds = audio::longestRenderSeconds;
        const Song song = songWith({{0, NoteRec{1, 48, 4, 6, 200}}});
        std::future<audio::RenderOutcome> render =
            std::async(std::launch::async, [&] { return audio::renderSong(song, request); });
        const auto temporaries = [&] {
            return QDir(editor.folder.path()).entryList({".long.wav.tromel-*"}, QDir::Files | QDir::Hidden);
        };
        QTRY_COMPARE_WITH_TIMEOUT(temporaries().size(), 1, 10000);
        QElapsedTimer took;
        took.start();
        editor.mainWindow->keepWorkForSignal();
        QVERIFY(took.elapsed() < 1000);
        QVERIFY(temporaries().isEmpty());
        QCOMPARE(render.get().status, audio::RenderOutcome::Status::Cancelled);
        QVERIFY(store.holds(1));
    }

    void aWorkingLayerRunsTheEditorUntilItsMainWindowCloses() {
        ScriptedLayer layer;
        FakePrompts prompts;
        QDir::setCurrent(QDir::tempPath());
        QTemporaryDir folder;
        const QString song = folder.filePath("tune.org");
        QVERIFY(saveOrgFile(Song(), QFile::encodeName(song).toStdString()).ok);
        QStringList captions;
        QTimer::singleShot(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* main = qobject_cast<MainWindow*>(widget);
                if (main == nullptr || !main->isVisible())
                    continue;
                captions << QString::number(main->documents().size());
                // The songs of the command line open once the main window shows.
                QTimer::singleShot(0, main, [main, &captions] {
                    for (DocumentWindow* document : main->documents())
                        captions << document->caption();
                    main->newFile();
                    main->close();
                });
            }
        });
        QObject watchdog;  // ends a loop that failed to end by itself, so the run reports instead of hanging
        QTimer::singleShot(20000, &watchdog, [] { QCoreApplication::exit(99); });
        QCOMPARE(runEditor(layer, prompts, {song, folder.filePath("missing.org")}), 0);
        QCOMPARE(captions, (QStringList{"0", "tune.org", "NewData.org"}));
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(!QApplication::windowIcon().isNull());
        QCOMPARE(QDir::currentPath(), QCoreApplication::applicationDirPath());
        // Shut-down closed both documents before it let the layer go, and did so once.
        QCOMPARE(QList<int>({layer.initCalls, layer.releases, layer.documentsAtRelease}), QList<int>({1, 1, 0}));
    }

    void mainMenusGiveWayToTheActiveDocumentsMenusAndTheirShortcuts() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        QCOMPARE(main.objectName(), QString("winMain"));
        QCOMPARE(main.minimumSize(), QSize(593, 490));
        QCOMPARE(texts(main.menuBar()), (QStringList{"&File", "&Other"}));
        QMenu* file = barMenu(main, "&File");
        QCOMPARE(texts(file), (QStringList{"New", "|", "Open", "Import MIDI...", "Recent Songs", "|", "Save",
                                           "Save As...", "|", "Quit"}));
        QVERIFY(!menuEntry(file, "Save")->isEnabled() && !menuEntry(file, "Save As...")->isEnabled());
        QCOMPARE(texts(barMenu(main, "&Other")), (QStringList{"About", "Old Stuff", "Mouse and Keys"}));

        QApplication::setActiveWindow(&main);
        QTest::keyClick(&main, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(texts(main.menuBar()), (QStringList{"&File", "&Settings", "&Window", "&Other", "&Edit", "&View"}));
        QCOMPARE(texts(barMenu(main, "&Edit")),
                 (items("Undo,Redo,|,Cut,Copy,Paste,Delete,Duplicate,|,Select All,All Channels,|,Transpose Up,"
                        "Transpose Down,Octave Up,Octave Down,Move Left,Move Right,Move Left a Bar,"
                        "Move Right a Bar,|,Step Entry,Step Length,Spread Chords")));
        QVERIFY(!menuEntry(barMenu(main, "&Edit"), "Undo")->isEnabled());
        QCOMPARE(menuEntry(barMenu(main, "&Edit"), "Step Entry")->shortcut(), QKeySequence("Ctrl+E"));
        file = barMenu(main, "&File");
        QCOMPARE(texts(file), (QStringList{"New", "|", "Open", "Import MIDI...", "Recent Songs", "|", "Save",
                                           "Save As...", "Export Audio...", "Export MIDI...", "Close", "|", "Exit"}));
        QVERIFY(menuEntry(file, "Save")->isEnabled());
        QCOMPARE(menuEntry(file, "Close")->shortcut(), QKeySequence("Ctrl+W"));
        QCOMPARE(texts(barMenu(main, "&Settings")),
                 (QStringList{"Song Settings", "Instrument/Drum Settings", "MIDI Input..."}));
        QCOMPARE(texts(barMenu(main, "&Other")), (QStringList{"About", "Debug", "Mouse and Keys"}));
        QMenu* view = barMenu(main, "&View");
        QCOMPARE(texts(view), (items("Go to Notes,Go to Bar...,Follow Playback,Show Notes When Opening,Preview Notes,"
                                     "Play from Here,|,Grid Follows the Song,Show Loop,Show Ruler,|,Zoom In,Zoom Out,"
                                     "Actual Size,|,Remember Window Layout,|,Keyboard Piano,Record,Metronome,Count In,"
                                     "Loop Selection")));
        QCOMPARE(menuEntry(view, "Play from Here")->shortcut(), QKeySequence("Ctrl+Space"));
        QCOMPARE(menuEntry(view, "Record")->shortcut(), QKeySequence("Ctrl+R"));
        QCOMPARE(menuEntry(view, "Loop Selection")->shortcut(), QKeySequence("Ctrl+L"));
        QCOMPARE(menuEntry(view, "Go to Notes")->shortcut(), QKeySequence(Qt::Key_Home));
        QCOMPARE(menuEntry(view, "Zoom In")->shortcuts(),
                 (QList<QKeySequence>{QKeySequence("Ctrl++"), QKeySequence("Ctrl+=")}));
        QCOMPARE(menuEntry(view, "Zoom Out")->shortcut(), QKeySequence("Ctrl+-"));
        QCOMPARE(menuEntry(view, "Actual Size")->shortcut(), QKeySequence("Ctrl+0"));
        // The settings are off unless chosen.
        for (const char* setting :
             {"Follow Playback", "Show Notes When Opening", "Preview Notes", "Grid Follows the Song", "Show Loop",
              "Show Ruler", "Remember Window Layout", "Metronome", "Count In"})
            QVERIFY2(menuEntry(view, setting)->isCheckable() && !menuEntry(view, setting)->isChecked(), setting);

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

    // A menu closed with Escape leaves the menu bar holding the keys; Space still plays and
    // pauses, and Shift+Space stops, rather than opening a menu.
    void spaceAfterAMenuClosedWithEscapePlays() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        DocumentWindow& document = *main.newFile();
        document.song().loopEnd = 16;
        QApplication::setActiveWindow(&main);
        QTRY_VERIFY(document.pianoRoll()->hasFocus());
        for (const auto& [modifier, state] : {std::pair{Qt::NoModifier, audio::TransportState::Playing},
                                              {Qt::NoModifier, audio::TransportState::Paused},
                                              {Qt::ShiftModifier, audio::TransportState::Stopped}}) {
            QTest::keyClick(&main, Qt::Key_V, Qt::AltModifier);
            QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
            QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
            QVERIFY(main.menuBar()->hasFocus());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space, modifier);
            QCOMPARE(document.transport().state(), state);
            QVERIFY(QApplication::activePopupWidget() == nullptr);
            QVERIFY(document.pianoRoll()->hasFocus());  // the keys are the roll's again
        }
    }

    // With View > Remember Window Layout on, the main window's size, place and maximised state
    // are kept as it closes and come back with the next start; off, nothing is restored.
    void theWindowLayoutIsRememberedWhenChosen() {
        const auto start = [](QMainWindow& window) {
            window.resize(640, 500);
            new WindowLayoutKeeper(&window);
        };
        for (const bool maximized : {false, true}) {
            settings::setRememberLayout(true);
            {
                QMainWindow window;
                start(window);
                window.setGeometry(40, 50, 700, 560);
                maximized ? window.showMaximized() : window.show();
                QVERIFY(QTest::qWaitForWindowExposed(&window));
                window.close();
            }
            QMainWindow again;
            start(again);
            again.show();
            QVERIFY(QTest::qWaitForWindowExposed(&again));
            QCOMPARE(again.isMaximized(), maximized);
            if (!maximized)
                QCOMPARE(again.geometry(), QRect(40, 50, 700, 560));
            again.close();
        }
        settings::setRememberLayout(false);
        QMainWindow plain;
        start(plain);
        QCOMPARE(plain.size(), QSize(640, 500));
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
        const qsizetype groups = main.findChildren<QActionGroup*>().size();
        for (int refresh = 0; refresh < 2; ++refresh)
            emit windows->aboutToShow();
        QCOMPARE(texts(windows), (QStringList{"NewData.org", "tune.org", "|", "Cascade", "Tile"}));
        QCOMPARE(main.findChildren<QActionGroup*>().size(), groups);  // refreshing leaves nothing behind
        QVERIFY(menuEntry(windows, "tune.org")->isChecked());
        menuEntry(windows, "NewData.org")->trigger();
        QCOMPARE(main.activeDocument(), first);
        QCOMPARE(barMenu(main, "&File"), first->menus().first());
        QVERIFY(menuEntry(windows, "NewData.org")->isChecked());

        // Cancelling Open brings back the window the user was in, not the oldest.
        main.newFile();
        main.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(second->parentWidget()));
        QCOMPARE(main.clickOpen(), nullptr);
        QCOMPARE(main.activeDocument(), second);
        QCOMPARE(barMenu(main, "&File"), second->menus().first());

        for (const char* arrangement : {"Tile", "Cascade"}) {
            menuEntry(windows, arrangement)->trigger();
            QList<QPoint> places;
            for (QMdiSubWindow* frame : main.mdiArea()->subWindowList())
                places << frame->pos();
            QCOMPARE(QSet<QPoint>(places.begin(), places.end()).size(), 3);
        }
    }

    // A dozen windows: each new one a title bar down and right of the last, back at the top left
    // when it would run past the area, never exactly on an older one.
    void newWindowsCascadeWithoutCoveringOlderOnes() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        QList<QPoint> places;
        for (int i = 0; i < 12; ++i)
            places << main.newFile()->parentWidget()->pos();
        const QSize area = main.mdiArea()->viewport()->size();
        const QSize window = main.activeDocument()->parentWidget()->size();
        const int step = places[1].x();
        QVERIFY(places[0] == QPoint(0, 0) && step > 10 && places[1] == QPoint(step, step));
        int wraps = 0;
        for (int i = 1; i < places.size(); ++i) {
            QCOMPARE(places.count(places[i]), 1);
            const QPoint next = places[i - 1] + QPoint(step, step);
            const bool fits = next.x() + window.width() <= area.width() && next.y() + window.height() <= area.height();
            wraps += !fits;
            QVERIFY2(fits ? places[i] == next : places[i].y() == 0, qPrintable(QString("window %1").arg(i)));
        }
        QVERIFY(wraps >= 1);
    }

    // A maximized document fills the area even of the smallest main window, below a normal
    // window's spring-back size, to which it returns in its normal state. A new window beside a
    // maximized one opens maximized and must fill the area, not keep a normal window's size.
    void maximizedDocumentsFillTheArea() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        main.resize(main.minimumSize());
        QMdiSubWindow* frame = frameOf(main.newFile());
        frame->showMaximized();
        QTRY_COMPARE(frame->size(), main.mdiArea()->viewport()->size());
        QVERIFY(frame->height() < 525);
        frame->showNormal();
        QTRY_COMPARE(frame->minimumSize(), QSize(593, 525));
        // A window the area maximizes because another is maximized fits as well, also when the
        // main window shrinks afterwards.
        frame->showMaximized();
        QMdiSubWindow* beside = frameOf(main.newFile());
        QVERIFY(beside->isMaximized());
        QTRY_COMPARE(beside->size(), main.mdiArea()->viewport()->size());
        main.resize(900, 700);
        QTRY_COMPARE(beside->size(), main.mdiArea()->viewport()->size());
        main.resize(main.minimumSize());
        QTRY_COMPARE(beside->size(), main.mdiArea()->viewport()->size());
        QVERIFY(beside->height() < 525);
    }

    // A modified window is asked about on every way out, unmodified ones never; Save saves
    // (through Save As when unbound), and a cancelled or failed save keeps everything open.
    void unsavedChangesAreAskedAboutOnEveryWayOut() {
        TestEditor editor;
        MainWindow& main = *editor.mainWindow;
        FakePrompts& prompts = editor.prompts;
        const auto closeBox = [](DocumentWindow* document) {
            QPointer<DocumentWindow> watched(document);
            document->parentWidget()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return watched.isNull();
        };
        prompts.answers.push_back(editor.writeSong("bound.org", Song()));
        DocumentWindow* bound = main.clickOpen();
        DocumentWindow* unbound = main.newFile();
        DocumentWindow* untouched = main.newFile();
        setTempo(bound, 129);
        setTempo(unbound, 129);
        QCOMPARE(bound->caption(), QString("bound.org*"));

        prompts.saveAnswers = {SaveChoice::Cancel, SaveChoice::Save};  // Save, then Save As cancelled
        QVERIFY(!closeBox(unbound));
        QVERIFY(!closeBox(unbound));
        QVERIFY(closeBox(untouched));
        QCOMPARE(prompts.savePrompts, QStringList({"NewData.org", "NewData.org"}));

        // Exit asks each modified window in turn; one Cancel keeps every window open.
        prompts.saveAnswers = {SaveChoice::Discard, SaveChoice::Cancel};
        main.close();
        QVERIFY(main.isVisible());
        QCOMPARE(main.documents(), (QList<DocumentWindow*>{bound, unbound}));
        QCOMPARE(prompts.savePrompts.mid(2), QStringList({"bound.org", "NewData.org"}));

        // A save that fails keeps the window; one that works writes the song and closes it.
        QDir(editor.folder.path()).rename("bound.org", "moved.org");
        QDir(editor.folder.path()).mkdir("bound.org");  // the file's place is taken by a folder
        prompts.saveAnswers = {SaveChoice::Save};
        QVERIFY(!closeBox(bound));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].title, QString("File Save Error"));
        QDir(editor.folder.path()).rmdir("bound.org");
        prompts.saveAnswers = {SaveChoice::Save};
        QVERIFY(closeBox(bound));
        Song saved;
        QVERIFY(loadOrgFile(saved, QFile::encodeName(editor.folder.filePath("bound.org")).toStdString()).ok());
        QCOMPARE(saved.tempo, 129);

        // Exit from a document closes every window, the program's own ones too, asking only about
        // the modified one.
        QPointer<QWidget> auxiliary(new QWidget);
        auxiliary->setAttribute(Qt::WA_DeleteOnClose);
        auxiliary->show();
        main.addAuxiliaryWindow(auxiliary);
        prompts.saveAnswers = {SaveChoice::Discard};
        menuEntry(main.newFile()->menus().first(), "Exit")->trigger();
        QTRY_VERIFY(!main.isVisible() && auxiliary.isNull());
        QVERIFY(main.documents().isEmpty());
        QCOMPARE(prompts.savePrompts.size(), 7);
        QCOMPARE(editor.layer.releases, 1);
    }
};

const bool registered = registerUiTest<MainWindowTest>();

}  // namespace
}  // namespace tromel::test

#include "MainWindowTest.moc"
