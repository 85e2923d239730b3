// An editor for tests: a device-less audio layer, fake prompts, the built-in pictures and a main window.
#pragma once

#include "app/MainWindow.h"
#include "audio/MixerAudioLayer.h"
#include "document/EditorContext.h"
#include "roll/ui/RollPictures.h"
#include "tests/ui/FakePrompts.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace tromel::test {

// Counts releases so tests can see when, and how often, the program let the layer go.
class CountingAudioLayer : public audio::MixerAudioLayer {
public:
    int releases = 0;
    void release() override {
        ++releases;
        MixerAudioLayer::release();
    }
};

struct TestEditor {
    CountingAudioLayer layer;
    FakePrompts prompts;
    roll::RollPictures pictures{roll::RollPictures::builtInSpriteSheet(), QSize(1024, 768)};
    EditorContext context{layer, pictures, prompts, TROMEL_BIN_DIR "/Processed ORG Samples"};
    std::unique_ptr<MainWindow> mainWindow;

    TestEditor() {
        layer.initDevice(audio::outputRate);
        mainWindow = std::make_unique<MainWindow>(context);
        mainWindow->resize(900, 700);
        mainWindow->show();
        static_cast<void>(QTest::qWaitForWindowExposed(mainWindow.get()));
    }
    ~TestEditor() { mainWindow.reset(); }

    // Plays the layer's clock forward by a number of output frames.
    void render(int frames) {
        std::vector<float> buffer(2 * 512);
        while (frames > 0) {
            const int chunk = std::min(frames, 512);
            layer.renderFrames(buffer.data(), chunk);
            frames -= chunk;
        }
    }

    // The peak level of the next frames.
    float renderPeak(int frames) {
        std::vector<float> buffer(2 * static_cast<std::size_t>(frames));
        layer.renderFrames(buffer.data(), frames);
        float peak = 0;
        for (float sample : buffer)
            peak = std::max(peak, std::abs(sample));
        return peak;
    }
};

}  // namespace tromel::test
