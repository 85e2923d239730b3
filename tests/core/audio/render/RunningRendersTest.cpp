// A program told to end stops its renders and takes their unfinished files with it.
#include "audio/render/OfflineRender.h"
#include "audio/render/RenderFiles.h"
#include "audio/render/RunningRenders.h"
#include "tests/core/audio/AudioTestKit.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace tromel::audio::test {
namespace {

// A three-hour export of two stems a moment after it began: stopped within the wait, every file gone.
TEST(RunningRenders, EndingTheProgramCancelsARenderAndRemovesItsFiles) {
    const fs::path folder = scratchFolder("running-renders");
    RenderRequest request;
    request.sampleFolder = TROMEL_SAMPLE_DIR;
    request.output = folder / "long.wav";
    request.seconds = longestRenderSeconds;
    request.stems = true;
    const Song song = songWith({{0, {1, 48, 4, 6, 200}}, {9, {1, 48, 4, 6, 200}}});
    auto render = std::async(std::launch::async, [&] { return renderSong(song, request); });
    const std::vector<fs::path> temporaries = temporaryRenderPaths(song, request);
    ASSERT_EQ(temporaries.size(), 2u);
    for (int waited = 0; waited < 1000 && !fs::exists(temporaries.back()); ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fs::exists(temporaries.front()) && fs::exists(temporaries.back()));
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_TRUE(RunningRenders::ofProcess().cancelAll(std::chrono::milliseconds(500)));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(500));
    for (const fs::path& temporary : temporaries)
        EXPECT_FALSE(fs::exists(temporary)) << temporary;
    EXPECT_EQ(render.get().status, RenderOutcome::Status::Cancelled);
    EXPECT_TRUE(fs::is_empty(folder));
    // Only the renders running then were told: the next one runs as ever.
    request.seconds = 0.1;
    request.stems = false;
    EXPECT_TRUE(renderSong(song, request).written());
}

}  // namespace
}  // namespace tromel::audio::test
