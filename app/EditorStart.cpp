// The editor's start-up sequence.
#include "app/EditorStart.h"

#include "app/AudioStartUp.h"
#include "app/MainWindow.h"
#include "app/RecoveryStore.h"
#include "app/TerminationSignals.h"
#include "app/WindowLayoutKeeper.h"
#include "audio/rtmidi/RtMidiSource.h"
#include "audio/samples/SampleFolder.h"
#include "audio/ui/MidiInput.h"
#include "document/EditorContext.h"
#include "roll/ui/RollPictures.h"
#include "widgets/FilePaths.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <optional>

namespace tromel {
namespace {

// Twice a device buffer: a command that found the queue full waits about as long as it would
// have waited in the queue.
constexpr int pendingRetryMilliseconds = 20;

QSize primaryScreenSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize(1024, 768);
}

// Room for a whole document window with its controls, within the screen.
QSize openingSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableSize() : QSize(1024, 768);
    return QSize(840, 720).boundedTo(room);
}

// How often modified songs are kept for recovery: every 30 seconds, or as TROMEL_RECOVERY_INTERVAL_MS
// says (tests use a shorter interval).
int recoveryIntervalMs() {
    bool ok = false;
    const int interval = qEnvironmentVariableIntValue("TROMEL_RECOVERY_INTERVAL_MS", &ok);
    return ok && interval > 0 ? interval : 30000;
}

// Every window shows the program's icon, drawn at build time in several sizes; the desktop
// entry of the same name ties the running program to its installed icon and file type.
void setProgramIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/images/icons/tromel-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName("tromel");
}

}  // namespace

void retryPendingCommands(audio::AudioLayer& layer, QObject* owner) {
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, owner, [&layer] { layer.flushPending(); });
    timer->start(pendingRetryMilliseconds);
}

int runEditor(audio::AudioLayer& layer, Prompts& prompts, const QStringList& songs) {
    // From here on a SIGTERM, SIGINT or SIGHUP waits for the event loop, which keeps the work.
    // Before the main window there is no work: the signal ends every event loop, a start-up
    // message box's too, and the program with 128 + the signal.
    TerminationSignals termination;
    QPointer<MainWindow> main;
    std::optional<int> signalled;
    QObject::connect(&termination, &TerminationSignals::received, &termination, [&main, &signalled](int signal) {
        if (main) {
            main->endForSignal(signal);
            return;
        }
        signalled = 128 + signal;
        QCoreApplication::exit(*signalled);
    });
    // Relative names, such as a file saved without a folder, resolve in the program's folder
    // where it is ours to write (a build tree); an installed program keeps the user's folder.
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(programFolder).isWritable())
        QDir::setCurrent(programFolder);
    const AudioStartUp audio = prepareAudio(layer, prompts);
    if (signalled)
        return *signalled;
    if (audio != AudioStartUp::Ready)
        return 1;
    setProgramIcon();
    roll::RollPictures pictures(roll::RollPictures::builtInSpriteSheet(), primaryScreenSize());
    EditorContext context{layer, pictures, prompts, audio::findSampleFolder(toFilesystemPath(programFolder))};
    // MIDI keyboards, where the system has MIDI; the editor works the same without.
    audio::MidiInput midi(layer, context.sampleFolder, std::make_unique<audio::RtMidiSource>());
    context.midi = &midi;
    RecoveryStore recovery(RecoveryStore::defaultRoot());
    MainWindow mainWindow(context);
    main = &mainWindow;
    mainWindow.keepRecovery(&recovery, recoveryIntervalMs());
    retryPendingCommands(layer, &mainWindow);
    mainWindow.resize(openingSize());
    new WindowLayoutKeeper(&mainWindow);
    mainWindow.show();
    // Songs an earlier editor left behind come back first, then the songs named on the command line.
    QTimer::singleShot(0, &mainWindow, [&mainWindow, songs] {
        mainWindow.restoreLeftBehind();
        for (const QString& song : songs)
            mainWindow.openFile(song);
    });
    return QApplication::exec();
}

}  // namespace tromel
