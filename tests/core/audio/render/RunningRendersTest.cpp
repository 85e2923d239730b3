// A program told to end stops its renders and takes their unfinished files with it.
#include "audio/render/OfflineRender.h"
#include "audio/render/RunningRenders.h"
#include "files/AtomicWrite.h"
#include "tests/core/audio/AudioTestKit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <thread>

namespace tromel::audio::test {
namespace {

// A three-hour export of two stems a moment after it began: stopped within the wait, every file gone;
// the files of a render stuck in a write go without it.
TEST(RunningRenders, EndingTheProgramCancelsARenderAndRemovesItsFiles) {
    const fs::path folder = scratchFolder("running-renders");
    RenderRequest request;
    request.sampleFolder = TROMEL_SAMPLE_DIR;
    request.output = folder / "long.wav";
    request.seconds = longestRenderSeconds;
    request.stems = true;
    const Song song = songWith({{0, {1, 48, 4, 6, 200}}, {9, {1, 48, 4, 6, 200}}});
    auto render = std::async(std::launch::async, [&] { return renderSong(song, request); });
    const auto temporaries = [&] {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(folder))
            if (files::isTemporaryName(entry.path().filename().string()))
                found.push_back(entry.path());
        return found;
    };
    for (int waited = 0; waited < 1000 && temporaries().size() < 2; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(temporaries().size(), 2u);
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_TRUE(RunningRenders::ofProcess().cancelAll(std::chrono::milliseconds(500)));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(500));
    EXPECT_EQ(render.get().status, RenderOutcome::Status::Cancelled);
    EXPECT_TRUE(fs::is_empty(folder));
    // Only the renders running then were told: the next one runs as ever.
    request.seconds = 0.1;
    request.stems = false;
    EXPECT_TRUE(renderSong(song, request).written());

    // A render stuck in a write: its files go without it.
    const int stuck = RunningRenders::ofProcess().begin();
    std::ofstream(folder / "stuck") << "x";
    RunningRenders::ofProcess().made(stuck, folder / "stuck");
    EXPECT_FALSE(RunningRenders::ofProcess().cancelAll(std::chrono::milliseconds(1)));
    EXPECT_FALSE(fs::exists(folder / "stuck"));
    RunningRenders::ofProcess().end(stuck);
}

}  // namespace
}  // namespace tromel::audio::test
