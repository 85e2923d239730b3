// One step of playback as the channels see it, and the key and step-clock arithmetic.
#include "../AudioTestKit.h"
#include "audio/mixer/KeyFrequency.h"
#include "audio/playback/SongCompiler.h"
#include "audio/playback/StepPlayer.h"

#include <gtest/gtest.h>

namespace tromel::audio::test {
namespace {

using Calls = std::vector<std::string>;

// Steps a compiled song on channels that log each call as "k:what", k being the song channel.
struct Player : ChannelControl {
    CompiledSong song;
    PlaybackState state;
    MuteMask muted = 0;
    Calls calls;

    explicit Player(const Song& source) {
        compileEvents(source, song);
        for (int k = 0; k < songChannelCount; ++k)
            song.channels[k] = static_cast<Handle>(k + 1);
        state.reset();
    }
    Calls step() {
        playStep(state, song, muted, *this);
        return std::exchange(calls, {});
    }
    void log(Handle channel, const std::string& what) { calls.push_back(std::to_string(channel - 1) + ":" + what); }
    void setChannelAttributes(Handle channel, int frequency, int volume, int pan) override {
        log(channel, "set " + std::to_string(frequency) + " " + std::to_string(volume) + " " + std::to_string(pan));
    }
    void playChannel(Handle channel) override { log(channel, "play"); }
    void startNote(Handle channel, int frequency, int volume, int pan) override {
        log(channel, "note " + std::to_string(frequency) + " " + std::to_string(volume) + " " + std::to_string(pan));
    }
    void pauseChannel(Handle channel) override { log(channel, "pause"); }
    void stopChannel(Handle channel) override { log(channel, "stop"); }
    void click(bool accent) override { calls.push_back(accent ? "accent" : "click"); }
    void dispose(Disposable*) override {}
};

TEST(KeyToFrequency, MatchesTheTable) {
    const std::pair<int, int> table[] = {{0, 1378},   {12, 2756},  {24, 5512},  {36, 11025},  {48, 22050},
                                         {49, 23361}, {60, 44100}, {74, 99001}, {75, 104888}, {95, 332999}};
    for (const auto& [key, hz] : table)
        EXPECT_EQ(keyToFrequency(key), hz) << key;
}

TEST(StepClock, LandsOnExactFramesWithoutDrift) {
    for (const int32_t tempo : {1, 7, 128, 333, 65535})
        for (const int64_t n : {1, 7, 10, 99999, 100000, 100001, 123456789}) {
            const long double exact = static_cast<long double>(n) * tempo * 44100.0L / 1000.0L;
            EXPECT_EQ(stepFrame(n, tempo), static_cast<int64_t>(exact)) << n << " at " << tempo;
            for (const int32_t rate : {lowestRate, 48000, 96000, highestRate, 44117}) {
                // Here the whole product still fits in 64 bits.
                EXPECT_EQ(stepFrame(n, tempo, rate), n * tempo * rate / 1000) << n << " at " << rate;
            }
        }
}

// Each song's calls step by step, then nothing for a hundred steps: a note is cut after its
// length and one of length 0 never; a cut comes before the step's new notes and the later slot's
// length counts; drums play an octave up (key row 60 is key 36), and changes add 25 to a volume.
TEST(StepPlayer, NotesCutsAndChangesStepByStep) {
    const std::pair<Song, std::vector<Calls>> cases[] = {
        {songWith({{0, {1, 48, 1, 6, 100}}, {1, {1, 48, 0, 6, 100}}, {2, {1, 48, 3, 6, 100}}}),
         {{"0:note 22050 100 0", "1:note 22050 100 0", "2:note 22050 100 0"}, {"0:pause"}, {}, {"2:pause"}}},
        {songWith({{0, {1, 48, 1, 6, 100}}, {0, {2, 36, 4, 6, 110}}, {0, {2, 24, 1, 6, 120}}}),
         {{"0:note 22050 100 0"}, {"0:pause", "0:note 44100 110 0", "0:note 88200 120 0"}, {"0:pause"}}},
        {songWith({{9, {1, 60, 2, 6, 100}}, {9, {2, noKey, 0, noPan, 100}}, {10, {2, noKey, 0, 0, noVolume}}}),
         {{"9:note 22050 160 0"}, {"9:set -1 125 -101", "10:set -1 -1 100"}, {"9:pause"}}},
    };
    for (const auto& [song, steps] : cases) {
        Player player(song);
        for (const Calls& expected : steps)
            EXPECT_EQ(player.step(), expected);
        for (int i = 0; i < 100; ++i)
            EXPECT_EQ(player.step(), Calls{}) << steps[0][0];
    }
}

// Mute boxes 8 to 15 mute the drums the way 0 to 7 mute the instruments.
TEST(StepPlayer, MuteBoxesSkipEventsButLetSoundingNotesEnd) {
    Player player(songWith(
        {{0, {1, 48, 2, 6, 100}}, {0, {2, noKey, 0, 6, 50}}, {0, {4, 48, 1, 6, 100}}, {8, {4, 48, 1, 6, 100}}}));
    player.step();
    player.muted = (1u << 0) | (1u << 8);
    EXPECT_EQ(player.step(), Calls{});           // the change is skipped
    EXPECT_EQ(player.step(), Calls{"0:pause"});  // the sounding note still ends at its cut
    EXPECT_EQ(player.step(), Calls{});           // instrument and drum notes skipped
    player.muted = 0;
    player.state.playPosition = 3;
    EXPECT_EQ(player.step(), (Calls{"0:note 22050 100 0", "8:note 44100 160 0"}));
}

}  // namespace
}  // namespace tromel::audio::test
