// The new-song defaults and the note table's growth rules.
#include "song/EditState.h"
#include "song/Song.h"

#include <gtest/gtest.h>

namespace tromel {
namespace {

TEST(SongModel, NewSongAndInitSettingsHoldTheDefaults) {
    Song song;
    EXPECT_EQ(std::tie(song.tempo, song.stepsPerBar, song.beatsPerStep, song.loopBegin, song.loopEnd),
              std::make_tuple(128, 4, 4, 0, 1600));
    EXPECT_EQ(song.instrumentNotes, NoteTable{});
    EXPECT_EQ(song.drumNotes.slotBound(), 0);
    EXPECT_EQ(EditState{}.lastNoteVol, 166);

    // initSettings restores the header and settings but leaves notes and file counts alone.
    song.tempo = 5;
    song.instruments[3] = {7, 9, true, 12};
    song.drums[2] = {1, 3, true, 0};
    song.instrumentNotes.grow(2);
    song.instrumentNotes.at(1, 2) = {3, 4, 5, 6, 7};
    initSettings(song);
    EXPECT_EQ(song.tempo, 128);
    EXPECT_EQ(song.instruments[3], (ChannelSettings{1000, 0, false, 12}));
    EXPECT_EQ(song.drums[2], (ChannelSettings{232, 0, false, 0}));  // 232, not 1000
    EXPECT_EQ(song.instrumentNotes.at(1, 2), (NoteRec{3, 4, 5, 6, 7}));
}

TEST(SongModel, GrowingKeepsEveryChannelsRecords) {
    NoteTable table;
    table.grow(3);
    for (int ch = 0; ch < 8; ++ch)
        for (int slot = 1; slot <= 3; ++slot)
            table.at(ch, slot) = {ch * 10 + slot, slot, 1, 6, 166};
    table.grow(7);
    table.grow(5);  // never shrinks
    ASSERT_EQ(table.slotBound(), 7);
    for (int ch = 0; ch < 8; ++ch) {
        EXPECT_EQ(table.at(ch, 3), (NoteRec{ch * 10 + 3, 3, 1, 6, 166}));
        EXPECT_TRUE(table.at(ch, 4).isEmpty() && table.at(ch, 7).isEmpty());
        EXPECT_EQ(table.liveCount(ch), 3);
    }
}

}  // namespace
}  // namespace tromel
