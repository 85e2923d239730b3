// MIDI notes played in: heard at once on the live channel, queued for the editor, from several threads.
#include "audio/midi/MidiNoteRouter.h"
#include "audio/mixer/KeyFrequency.h"
#include "audio/mixer/LiveNote.h"
#include "audio/playback/LiveChannel.h"
#include "song/KeysAndPans.h"
#include "tests/core/audio/AudioTestKit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <thread>

namespace tromel::audio::test {
namespace {

// A note's fade, then the output's DC blocker letting go of what it held.
constexpr int fadedOut = Voice::rampFrames + DcBlocker::drainFrames + 1;

bool waitFor(LiveChannel& live) {
    for (int i = 0; i < 500 && live.channel() == 0 && live.isWaiting(); ++i) {
        live.proceed();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return live.channel() != 0;
}

struct MidiNoteRouterTest : testing::Test {
    MixerAudioLayer layer;
    LiveChannel live{layer, steadySampleFolder()};
    int wakeUps = 0;
    MidiNoteRouter router{layer, [this] { ++wakeUps; }};

    void send(std::array<uint8_t, 3> message, int64_t at = 0) { router.receive(message.data(), message.size(), at); }
    // The output's next frames, rendered as a device would, in blocks.
    std::vector<float> next(int frames) {
        std::vector<float> out(2 * static_cast<std::size_t>(frames));
        for (int done = 0; done < frames; done += 512)
            layer.renderFrames(out.data() + 2 * done, std::min(512, frames - done));
        return out;
    }
    void useLiveChannel() {
        live.want(false, 0);
        ASSERT_TRUE(waitFor(live));
        router.setSound({live.channel(), false, 6});
    }
};

TEST_F(MidiNoteRouterTest, NotesSoundAtOnceAtTheirVelocityAndOnlyTheirOwnNoteOffEndsThem) {
    useLiveChannel();
    next(512);
    send({0x93, 69, 127}, 5);  // any MIDI channel; key 69 is A4, file key 57
    // Heard in the next buffer, after the limiter's look-ahead: within a buffer and the look-ahead.
    std::vector<float> out = next(2048);
    const auto first = std::find_if(out.begin(), out.end(), [](float v) { return v != 0.0f; }) - out.begin();
    EXPECT_EQ(first / 2, PeakLimiter::lookAheadFrames);
    send({0x90, 64, 64});  // a newer note at velocity 64 (volume byte 65)
    send({0x80, 69, 0});   // the older key let go: the newer note sounds on
    out = next(4096);
    EXPECT_NE(out[2 * 4000], 0.0f);
    send({0x90, 64, 0});  // note-on at velocity 0 is a note-off: it ends
    out = next(PeakLimiter::lookAheadFrames + fadedOut + 1000);
    EXPECT_NE(out[2 * PeakLimiter::lookAheadFrames - 2], 0.0f);
    EXPECT_TRUE(std::all_of(out.begin() + 2 * (PeakLimiter::lookAheadFrames + fadedOut), out.end(),
                            [](float v) { return v == 0.0f; }));
    // Every note reached the editor's queue in order, with one wake-up while none was taken.
    std::vector<PlayedNote> played;
    for (PlayedNote note; router.takePlayed(note);)
        played.push_back(note);
    EXPECT_EQ(played,
              (std::vector<PlayedNote>{{true, 57, 254, 5}, {true, 52, 65, 0}, {false, 57, 0, 0}, {false, 52, 0, 0}}));
    EXPECT_EQ(wakeUps, 1);
    send({0x90, 60, 1});
    EXPECT_EQ(wakeUps, 2);
}

// Every live note is stamped with the mixer's frame at which it is heard: the next buffer's first
// frame for one played now, and a later frame within a buffer splits it there.
TEST_F(MidiNoteRouterTest, ALiveNoteIsHeardAtTheFrameItIsStampedWith) {
    useLiveChannel();
    next(700);
    EXPECT_EQ(layer.nextFrame(), 700);
    for (const int64_t later : {0, 300, 1000}) {
        ASSERT_TRUE(
            layer.postLiveNote({LiveNote::Kind::On, live.channel(), 40, 22050, 200, 0, layer.nextFrame() + later}));
        const std::vector<float> out = next(2048);
        const auto first = std::find_if(out.begin(), out.end(), [](float v) { return v != 0.0f; }) - out.begin();
        EXPECT_EQ(first / 2, later + PeakLimiter::lookAheadFrames) << later;
        layer.postLiveNote({LiveNote::Kind::Off, live.channel(), 40, 0, 0, 0, layer.nextFrame()});
        next(PeakLimiter::lookAheadFrames + fadedOut + 512);
    }
}

// A live note is the note a song would play: the same rate, volume and pan, on a wave or a drum.
TEST_F(MidiNoteRouterTest, ALiveNoteSoundsAsTheSongsNoteOfItsKeyAndVolume) {
    for (const bool drum : {false, true}) {
        MixerAudioLayer layer;
        MidiNoteRouter router(layer);
        MixerAudioLayer reference;
        const Handle sample =
            reference.loadSample(fs::path(TROMEL_SAMPLE_DIR) / (drum ? "D03.wav" : "M31.wav"), !drum, 1);
        const Handle channel = reference.channelFromSample(sample);
        reference.setChannelLooping(channel, !drum);
        // File key 45 (MIDI 57), velocity 90 (volume byte 128), pan byte 3 (stored 9).
        reference.setChannelAttributes(channel, noteFrequency(96 - 45, drum), 128 + (drum ? 60 : 0), -50);
        reference.playChannel(channel);
        LiveChannel bank(layer, TROMEL_SAMPLE_DIR);
        bank.want(drum, drum ? 2 : 30);
        ASSERT_TRUE(waitFor(bank));
        router.setSound({bank.channel(), drum, 9});
        const uint8_t on[3] = {0x90, 57, 90};
        router.receive(on, 3, 0);
        std::vector<float> expected(2 * 4096);
        reference.renderFrames(expected.data(), 4096);
        std::vector<float> heard(2 * 4096);
        layer.renderFrames(heard.data(), 4096);
        EXPECT_EQ(heard, expected) << drum;
    }
}

TEST_F(MidiNoteRouterTest, OtherMessagesAndKeysOffTheRoll) {
    for (const auto& [midi, file] : {std::pair{0, 0}, {11, 11}, {12, 0}, {69, 57}, {107, 95}, {108, 84}, {127, 91}})
        EXPECT_EQ(withinFileKeys(fileKeyOfMidiKey(midi)), file) << midi;
    for (const auto& [key, within] :
         {std::pair{-1, 11}, {-12, 0}, {-13, 11}, {-300, 0}, {96, 84}, {131, 95}, {500, 92}})
        EXPECT_EQ(withinFileKeys(key), within) << key;
    send({0xB0, 7, 100});  // a controller
    send({0xE0, 0, 64});   // pitch bend
    const uint8_t shortMessage[2] = {0x90, 60};
    router.receive(shortMessage, 2, 0);
    PlayedNote note;
    EXPECT_FALSE(router.takePlayed(note));
    // Without a live channel nothing sounds, and the note still reaches the editor.
    send({0x90, 60, 100});
    EXPECT_EQ(next(1024), std::vector<float>(2048, 0.0f));
    EXPECT_TRUE(router.takePlayed(note));
}

// The drum or wave chosen: a drum beyond the bank has no channel; another choice lets the old
// channel go, its note fading out.
TEST_F(MidiNoteRouterTest, TheLiveChannelFollowsTheChosenSample) {
    useLiveChannel();
    const Handle wave = live.channel();
    EXPECT_FALSE(live.want(false, 0));
    send({0x90, 69, 100});
    next(1024);
    EXPECT_TRUE(live.want(true, 60));
    EXPECT_EQ(live.channel(), 0u);
    EXPECT_EQ(next(1024)[2 * 1000], 0.0f);  // the wave's note faded as its channel went
    live.want(true, 0);                     // drum 0, D01.wav: a channel once prepared
    ASSERT_TRUE(waitFor(live));
    EXPECT_NE(live.channel(), wave);
    EXPECT_TRUE(live.drum());
}

// Two ports' threads send at once while the audio thread renders and the user-interface thread
// takes the played notes: every note arrives once, each port's in order.
TEST_F(MidiNoteRouterTest, PortsOnThreadsOfTheirOwnTakeTurns) {
    useLiveChannel();
    constexpr int notesEach = 300;
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> buffer(2 * 256);
        while (!done.load())
            layer.renderFrames(buffer.data(), 256);
    });
    std::vector<std::thread> ports;
    for (int port = 0; port < 2; ++port)
        ports.emplace_back([&, port] {
            for (int i = 0; i < notesEach; ++i) {
                const uint8_t on[3] = {0x90, static_cast<uint8_t>(40 + port), static_cast<uint8_t>(1 + i % 127)};
                router.receive(on, 3, i);
                if (i % 50 == 0)
                    std::this_thread::yield();
            }
        });
    std::array<int, 2> received{};
    std::array<int64_t, 2> lastTime{-1, -1};
    bool inOrder = true;
    // Meanwhile the user-interface thread plays notes of its own (previews) into the same queue.
    const auto takeAll = [&] {
        layer.postLiveNote({LiveNote::Kind::On, live.channel(), 60, 22050, 100, 0, layer.nextFrame()});
        for (PlayedNote note; router.takePlayed(note);) {
            const int port = note.fileKey - 28;
            inOrder = inOrder && note.nanoseconds > lastTime[port];
            lastTime[port] = note.nanoseconds;
            ++received[port];
        }
    };
    for (int i = 0; i < 2000 && received[0] + received[1] < 2 * notesEach; ++i) {
        takeAll();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    for (std::thread& port : ports)
        port.join();
    takeAll();
    done.store(true);
    audio.join();
    EXPECT_EQ(received, (std::array<int, 2>{notesEach, notesEach}));
    EXPECT_TRUE(inOrder);
}

}  // namespace
}  // namespace tromel::audio::test
