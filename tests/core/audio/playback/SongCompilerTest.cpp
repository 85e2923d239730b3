// Compiling a song into play events: file names, order, volumes, pans, limits, refusals.
#include "../AudioTestKit.h"
#include "audio/playback/SongCompiler.h"

#include <gtest/gtest.h>

namespace tromel::audio::test {
namespace {

// Wave numbers beyond the bank fall back to its first file; drums beyond it have none (silence). A file's pan byte 200
// is stored as -188; pans beyond the strip go to its nearer end.
TEST(SongCompiler, SampleFileNamesAndPans) {
    const std::tuple<bool, int, const char*> names[] = {
        {false, 0, "M01.wav"},   {false, 8, "M09.wav"},  {false, 9, "M10.wav"}, {false, 99, "M100.wav"},
        {false, 100, "M01.wav"}, {false, -1, "M01.wav"}, {true, 9, "D10.wav"},  {true, 11, "D12.wav"},
        {true, 12, "D13.wav"},   {true, 27, "D28.wav"},  {true, 28, ""},        {true, -1, ""}};
    for (const auto& [drum, number, name] : names)
        EXPECT_EQ(sampleFileName(drum, number), name) << number;
    const std::pair<int, int> pans[] = {{0, 100}, {1, 83},    {3, 50},     {6, 0},
                                        {9, -50}, {12, -100}, {-188, 100}, {40, -100}};
    for (const auto& [stored, pan] : pans)
        EXPECT_EQ(panOf(stored), pan) << stored;
}

TEST(SongCompiler, RefusesLoopsAndTemposPlaybackCannotFollow) {
    EXPECT_FALSE(playRefusal(Song{}));
    const std::tuple<int32_t, int32_t, int32_t, std::string> cases[] = {{0, 0, 128, "loop end is 0"},
                                                                        {-1, 1600, 128, "loop begin is -1"},
                                                                        {1600, 1600, 128, "loop begin (1600)"},
                                                                        {0, 1600, 0, "tempo is 0"}};
    for (const auto& [begin, end, tempo, reason] : cases) {
        Song song;
        song.loopBegin = begin;
        song.loopEnd = end;
        song.tempo = tempo;
        EXPECT_NE(playRefusal(song).value_or("").find(reason), std::string::npos) << reason;
    }
}

TEST(SongCompiler, EventsComeInPlayOrderUpToTheLoopEnd) {
    const Song song = songWith({{1, {3, 40, 2, 6, 100}},
                                {8, {3, 60, 1, 6, 200}},
                                {0, {3, 50, 4, 0, 90}},
                                {0, {3, 51, 5, 12, 91}},  // same channel, same position
                                {0, {1, 52, 1, 6, 92}},
                                {0, {0, 52, 1, 6, 92}},  // an empty slot's position
                                {3, {8, noKey, 0, 3, noVolume}},
                                {11, {8, noKey, 0, noPan, 80}},
                                {11, {9, 40, 1, 6, 100}}},  // beyond the loop end
                               8);
    CompiledSong compiled;
    compileEvents(song, compiled);
    using enum EventKind;
    // Position, kind, drum, channel, pan, volume, key, length. Drum note starts gain 60; changes
    // keep their volume as it is and mark a missing one as -1, a missing pan as -101.
    EXPECT_EQ(compiled.events, (std::vector<PlayEvent>{{1, NoteStart, 0, 0, 0, 92, 52, 1},
                                                       {3, NoteStart, 0, 0, 100, 90, 50, 4},
                                                       {3, NoteStart, 0, 0, -100, 91, 51, 5},
                                                       {3, NoteStart, 1, 0, 0, 260, 60, 1},
                                                       {3, NoteStart, 0, 1, 0, 100, 40, 2},
                                                       {8, Change, 0, 3, 50, -1, 0, 0},
                                                       {8, Change, 1, 3, -101, 80, 0, 0}}));
    EXPECT_EQ(compiled.slotCount, 4);
    EXPECT_EQ(compiled.eventsAt(3).size(), 4u);
    EXPECT_TRUE(compiled.eventsAt(2).empty());
    // A passage looped past the loop end takes the notes there too.
    compileEvents(song, compiled, 9);
    EXPECT_EQ(compiled.eventsAt(9).size(), 1u);
    EXPECT_EQ(compiled.loopEnd, 8);
}

}  // namespace
}  // namespace tromel::audio::test
