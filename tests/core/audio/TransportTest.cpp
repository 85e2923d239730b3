// Play, Pause and Stop heard through the mixer: exact onsets, state, several documents at once.
#include "AudioTestKit.h"
#include "audio/KeyFrequency.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace tromel::audio::test {
namespace {

void addNote(NoteTable& table, int channel, int32_t slot, NoteRec note) {
    table.grow(slot);
    table.at(channel, slot) = note;
}

// Instrument 0 plays a steady level every `every` steps for one step.
Song pulseSong(int32_t tempo, int32_t steps, int32_t every) {
    Song song;
    song.tempo = tempo;
    song.loopEnd = steps;
    song.instrumentNotes.grow(steps / every + 1);
    int32_t slot = 1;
    for (int32_t s = 0; s < steps; s += every)
        song.instrumentNotes.at(0, slot++) = {s + 1, 48, 1, 6, 160};
    return song;
}

// Frames at which the left channel rises from silence.
std::vector<int64_t> onsets(const std::vector<float>& left) {
    std::vector<int64_t> found;
    for (std::size_t i = 1; i < left.size(); ++i)
        if (left[i - 1] == 0.0f && left[i] != 0.0f)
            found.push_back(static_cast<int64_t>(i));
    return found;
}

std::vector<int64_t> expectedOnsets(int32_t tempo, int32_t steps, int32_t every) {
    std::vector<int64_t> frames;
    for (int32_t s = 0; s < steps; s += every)
        frames.push_back(stepFrame(s + 1, tempo));
    return frames;
}

bool silentAfter(const std::vector<float>& stereo, std::size_t frame) {
    return std::all_of(stereo.begin() + 2 * static_cast<std::ptrdiff_t>(frame), stereo.end(),
                       [](float v) { return v == 0.0f; });
}

struct Rig {
    fs::path folder = steadySampleFolder();
    MixerAudioLayer layer;
    RecordingHost host;
};

TEST(Transport, EveryNoteStartsOnItsExactFrame) {
    Rig rig;
    const Song song = pulseSong(7, 400, 2);  // 308.7 frames a step
    Transport transport(rig.layer, rig.folder);
    ASSERT_TRUE(transport.play(song, rig.host));
    const std::vector<float> out = render(rig.layer, static_cast<int>(stepFrame(400, 7)));
    EXPECT_EQ(onsets(leftOf(out)), expectedOnsets(7, 400, 2));
}

TEST(Transport, OnsetsStayExactAfterAHundredThousandSteps) {
    Rig rig;
    const int32_t steps = 100008;
    const Song song = pulseSong(1, steps, 8);  // 44.1 frames a step
    Transport transport(rig.layer, rig.folder);
    ASSERT_TRUE(transport.play(song, rig.host));
    const std::vector<float> out = render(rig.layer, static_cast<int>(stepFrame(steps, 1)), 4096);
    const std::vector<int64_t> heard = onsets(leftOf(out));
    const std::vector<int64_t> expected = expectedOnsets(1, steps, 8);
    ASSERT_EQ(heard.size(), expected.size());
    int64_t worst = 0;
    for (std::size_t i = 0; i < heard.size(); ++i)
        worst = std::max(worst, std::abs(heard[i] - expected[i]));
    EXPECT_EQ(worst, 0);
    EXPECT_EQ(heard.back(), stepFrame(100001, 1));
}

TEST(Transport, CompileReportsToTheHostAndRefusalsStartNothing) {
    Rig rig;
    Song song = pulseSong(100, 16, 4);
    song.instruments[3].wave = 7;  // M08.wav is not in the folder
    Transport transport(rig.layer, rig.folder);
    ASSERT_TRUE(transport.play(song, rig.host));
    EXPECT_EQ(rig.host.log, (std::vector<std::string>{"error Can't play file", "max 16", "status Compiling ORG...",
                                                      "progress 16", "progress 0", "channels"}));
    EXPECT_EQ(rig.layer.lastError(), errorNone);
    transport.stop();

    rig.host.log.clear();
    song.loopBegin = 16;
    EXPECT_FALSE(transport.play(song, rig.host));
    ASSERT_EQ(rig.host.log.size(), 1u);
    EXPECT_EQ(rig.host.log[0].rfind("refused ", 0), 0u);
    EXPECT_EQ(transport.state(), TransportState::Stopped);
    EXPECT_TRUE(silentAfter(render(rig.layer, 20000), 0));
}

TEST(Transport, PauseKeepsThePlaceAndPlayResumesOnANewGrid) {
    Rig rig;
    Song song = pulseSong(10, 64, 1);  // a note every 441 frames
    Transport transport(rig.layer, rig.folder);
    transport.play(song, rig.host);
    render(rig.layer, static_cast<int>(stepFrame(5, 10)) + 100);
    EXPECT_EQ(transport.playPosition(), 5);
    const uint64_t heard = transport.stepsHeard();
    transport.pause();
    EXPECT_TRUE(transport.isPaused());
    std::vector<float> out = render(rig.layer, 5000);
    EXPECT_TRUE(silentAfter(out, Voice::rampFrames + 1));  // the note fades out; no steps
    EXPECT_EQ(transport.playPosition(), 5);
    EXPECT_EQ(transport.stepsHeard(), heard);

    transport.play(song, rig.host);  // resume: step 6 one step after the resume
    out = render(rig.layer, 800);
    EXPECT_EQ(onsets(leftOf(out)), std::vector<int64_t>{441});
    EXPECT_EQ(transport.playPosition(), 6);
    EXPECT_GT(transport.stepsHeard(), heard);

    transport.stop();
    EXPECT_EQ(transport.playPosition(), 0);
    EXPECT_TRUE(silentAfter(render(rig.layer, 2000), Voice::rampFrames + 1));
    transport.pause();  // Stop, Pause, Play: the last compile again from its first step
    transport.play(song, rig.host);
    render(rig.layer, 500);
    EXPECT_EQ(transport.playPosition(), 1);
}

TEST(Transport, PauseBeforeAnyCompileThenPlayCompiles) {
    Rig rig;
    Transport transport(rig.layer, rig.folder);
    transport.pause();
    EXPECT_TRUE(transport.isPaused());
    ASSERT_TRUE(transport.play(pulseSong(10, 8, 1), rig.host));
    EXPECT_FALSE(rig.host.log.empty());
    EXPECT_EQ(transport.state(), TransportState::Playing);
    const std::vector<float> out = render(rig.layer, 1000);
    EXPECT_EQ(onsets(leftOf(out)), std::vector<int64_t>{441});
}

TEST(Transport, DocumentsPlayTogetherAndStopAlone) {
    Rig rig;
    Song left = pulseSong(10, 64, 1);
    Song right = left;
    for (int32_t slot = 1; slot <= left.instrumentNotes.slotBound(); ++slot) {
        left.instrumentNotes.at(0, slot).pan = 12;  // the left end of the pan strip
        right.instrumentNotes.at(0, slot).pan = 0;
    }
    Transport a(rig.layer, rig.folder);
    Transport b(rig.layer, rig.folder);
    a.play(left, rig.host);
    b.play(right, rig.host);
    std::vector<float> out = render(rig.layer, 4000);
    EXPECT_GT(out[2 * 3000], 0.0f);
    EXPECT_GT(out[2 * 3000 + 1], 0.0f);
    a.stop();
    out = render(rig.layer, 4000);
    EXPECT_EQ(out[2 * 3000], 0.0f);
    EXPECT_GT(out[2 * 3000 + 1], 0.0f);
    EXPECT_EQ(b.state(), TransportState::Playing);
}

TEST(Transport, ClosingADocumentSilencesItsInstrumentsAndLetsDrumsPlayOut) {
    Rig rig;
    Song song;
    song.tempo = 10;
    song.loopEnd = 64;
    addNote(song.instrumentNotes, 0, 1, {1, 48, 0, 12, 160});  // left, sounds on
    addNote(song.drumNotes, 0, 1, {1, 60, 0, 0, 160});        // right, a 0.1 s burst
    {
        Transport transport(rig.layer, rig.folder);
        transport.play(song, rig.host);
        render(rig.layer, 500);
    }
    const std::vector<float> out = render(rig.layer, 8000);
    EXPECT_EQ(out[2 * 200], 0.0f);        // the instrument faded out
    EXPECT_GT(out[2 * 200 + 1], 0.0f);    // the drum goes on
    EXPECT_TRUE(silentAfter(out, 6000));  // and ends: its channel and sample are let go
}

TEST(Transport, PlayingAgainRecompilesWithoutPilingUpChannels) {
    Rig rig;
    Transport transport(rig.layer, rig.folder);
    const Song song = pulseSong(10, 8, 1);
    for (int i = 0; i < 200; ++i) {  // 16 channels each time, 1024 slots in all
        ASSERT_TRUE(transport.play(song, rig.host));
        render(rig.layer, 600);
    }
    rig.host.log.clear();
    transport.play(song, rig.host);
    EXPECT_EQ(std::count(rig.host.log.begin(), rig.host.log.end(), "error Can't play file"), 0);
    EXPECT_EQ(onsets(leftOf(render(rig.layer, 1000))), std::vector<int64_t>{441});
}

// The device's thread renders all along while documents play, pause, stop, recompile and close.
TEST(Transport, AnAudioThreadRendersWhileTheUserInterfaceWorks) {
    Rig rig;
    std::atomic<bool> running{true};
    std::thread audio([&] {
        std::vector<float> buffer(2 * 64);
        while (running.load())
            rig.layer.renderFrames(buffer.data(), 64);
    });
    const Song song = pulseSong(1, 32, 1);
    for (int round = 0; round < 40; ++round) {
        Transport a(rig.layer, rig.folder);
        Transport b(rig.layer, rig.folder);
        a.play(song, rig.host);
        b.play(song, rig.host);
        a.setMuted(round % 16, true);
        std::this_thread::yield();
        a.pause();
        b.play(song, rig.host);
        a.play(song, rig.host);
        (void)a.playPosition();
        b.stop();
    }
    const uint64_t frames = rig.layer.renderedFrames();
    running = false;
    audio.join();
    EXPECT_GT(frames, 0u);
}

}  // namespace
}  // namespace tromel::audio::test
