// One step of playback as the channels see it, and the key and step-clock arithmetic.
#include "audio/KeyFrequency.h"
#include "audio/SongCompiler.h"
#include "audio/StepPlayer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tromel::audio {
namespace {

// Logs each channel call as "k:what"; channel handles are song channel + 1.
class ChannelLog : public ChannelControl {
public:
    void setChannelAttributes(Handle channel, int frequency, int volume, int pan) override {
        calls.push_back(std::to_string(channel - 1) + ":set " + std::to_string(frequency) + " " +
                        std::to_string(volume) + " " + std::to_string(pan));
    }
    void playChannel(Handle channel) override { calls.push_back(std::to_string(channel - 1) + ":play"); }
    void pauseChannel(Handle channel) override { calls.push_back(std::to_string(channel - 1) + ":pause"); }
    void stopChannel(Handle channel) override { calls.push_back(std::to_string(channel - 1) + ":stop"); }
    void dispose(Disposable*) override {}
    std::vector<std::string> take() { return std::exchange(calls, {}); }
    std::vector<std::string> calls;
};

struct Player {
    CompiledSong song;
    PlaybackState state;
    ChannelLog log;
    MuteMask muted = 0;

    explicit Player(const Song& source) {
        compileEvents(source, song);
        for (int k = 0; k < songChannelCount; ++k)
            song.channels[k] = static_cast<Handle>(k + 1);
        state.reset();
    }
    std::vector<std::string> step() {
        playStep(state, song, muted, log);
        return log.take();
    }
};

void addNote(NoteTable& table, int channel, int32_t slot, NoteRec note) {
    table.grow(slot);
    table.at(channel, slot) = note;
}

using Calls = std::vector<std::string>;

TEST(KeyToFrequency, MatchesTheTable) {
    const std::pair<int, int> table[] = {{0, 1378},   {12, 2756},  {24, 5512},  {36, 11025},  {48, 22050},
                                         {49, 23361}, {60, 44100}, {74, 99001}, {75, 104888}, {95, 332999}};
    for (const auto& [key, hz] : table)
        EXPECT_EQ(keyToFrequency(key), hz) << key;
}

TEST(StepClock, LandsOnExactFramesWithoutDrift) {
    EXPECT_EQ(stepFrame(1, 128), 5644);  // 5644.8
    EXPECT_EQ(stepFrame(10, 128), 56448);
    EXPECT_EQ(stepFrame(7, 1), 308);  // 308.7
    // Large counts against the plain formula in wide arithmetic.
    for (const int32_t tempo : {1, 7, 128, 333, 65535}) {
        for (const int64_t n : {int64_t{99999}, int64_t{100000}, int64_t{100001}, int64_t{123456789}}) {
            const long double exact = static_cast<long double>(n) * tempo * 44100.0L / 1000.0L;
            EXPECT_EQ(stepFrame(n, tempo), static_cast<int64_t>(exact)) << n << " at " << tempo;
        }
    }
}

TEST(StepPlayer, PositionsWrapFromLoopEndToLoopBegin) {
    for (const auto& [begin, end, expected] :
         {std::tuple{0, 4, std::vector<int>{1, 2, 3, 0, 1, 2, 3, 0}},
          std::tuple{2, 8, std::vector<int>{1, 2, 3, 4, 5, 6, 7, 2, 3, 4, 5, 6, 7, 2}}}) {
        Song song;
        song.loopBegin = begin;
        song.loopEnd = end;
        Player player(song);
        // After each step the position is the one played, except that the loop end's step
        // leaves loopBegin behind for the next step to advance from.
        std::vector<int> positions;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            player.step();
            positions.push_back(player.state.playPosition);
        }
        EXPECT_EQ(positions, expected);
    }
}

TEST(StepPlayer, NotesAreCutAfterTheirLengthAndLengthZeroNever) {
    Song song;
    addNote(song.instrumentNotes, 0, 1, {1, 48, 1, 6, 100});  // key row 48 = key 48
    addNote(song.instrumentNotes, 1, 1, {1, 48, 0, 6, 100});
    addNote(song.instrumentNotes, 2, 1, {1, 48, 3, 6, 100});
    Player player(song);
    EXPECT_EQ(player.step(),
              (Calls{"0:set 22050 100 0", "0:play", "1:set 22050 100 0", "1:play", "2:set 22050 100 0", "2:play"}));
    EXPECT_EQ(player.step(), Calls{"0:pause"});  // length 1: cut on the very next step
    EXPECT_EQ(player.step(), Calls{});
    EXPECT_EQ(player.step(), Calls{"2:pause"});  // length 3: cut at the third step after
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(player.step(), Calls{});  // length 0 sounds on
}

TEST(StepPlayer, ACutComesBeforeTheStepsNewNoteAndTheLaterSlotWins) {
    Song song;
    addNote(song.instrumentNotes, 0, 1, {1, 48, 1, 6, 100});
    addNote(song.instrumentNotes, 0, 2, {2, 36, 4, 6, 110});
    addNote(song.instrumentNotes, 0, 3, {2, 24, 1, 6, 120});
    Player player(song);
    player.step();
    EXPECT_EQ(player.step(), (Calls{"0:pause", "0:set 44100 110 0", "0:play", "0:set 88200 120 0", "0:play"}));
    EXPECT_EQ(player.step(), Calls{"0:pause"});  // the later note's length counts
}

TEST(StepPlayer, DrumsPlayAnOctaveUpAndChangesAddTwentyFive) {
    Song song;
    addNote(song.drumNotes, 1, 1, {1, 60, 2, 6, 100});  // key 36
    addNote(song.drumNotes, 1, 2, {2, noKey, 0, noPan, 100});
    addNote(song.drumNotes, 2, 1, {2, noKey, 0, 0, noVolume});
    Player player(song);
    EXPECT_EQ(player.step(), (Calls{"9:set 22050 160 0", "9:play"}));
    EXPECT_EQ(player.step(), (Calls{"9:set -1 125 -101", "10:set -1 -1 100"}));
}

TEST(StepPlayer, MuteBoxesSkipEventsButLetSoundingNotesEnd) {
    Song song;
    addNote(song.instrumentNotes, 0, 1, {1, 48, 2, 6, 100});
    addNote(song.instrumentNotes, 0, 2, {2, noKey, 0, 6, 50});
    addNote(song.instrumentNotes, 0, 3, {4, 48, 1, 6, 100});
    addNote(song.drumNotes, 0, 1, {4, 48, 1, 6, 100});
    Player player(song);
    player.step();
    player.muted = (1u << 0) | (1u << 8);
    EXPECT_EQ(player.step(), Calls{});           // the change is skipped
    EXPECT_EQ(player.step(), Calls{"0:pause"});  // the sounding note still ends at its cut
    EXPECT_EQ(player.step(), Calls{});           // instrument and drum notes skipped
    player.muted = 0;
    player.state.playPosition = 3;
    EXPECT_EQ(player.step(), (Calls{"0:set 22050 100 0", "0:play", "8:set 44100 160 0", "8:play"}));
}

}  // namespace
}  // namespace tromel::audio
