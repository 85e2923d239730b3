// The SDL output: opens and closes cleanly on the dummy driver, fails cleanly without a device.
#include "audio/Transport.h"
#include "audio/sdl/SdlAudioLayer.h"
#include "tests/ui/UiTestRegistry.h"

#include <QTest>

#include <cstdlib>

namespace tromel::audio {
namespace {

class CountingHost : public TransportHost {
public:
    void setProgressMaximum(int32_t) override {}
    void setProgress(int32_t) override {}
    void setStatusText(const std::string&) override {}
    void showChannelStatus() override {}
    void showAudioError(const std::string&) override { ++errors; }
    void showPlayRefusal(const std::string&) override { ++errors; }
    int errors = 0;
};

class SdlAudioLayerTest : public QObject {
    Q_OBJECT

private slots:
    // Every test class of this binary plays on the dummy driver: a test that hides it puts it back.
    void init() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void cleanup() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    void playsASongThroughTheDummyDeviceAndReopens() {
        SdlAudioLayer layer;
        QVERIFY(layer.initDevice(outputRate));
        Song song;
        song.tempo = 20;
        song.loopEnd = 8;
        song.instrumentNotes.grow(1);
        song.instrumentNotes.at(0, 1) = {1, 48, 2, 6, 200};
        CountingHost host;
        {
            Transport transport(layer, std::filesystem::path(TROMEL_BIN_DIR) / "Processed ORG Samples");
            QVERIFY(transport.play(song, host));
            transport.finishPreparing(host);
            QCOMPARE(host.errors, 0);
            QTRY_VERIFY_WITH_TIMEOUT(transport.stepsHeard() >= 3, 5000);
            transport.pause();
            transport.play(song, host);
            transport.stop();
        }
        layer.release();
        layer.release();  // a second release is harmless
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
};

const bool registered = tromel::test::registerUiTest<SdlAudioLayerTest>();

}  // namespace
}  // namespace tromel::audio

#include "SdlAudioLayerTest.moc"
