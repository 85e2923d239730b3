// The SDL output: opens, closes and reopens cleanly on the dummy driver, fails cleanly without a device.
#include "audio/sdl/SdlAudioLayer.h"
#include "tests/ui/UiTestRegistry.h"

#include <QTest>

#include <cstdlib>

namespace tromel::audio {
namespace {

class SdlAudioLayerTest : public QObject {
    Q_OBJECT

private slots:
    // Every test class of this binary plays on the dummy driver: a test that hides it puts it back.
    void init() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void cleanup() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    // The device's own callback drives the mixer (songs playing through it are the end-to-end
    // tests' part); a second release is harmless and the device opens again.
    void rendersOnTheDummyDeviceAndReopens() {
        SdlAudioLayer layer;
        for (int open = 0; open < 2; ++open) {
            QVERIFY(layer.initDevice(outputRate));
            const int64_t before = layer.renderedFrames();
            QTRY_VERIFY_WITH_TIMEOUT(layer.renderedFrames() > before, 5000);
            layer.release();
        }
        layer.release();
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
