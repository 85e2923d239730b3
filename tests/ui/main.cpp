// Runs every registered Qt Test class in one headless application.
#include "tests/ui/UiTestRegistry.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace tromel::test {

std::vector<UiTestFactory>& uiTests() {
    static std::vector<UiTestFactory> tests;
    return tests;
}

}  // namespace tromel::test

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    // Qt wants a private runtime folder; make one when the machine gives none.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + "/tromel-ui-tests-runtime";
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    // Settings, recovery files and other per-user state go to a folder of this run only.
    QTemporaryDir userState;
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"})
        qputenv(variable, (userState.path() + "/" + variable).toLocal8Bit());
    QApplication app(argc, argv);
    int failures = 0;
    for (const auto& makeTest : tromel::test::uiTests()) {
        std::unique_ptr<QObject> test = makeTest();
        failures += QTest::qExec(test.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
