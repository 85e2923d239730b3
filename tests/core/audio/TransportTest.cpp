// Play, Pause and Stop heard through the mixer: exact onsets, state, several documents at once.
#include "AudioTestKit.h"
#include "audio/KeyFrequency.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace tromel::audio::test {
namespace {

// Instrument 0 plays a steady level for one step at every `every`-th step.
Song pulseSong(int32_t tempo, int32_t steps, int32_t every) {
    Song song;
    song.tempo = tempo;
    song.loopEnd = steps;
    song.instrumentNotes.grow(steps / every + 1);
    for (int32_t s = 0; s < steps; s += every)
        song.instrumentNotes.at(0, s / every + 1) = {s + 1, 48, 1, 6, 160};
    return song;
}

// A note's fade, then the output's DC blocker letting go of what it held.
constexpr int fadedOut = Voice::rampFrames + DcBlocker::drainFrames + 1;

bool silentAfter(const std::vector<float>& stereo, std::size_t frame) {
    return std::all_of(stereo.begin() + 2 * static_cast<std::ptrdiff_t>(frame), stereo.end(),
                       [](float v) { return v == 0.0f; });
}

struct TransportTest : testing::Test {
    fs::path folder = steadySampleFolder();
    MixerAudioLayer layer;
    RecordingHost host;
    Transport transport{layer, folder};
};

// 308.7 frames a step for 400 steps, and 44.1 frames a step for over a hundred thousand.
TEST_F(TransportTest, EveryNoteStartsOnItsExactFrameHoweverLongItPlays) {
    for (const auto& [tempo, steps, every, piece] : {std::tuple{7, 400, 2, 333}, std::tuple{1, 100008, 8, 4096}}) {
        ASSERT_TRUE(transport.play(pulseSong(tempo, steps, every), host));
        const std::vector<int64_t> heard = onsets(render(layer, static_cast<int>(stepFrame(steps, tempo)), piece));
        std::vector<int64_t> expected;
        for (int32_t s = 0; s < steps; s += every)
            expected.push_back(stepFrame(s + 1, tempo));
        EXPECT_EQ(heard, expected) << "tempo " << tempo;
        transport.stop();
        render(layer, 1000);
    }
}

TEST_F(TransportTest, CompileReportsToTheHostAndRefusalsStartNothing) {
    Song song = pulseSong(100, 16, 4);
    song.instruments[3].wave = 7;  // M08.wav is not in the folder
    ASSERT_TRUE(transport.play(song, host));
    EXPECT_EQ(host.log, (std::vector<std::string>{"error Can't play file", "max 16", "status Compiling ORG...",
                                                  "progress 16", "progress 0", "channels"}));
    EXPECT_EQ(layer.lastError(), errorNone);
    transport.stop();

    host.log.clear();
    song.loopBegin = 16;
    EXPECT_FALSE(transport.play(song, host));
    ASSERT_EQ(host.log.size(), 1u);
    EXPECT_EQ(host.log[0].rfind("refused ", 0), 0u);
    EXPECT_EQ(transport.state(), TransportState::Stopped);
    EXPECT_TRUE(silentAfter(render(layer, 20000), 0));
}

TEST_F(TransportTest, PauseKeepsThePlaceAndPlayResumesOnANewGrid) {
    const Song song = pulseSong(10, 64, 1);  // a note every 441 frames
    transport.pause();                       // before any compile: Play then compiles
    EXPECT_TRUE(transport.isPaused());
    ASSERT_TRUE(transport.play(song, host));
    EXPECT_EQ(onsets(render(layer, 1000)), std::vector<int64_t>{441});
    render(layer, static_cast<int>(stepFrame(5, 10)) + 100 - 1000);
    EXPECT_EQ(transport.playPosition(), 5);
    const uint64_t heard = transport.stepsHeard();
    transport.pause();
    EXPECT_TRUE(transport.isPaused());
    EXPECT_TRUE(silentAfter(render(layer, 5000), fadedOut));  // the note fades out; no steps
    EXPECT_EQ(transport.playPosition(), 5);
    EXPECT_EQ(transport.stepsHeard(), heard);

    transport.play(song, host);                                        // resume: step 6 one step after the resume
    EXPECT_EQ(onsets(render(layer, 700)), std::vector<int64_t>{441});  // with the latency, under two steps
    EXPECT_EQ(transport.playPosition(), 6);
    EXPECT_GT(transport.stepsHeard(), heard);

    transport.stop();
    EXPECT_EQ(transport.playPosition(), 0);
    EXPECT_TRUE(silentAfter(render(layer, 2000), fadedOut));
    transport.pause();  // Stop, Pause, Play: the last compile again from its first step
    transport.play(song, host);
    render(layer, 500);
    EXPECT_EQ(transport.playPosition(), 1);
}

TEST_F(TransportTest, DocumentsPlayTogetherAndStopAlone) {
    Transport other(layer, folder);
    transport.play(songWith({{0, {1, 48, 0, 12, 160}}}, 64, 10), host);  // held at the left end of the pan strip
    other.play(songWith({{0, {1, 48, 0, 0, 160}}}, 64, 10), host);       // and at the right end
    std::vector<float> out = render(layer, 4000);
    EXPECT_GT(out[2 * 3000], 0.0f);
    EXPECT_GT(out[2 * 3000 + 1], 0.0f);
    transport.stop();
    out = render(layer, 4000);
    EXPECT_EQ(out[2 * 3000], 0.0f);
    EXPECT_GT(out[2 * 3000 + 1], 0.0f);
    EXPECT_EQ(other.state(), TransportState::Playing);
}

TEST_F(TransportTest, ClosingADocumentSilencesItsInstrumentsAndLetsDrumsPlayOut) {
    // An instrument on the left that sounds on, a drum on the right: a 0.1 s burst.
    const Song song = songWith({{0, {1, 48, 0, 12, 160}}, {8, {1, 60, 0, 0, 160}}}, 64, 10);
    {
        Transport closing(layer, folder);
        closing.play(song, host);
        render(layer, 500);
    }
    const std::vector<float> out = render(layer, 8000);
    EXPECT_EQ(out[2 * fadedOut], 0.0f);   // the instrument faded out
    EXPECT_GT(out[2 * 200 + 1], 0.0f);    // the drum goes on
    EXPECT_TRUE(silentAfter(out, 6000));  // and ends: its channel and sample are let go
}

TEST_F(TransportTest, PlayingAgainRecompilesWithoutPilingUpChannels) {
    const Song song = pulseSong(10, 8, 1);
    for (int i = 0; i < 200; ++i) {  // 16 channels each time, 1024 slots in all
        ASSERT_TRUE(transport.play(song, host));
        render(layer, 600);
    }
    host.log.clear();
    transport.play(song, host);
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "error Can't play file"), 0);
    EXPECT_EQ(onsets(render(layer, 1000)), std::vector<int64_t>{441});
}

// The device's thread renders all along while documents play, pause, stop, recompile and close.
TEST_F(TransportTest, AnAudioThreadRendersWhileTheUserInterfaceWorks) {
    std::atomic<bool> running{true};
    std::thread audio([&] {
        std::vector<float> buffer(2 * 64);
        while (running.load())
            layer.renderFrames(buffer.data(), 64);
    });
    const Song song = pulseSong(1, 32, 1);
    for (int round = 0; round < 40; ++round) {
        Transport a(layer, folder);
        Transport b(layer, folder);
        a.play(song, host);
        b.play(song, host);
        a.setMuted(round % 16, true);
        a.pause();
        b.play(song, host);
        a.play(song, host);
        EXPECT_LE(a.playPosition(), 32);
        b.stop();
    }
    running = false;
    audio.join();
    EXPECT_GT(layer.renderedFrames(), 0);
}

}  // namespace
}  // namespace tromel::audio::test
