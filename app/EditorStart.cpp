// The editor's start-up sequence.
#include "app/EditorStart.h"

#include "app/AudioStartUp.h"
#include "app/MainWindow.h"
#include "app/RecoveryStore.h"
#include "app/TerminationSignals.h"
#include "document/EditorContext.h"
#include "roll/ui/RollPictures.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTimer>

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

}  // namespace

void retryPendingCommands(audio::AudioLayer& layer, QObject* owner) {
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, owner, [&layer] { layer.flushPending(); });
    timer->start(pendingRetryMilliseconds);
}

int runEditor(audio::AudioLayer& layer, Prompts& prompts) {
    // From here on a SIGTERM, SIGINT or SIGHUP waits for the event loop, which keeps the work.
    TerminationSignals termination;
    // Relative names, such as a sample folder or a file saved without a folder, resolve here.
    const QString programFolder = QCoreApplication::applicationDirPath();
    QDir::setCurrent(programFolder);
    if (prepareAudio(layer, prompts) != AudioStartUp::Ready)
        return 1;
    roll::RollPictures pictures(roll::RollPictures::builtInSpriteSheet(), primaryScreenSize());
    EditorContext context{layer, pictures, prompts,
                          QFile::encodeName(programFolder + "/Processed ORG Samples").toStdString()};
    RecoveryStore recovery(RecoveryStore::defaultRoot());
    MainWindow mainWindow(context);
    QObject::connect(&termination, &TerminationSignals::received, &mainWindow, &MainWindow::endForSignal);
    mainWindow.keepRecovery(&recovery, recoveryIntervalMs());
    retryPendingCommands(layer, &mainWindow);
    mainWindow.resize(openingSize());
    mainWindow.show();
    QTimer::singleShot(0, &mainWindow, &MainWindow::restoreLeftBehind);
    return QApplication::exec();
}

}  // namespace tromel
