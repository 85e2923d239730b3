// The new-song defaults and the note table's growth rules.
#include "song/EditState.h"
#include "song/Song.h"

#include <gtest/gtest.h>

namespace tromel {
namespace {

TEST(SongModel, NewSongHoldsTheDefaults) {
    const Song song;
    EXPECT_EQ(song.tempo, 128);
    EXPECT_EQ(song.stepsPerBar, 4);
    EXPECT_EQ(song.beatsPerStep, 4);
    EXPECT_EQ(song.loopBegin, 0);
    EXPECT_EQ(song.loopEnd, 1600);
    for (int ch = 0; ch < 8; ++ch) {
        EXPECT_EQ(song.instruments[ch], (ChannelSettings{1000, 0, false, 0}));
        EXPECT_EQ(song.drums[ch], (ChannelSettings{232, 0, false, 0}));
    }
    EXPECT_EQ(song.instrumentNotes.slotBound(), 0);
    EXPECT_EQ(song.drumNotes.slotBound(), 0);
    EXPECT_EQ(song.instrumentNotes.at(7, 0), NoteRec{});

    const EditState state;
    EXPECT_EQ(state.songLength, 256);
    EXPECT_EQ(state.lastNoteLength, 1);
    EXPECT_EQ(state.lastNotePan, 6);
    EXPECT_EQ(state.lastNoteVol, 166);
    EXPECT_EQ(state.noteCounts[1][7], 0);
}

TEST(SongModel, InitSettingsLeavesNotesAndFileCountsAlone) {
    Song song;
    song.tempo = 5;
    song.instruments[3] = {7, 9, true, 12};
    song.drums[2].frequency = 1;
    song.instrumentNotes.grow(2);
    song.instrumentNotes.at(1, 2) = {3, 4, 5, 6, 7};
    initSettings(song);
    EXPECT_EQ(song.tempo, 128);
    EXPECT_EQ(song.instruments[3], (ChannelSettings{1000, 0, false, 12}));
    EXPECT_EQ(song.drums[2].frequency, 232);
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
        for (int slot = 1; slot <= 3; ++slot)
            EXPECT_EQ(table.at(ch, slot), (NoteRec{ch * 10 + slot, slot, 1, 6, 166}));
        for (int slot = 4; slot <= 7; ++slot)
            EXPECT_TRUE(table.at(ch, slot).isEmpty());
        EXPECT_EQ(table.liveCount(ch), 3);
    }
    table.reset();
    EXPECT_EQ(table, NoteTable{});
}

}  // namespace
}  // namespace tromel
