// tromel-cli render, run as a user would run it.
#include "AudioTestKit.h"
#include "audio/KeyFrequency.h"
#include "audio/SongCompiler.h"
#include "song/OrgFile.h"
#include "tests/core/tools/CliRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <thread>

namespace tromel::audio::test {
namespace {

// A song whose one note sits at file step 2.
fs::path songFile(const fs::path& path, int32_t tempo, int32_t loopBegin, int32_t loopEnd) {
    Song song = songWith({{0, {3, 48, 1, 6, 200}}}, loopEnd, tempo);
    song.loopBegin = loopBegin;
    EXPECT_TRUE(saveOrgFile(song, path).ok);
    return path;
}

struct RenderCommand : testing::Test {
    fs::path folder = scratchFolder("render");
    std::string samples = " --samples " + quoted(steadySampleFolder());

    CliRun renderCli(const fs::path& song, const fs::path& out, const std::string& options = "") {
        return runCli("render " + quoted(song) + " " + quoted(out) + options + samples);
    }
    // The output is written beside its target and renamed, so nothing half-written stays.
    void TearDown() override {
        for (const auto& entry : fs::directory_iterator(folder))
            EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();
    }
};

TEST_F(RenderCommand, RendersTheSongAndItsLoopOnTheStepGrid) {
    const fs::path song = songFile(folder / "song.org", 50, 1, 6);
    const fs::path out = folder / "out.wav";
    const CliRun run = renderCli(song, out);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const Wav wav = readWav(out);
    EXPECT_EQ(wav.info.samplerate, 44100);
    EXPECT_EQ(wav.info.channels, 2);
    EXPECT_EQ(wav.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    // Steps 1..6, then the loop 2..6 once more: 11 steps, to the frame where a 12th would start.
    EXPECT_EQ(wav.info.frames, stepFrame(12, 50));
    // The note at file step 2 starts at step 3's frame, and again one loop (5 steps) later.
    EXPECT_EQ(onsets(wav.frames), (std::vector<int64_t>{stepFrame(3, 50), stepFrame(8, 50)}));

    for (const auto& [options, frames] :
         {std::pair{" --loops 3", stepFrame(6 + 3 * 5 + 1, 50)}, std::pair{" --seconds 0.25", int64_t{11025}}}) {
        ASSERT_EQ(renderCli(song, out, options).exitCode, 0) << options;
        EXPECT_EQ(readWav(out).info.frames, frames) << options;
    }
}

TEST_F(RenderCommand, FailuresExitWithTheirReasons) {
    std::ofstream(folder / "bad.org") << "Org-01 and nothing";
    const fs::path song = songFile(folder / "song.org", 50, 0, 4);
    const fs::path huge = songFile(folder / "huge.org", 65535, 0, 2147483647);
    const fs::path out = folder / "o.wav";
    const std::tuple<CliRun, int, std::string> cases[] = {
        {renderCli(folder / "bad.org", out), 1, "This is not a valid ORG File!"},
        {renderCli(songFile(folder / "refused.org", 50, 6, 6), out), 1, "loop begin (6)"},
        {renderCli(huge, out), 1, "limit"},
        {renderCli(huge, out, " --seconds 0.1"), 0, ""},  // a huge loop renders for as long as asked
        {renderCli(song, folder / "no" / "o.wav"), 1, "tromel-cli: " + (folder / "no" / "o.wav").string() + ": "},
        {runCli("render " + quoted(song) + " " + quoted(out) + " --samples " + quoted(folder / "none")), 1,
         "no such sample folder"},
        {runCli("render " + quoted(song) + " " + quoted(song) + samples), 1, "this is the song itself"},
        {runCli("render " + quoted(song)), 2, ""},
        {runCli("render a.org b.wav --loops -1"), 2, ""},
        {runCli("render a.org b.wav --loops 2 --seconds 3"), 2, ""}};
    for (const auto& [run, exitCode, reason] : cases) {
        EXPECT_EQ(run.exitCode, exitCode) << run.output;
        EXPECT_NE(run.output.find(reason), std::string::npos) << run.output;
    }
}

// The output may not replace the song, whichever way it is named; the song stays as it was.
TEST_F(RenderCommand, RefusesToWriteOverTheSongItself) {
    const fs::path song = songFile(folder / "song.org", 50, 0, 4);
    const auto bytes = [](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = bytes(song);
    fs::create_directory(folder / "sub");
    fs::create_symlink(song, folder / "link.org");
    fs::create_hard_link(song, folder / "hard.org");
    for (const fs::path& out : {song, folder / "sub" / ".." / "song.org", folder / "link.org", folder / "hard.org"}) {
        const CliRun run = renderCli(song, out);
        EXPECT_EQ(run.exitCode, 1) << out;
        EXPECT_EQ(run.output,
                  "tromel-cli: " + out.string() + ": this is the song itself; choose another output file\n");
        EXPECT_EQ(bytes(song), before) << out;
    }
    EXPECT_EQ(renderCli(folder / "link.org", folder / "out.wav").exitCode, 0);
}

// Each sample a playing channel needs and cannot have is named; nothing is written.
TEST_F(RenderCommand, MissingSamplesAreNamedAndNothingIsWritten) {
    Song song = songWith({{0, {1, 48, 1, 6, 200}}, {3, {1, 48, 1, 6, 200}}, {8, {2, 48, 1, 6, 200}}}, 8, 50);
    song.instruments[3].wave = 7;
    song.instruments[5].wave = 9;  // no notes: its sample is not needed
    ASSERT_TRUE(saveOrgFile(song, folder / "song.org").ok);
    const fs::path empty = scratchFolder("no-samples");
    const fs::path out = folder / "out.wav";
    for (const auto& [samples, missing] : {std::pair{empty, std::vector<std::string>{"M01.wav", "M08.wav", "D01.wav"}},
                                           std::pair{steadySampleFolder(), std::vector<std::string>{"M08.wav"}}}) {
        const CliRun run =
            runCli("render " + quoted(folder / "song.org") + " " + quoted(out) + " --samples " + quoted(samples));
        EXPECT_EQ(run.exitCode, 1) << run.output;
        std::string expected;
        for (const std::string& name : missing)
            expected += "tromel-cli: " + (samples / name).string() + ": " + errorText(errorFileOpen) + "\n";
        EXPECT_EQ(run.output, expected);
        EXPECT_FALSE(fs::exists(out));
    }
}

// SIGTERM or SIGINT in the middle of a long render ends it as the signal does, and takes the
// unfinished file with it.
TEST_F(RenderCommand, ASignalTakesTheUnfinishedFileWithIt) {
    const fs::path song = songFile(folder / "song.org", 50, 0, 4);
    const fs::path out = folder / "long.wav";
    for (const int signalNumber : {SIGTERM, SIGINT}) {
        const pid_t pid = startCli(
            {"render", song.string(), out.string(), "--seconds", "10000", "--samples", steadySampleFolder().string()});
        ASSERT_GT(pid, 0);
        const fs::path temporary = out.string() + ".tmp-" + std::to_string(pid);
        for (int i = 0; i < 2000 && !(fs::exists(temporary) && fs::file_size(temporary) > 0); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_TRUE(fs::exists(temporary));
        kill(pid, signalNumber);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << status;
        EXPECT_FALSE(fs::exists(temporary));
        EXPECT_FALSE(fs::exists(out));
    }
}

}  // namespace
}  // namespace tromel::audio::test
