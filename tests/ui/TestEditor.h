// An editor for tests: a device-less audio layer, fake prompts, the built-in pictures and a main window.
#pragma once

#include "app/MainWindow.h"
#include "audio/MixerAudioLayer.h"
#include "document/EditorContext.h"
#include "roll/ui/RollPictures.h"
#include "song/OrgFile.h"
#include "tests/ui/FakePrompts.h"

#include <QFile>
#include <QTemporaryDir>
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
    QTemporaryDir folder;
    std::unique_ptr<MainWindow> mainWindow;  // last, so it goes first

    TestEditor() {
        layer.initDevice(audio::outputRate);
        mainWindow = std::make_unique<MainWindow>(context);
        mainWindow->resize(900, 700);
        mainWindow->show();
        static_cast<void>(QTest::qWaitForWindowExposed(mainWindow.get()));
    }

    // Writes a song into the test's own folder and returns its path (empty if the write failed).
    QString writeSong(const QString& name, const Song& song) {
        const QString path = folder.filePath(name);
        return saveOrgFile(song, QFile::encodeName(path).toStdString()).ok ? path : QString();
    }

    // Plays the layer's clock forward by a number of output frames and returns their peak level.
    float render(int frames) {
        std::vector<float> buffer(2 * 512);
        float peak = 0;
        for (; frames > 0; frames -= 512) {
            const int chunk = std::min(frames, 512);
            layer.renderFrames(buffer.data(), chunk);
            for (int i = 0; i < 2 * chunk; ++i)
                peak = std::max(peak, std::abs(buffer[i]));
        }
        return peak;
    }
};

}  // namespace tromel::test
