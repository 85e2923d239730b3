// The SDL output: opens and closes cleanly on the dummy driver, fails cleanly without a device.
#include "audio/Transport.h"
#include "audio/sdl/SdlAudioLayer.h"
#include "tests/ui/UiTestRegistry.h"

#include <QElapsedTimer>
#include <QTest>

#include <cstdlib>
#include <string>

namespace tromel::audio {
namespace {

class SilentHost : public TransportHost {
public:
    void setProgressMaximum(int32_t) override {}
    void setProgress(int32_t) override {}
    void setStatusText(const std::string&) override {}
    void showChannelStatus() override {}
    void showAudioError(const std::string&) override { ++errors; }
    void showPlayRefusal(const std::string&) override {}
    int errors = 0;
};

class SdlAudioLayerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        m_driver = driver ? driver : "dummy";
    }
    void init() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    // The other test classes of this binary open devices too.
    void cleanupTestCase() { setenv("SDL_AUDIODRIVER", m_driver.c_str(), 1); }

    void playsASongThroughTheDummyDevice() {
        SdlAudioLayer layer;
        QCOMPARE(layer.version() >> 16, expectedVersionHigh);
        layer.setMaxVolume(largestVolume);
        QVERIFY(layer.initDevice(outputRate));
        Song song;
        song.tempo = 20;
        song.loopEnd = 8;
        song.instrumentNotes.grow(1);
        song.instrumentNotes.at(0, 1) = {1, 48, 2, 6, 200};
        SilentHost host;
        {
            Transport transport(layer, std::filesystem::path(TROMEL_BIN_DIR) / "Processed ORG Samples");
            QVERIFY(transport.play(song, host));
            QCOMPARE(host.errors, 0);
            QTRY_VERIFY_WITH_TIMEOUT(transport.stepsHeard() >= 3, 5000);
            QVERIFY(transport.playPosition() >= 1);
            transport.pause();
            transport.play(song, host);
            transport.stop();
        }
        QVERIFY(layer.renderedFrames() > 0);
        layer.release();
        layer.release();  // a second release is harmless
    }

    void reopensAfterRelease() {
        SdlAudioLayer layer;
        QVERIFY(layer.initDevice(outputRate));
        layer.release();
        QVERIFY(layer.initDevice(outputRate));
        const int64_t before = layer.renderedFrames();
        QTRY_VERIFY_WITH_TIMEOUT(layer.renderedFrames() > before, 5000);
    }

    void failsWithoutADevice() {
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
        SdlAudioLayer layer;
        QVERIFY(!layer.initDevice(outputRate));
        QCOMPARE(layer.lastError(), static_cast<int>(errorNoDevice));
        layer.release();
    }

private:
    std::string m_driver;
};

const bool registered = tromel::test::registerUiTest<SdlAudioLayerTest>();

}  // namespace
}  // namespace tromel::audio

#include "SdlAudioLayerTest.moc"
