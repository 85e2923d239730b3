// Export jobs on threads of their own, and a program told to end stopping its renders and taking
// their unfinished files with it.
#include "audio/render/ExportJob.h"
#include "audio/render/RunningRenders.h"
#include "audio/samples/SamplePreparation.h"
#include "files/AtomicWrite.h"
#include "tests/core/audio/AudioTestKit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace tromel::audio::test {
namespace {

std::vector<fs::path> temporariesIn(const fs::path& folder) {
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (files::isTemporaryName(entry.path().filename().string()))
            found.push_back(entry.path());
    return found;
}

RenderRequest threeHoursOfStems(const fs::path& folder) {
    RenderRequest request;
    request.sampleFolder = TROMEL_SAMPLE_DIR;
    request.output = folder / "long.wav";
    request.seconds = longestRenderSeconds;
    request.stems = true;
    return request;
}

Song twoChannels() {
    return songWith({{0, {1, 48, 4, 6, 200}}, {9, {1, 48, 4, 6, 200}}});
}

// Waits at most ten seconds for what another thread brings about.
template <typename Condition>
bool becomes(Condition condition) {
    for (int waited = 0; waited < 2000 && !condition(); ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return condition();
}

// A job tells how far it has got while it runs; cancelled, or dropped while it runs, it stops and
// leaves nothing behind. A job that ran to the end wrote what renderSong writes.
TEST(ExportJob, FollowedCancelledOrDroppedLeavesNothingAndFinishedHasWritten) {
    // A render waits for its samples in spells that end when they are ready, and not before.
    SamplePreparation preparation({SampleRequest{}});
    EXPECT_FALSE(preparation.waitFor(std::chrono::milliseconds(1)));
    std::thread worker([&] { preparation.finish(); });
    EXPECT_TRUE(preparation.waitFor(std::chrono::seconds(10)));
    worker.join();

    const fs::path folder = scratchFolder("export-job");
    RenderRequest request = threeHoursOfStems(folder);
    ExportJob cancelled(twoChannels(), request);
    ASSERT_TRUE(becomes([&] { return cancelled.done() > 0; }));
    EXPECT_FALSE(cancelled.finished());
    EXPECT_EQ(cancelled.total(), static_cast<int64_t>(longestRenderSeconds * outputRate));
    cancelled.cancel();
    EXPECT_EQ(cancelled.wait().status, RenderOutcome::Status::Cancelled);
    EXPECT_TRUE(cancelled.finished());
    EXPECT_TRUE(fs::is_empty(folder));
    {
        ExportJob dropped(twoChannels(), request);
        ASSERT_TRUE(becomes([&] { return temporariesIn(folder).size() == 2; }));
    }
    EXPECT_TRUE(fs::is_empty(folder));

    request.seconds = 0.5;
    request.stems = false;
    ExportJob finished(twoChannels(), request);
    const RenderOutcome& outcome = finished.wait();
    ASSERT_TRUE(outcome.written());
    EXPECT_EQ(outcome.files, std::vector<fs::path>{request.output});
    EXPECT_EQ(finished.done(), finished.total());
    EXPECT_EQ(finished.total(), outputRate / 2);
}

// A three-hour export of two stems a moment after it began: stopped within the wait, every file gone;
// the files of a render stuck in a write go without it.
TEST(RunningRenders, EndingTheProgramCancelsARenderAndRemovesItsFiles) {
    const fs::path folder = scratchFolder("running-renders");
    RenderRequest request = threeHoursOfStems(folder);
    ExportJob render(twoChannels(), request);
    ASSERT_TRUE(becomes([&] { return temporariesIn(folder).size() == 2; }));
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_TRUE(RunningRenders::ofProcess().cancelAll(std::chrono::milliseconds(500)));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::milliseconds(500));
    EXPECT_EQ(render.wait().status, RenderOutcome::Status::Cancelled);
    EXPECT_TRUE(fs::is_empty(folder));
    // Only the renders running then were told: the next one runs as ever.
    request.seconds = 0.1;
    request.stems = false;
    EXPECT_TRUE(renderSong(twoChannels(), request).written());

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
