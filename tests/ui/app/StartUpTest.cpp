// Start-up: the audio layer's checks end the program with their messages; otherwise the editor runs.
#include "app/EditorStart.h"
#include "app/MainWindow.h"
#include "audio/MixerAudioLayer.h"
#include "tests/ui/FakePrompts.h"
#include "tests/ui/UiTestRegistry.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>

namespace tromel::test {
namespace {

class ScriptedLayer : public audio::MixerAudioLayer {
public:
    uint32_t reportedVersion = audio::layerVersion;
    bool deviceOpens = true;
    int initCalls = 0;
    int maxVolume = 0;
    int releases = 0;
    int documentsAtRelease = -1;

    uint32_t version() const override { return reportedVersion; }
    void setMaxVolume(int volume) override {
        maxVolume = volume;
        MixerAudioLayer::setMaxVolume(volume);
    }
    bool initDevice(int sampleRate) override {
        ++initCalls;
        if (!deviceOpens) {
            setError(audio::errorNoDevice);
            return false;
        }
        return MixerAudioLayer::initDevice(sampleRate);
    }
    void release() override {
        ++releases;
        documentsAtRelease = 0;
        for (QWidget* widget : QApplication::allWidgets())
            documentsAtRelease += widget->objectName() == "winFile";
        MixerAudioLayer::release();
    }
};

bool anyWindowVisible() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            return true;
    }
    return false;
}

class StartUpTest : public QObject {
    Q_OBJECT

private slots:
    void wrongVersionEndsTheProgramWithTheVersionMessage() {
        ScriptedLayer layer;
        layer.reportedVersion = 0x02040000;
        FakePrompts prompts;
        QCOMPARE(runEditor(layer, prompts), 1);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].icon, MessageIcon::Critical);
        QCOMPARE(prompts.messages[0].text, QString("An incorrect version of BASS.DLL was loaded"));
        QCOMPARE(layer.initCalls, 0);
        QVERIFY(!anyWindowVisible());
    }

    void missingDeviceEndsTheProgramWithTheAudioErrorBox() {
        ScriptedLayer layer;
        layer.deviceOpens = false;
        FakePrompts prompts;
        QCOMPARE(runEditor(layer, prompts), 1);
        QCOMPARE(layer.maxVolume, 320);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].icon, MessageIcon::Warning);
        QCOMPARE(prompts.messages[0].title, QString("Error"));
        QCOMPARE(prompts.messages[0].text, QString("Can't initialize device\r\n\r\nerror code: 23"));
        QVERIFY(!anyWindowVisible());
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
        QCOMPARE(layer.initCalls, 1);
        QCOMPARE(layer.releases, 1);
        QCOMPARE(layer.documentsAtRelease, 0);
        QVERIFY(prompts.messages.isEmpty());
    }
};

const bool registered = registerUiTest<StartUpTest>();

}  // namespace
}  // namespace tromel::test

#include "StartUpTest.moc"
