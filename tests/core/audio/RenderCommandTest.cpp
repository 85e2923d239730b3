// tromel-cli render, run as a user would run it.
#include "AudioTestKit.h"
#include "audio/KeyFrequency.h"
#include "song/OrgFile.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>

namespace tromel::audio::test {
namespace {

struct CliRun {
    int exitCode;
    std::string output;
};

CliRun runCli(const std::string& args) {
    const std::string command = std::string("'") + TROMEL_CLI_PATH + "' " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    std::array<char, 4096> buffer{};
    while (std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe))
        output.append(buffer.data(), n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

fs::path songFile(const fs::path& folder, int32_t tempo, int32_t loopBegin, int32_t loopEnd,
                  const std::string& name = "song.org") {
    Song song;
    song.tempo = tempo;
    song.loopBegin = loopBegin;
    song.loopEnd = loopEnd;
    song.instrumentNotes.grow(1);
    song.instrumentNotes.at(0, 1) = {3, 48, 1, 6, 200};  // file step 2
    const fs::path path = folder / name;
    EXPECT_TRUE(saveOrgFile(song, path).ok);
    return path;
}

struct Wav {
    SF_INFO info{};
    std::vector<float> frames;
};

Wav readWav(const fs::path& path) {
    Wav wav;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &wav.info);
    if (!file)
        return wav;
    wav.frames.resize(static_cast<std::size_t>(wav.info.frames * wav.info.channels));
    sf_readf_float(file, wav.frames.data(), wav.info.frames);
    sf_close(file);
    return wav;
}

TEST(RenderCommand, RendersTheSongAndItsLoopOnTheStepGrid) {
    const fs::path folder = scratchFolder("render");
    const fs::path samples = steadySampleFolder();
    const fs::path song = songFile(folder, 50, 1, 6);
    const fs::path out = folder / "out.wav";
    const CliRun run = runCli("render " + quoted(song) + " " + quoted(out) + " --samples " + quoted(samples));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const Wav wav = readWav(out);
    EXPECT_EQ(wav.info.samplerate, 44100);
    EXPECT_EQ(wav.info.channels, 2);
    EXPECT_EQ(wav.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    // Steps 1..6, then the loop 2..6 once more: 11 steps, to the frame where a 12th would start.
    EXPECT_EQ(wav.info.frames, stepFrame(12, 50));
    // The note at file step 2 starts at step 3's frame, and again one loop (5 steps) later.
    for (const int32_t step : {3, 8}) {
        const int64_t frame = stepFrame(step, 50);
        EXPECT_EQ(wav.frames[2 * (frame - 1)], 0.0f) << step;
        EXPECT_NE(wav.frames[2 * frame], 0.0f) << step;
    }
    EXPECT_FALSE(fs::exists(out.string() + ".tmp-0"));

    ASSERT_EQ(runCli("render " + quoted(song) + " " + quoted(out) + " --loops 3 --samples " + quoted(samples)).exitCode,
              0);
    EXPECT_EQ(readWav(out).info.frames, stepFrame(6 + 3 * 5 + 1, 50));
    ASSERT_EQ(
        runCli("render " + quoted(song) + " " + quoted(out) + " --seconds 0.25 --samples " + quoted(samples)).exitCode,
        0);
    EXPECT_EQ(readWav(out).info.frames, 11025);
}

TEST(RenderCommand, FailuresExitWithTheirReasons) {
    const fs::path folder = scratchFolder("render-fail");
    const fs::path samples = steadySampleFolder();
    const std::string withSamples = " --samples " + quoted(samples);
    std::ofstream(folder / "bad.org") << "Org-01 and nothing";
    CliRun run = runCli("render " + quoted(folder / "bad.org") + " " + quoted(folder / "o.wav") + withSamples);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("This is not a valid ORG File!"), std::string::npos);

    run = runCli("render " + quoted(songFile(folder, 50, 6, 6)) + " " + quoted(folder / "o.wav") + withSamples);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("loop begin (6)"), std::string::npos);

    const fs::path huge = songFile(folder, 65535, 0, 2147483647, "huge.org");
    run = runCli("render " + quoted(huge) + " " + quoted(folder / "o.wav") + withSamples);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("limit"), std::string::npos);
    run = runCli("render " + quoted(huge) + " " + quoted(folder / "o.wav") + " --seconds 0.1" + withSamples);
    EXPECT_EQ(run.exitCode, 0) << run.output;  // a huge loop renders for as long as asked

    const fs::path song = songFile(folder, 50, 0, 4);
    run = runCli("render " + quoted(song) + " " + quoted(folder / "no" / "o.wav") + withSamples);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("tromel-cli: " + (folder / "no" / "o.wav").string() + ": "), std::string::npos);
    run = runCli("render " + quoted(song) + " " + quoted(folder / "o.wav") + " --samples " + quoted(folder / "none"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("no such sample folder"), std::string::npos);
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << entry.path();

    EXPECT_EQ(runCli("render " + quoted(song)).exitCode, 2);
    EXPECT_EQ(runCli("render a.org b.wav --loops -1").exitCode, 2);
    EXPECT_EQ(runCli("render a.org b.wav --loops 2 --seconds 3").exitCode, 2);
}

}  // namespace
}  // namespace tromel::audio::test
