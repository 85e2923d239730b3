// Finding, clearing, ordering and adding records in a channel of a note table.
#include "roll/NoteTableOps.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace tromel::roll {
namespace {

constexpr int32_t farPosition = std::numeric_limits<int32_t>::max();

NoteTable tableWith(int channel, const std::vector<NoteRec>& records) {
    NoteTable table;
    table.grow(static_cast<int32_t>(records.size()));
    for (std::size_t i = 0; i < records.size(); ++i)
        table.at(channel, static_cast<int32_t>(i) + 1) = records[i];
    return table;
}

std::vector<int32_t> positions(const NoteTable& table, int channel) {
    std::vector<int32_t> result;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot)
        result.push_back(table.at(channel, slot).position);
    return result;
}

TEST(NoteTableOps, SortNotesOrdersByPositionAndDropsEmptyRecords) {
    NoteTable table = tableWith(2, {{9, 1, 1, 6, 166}, {}, {1, 2, 1, 6, 166}, {5, 3, 1, 6, 166}});
    table.at(3, 1) = {7, 7, 7, 7, 7};
    int16_t count = 99;
    sortNotes(table, 2, count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(positions(table, 2), (std::vector<int32_t>{1, 5, 9, 0}));
    EXPECT_EQ(table.at(2, 2).key, 3);  // whole records travel, not just positions
    EXPECT_EQ(table.at(2, 4), NoteRec{});
    EXPECT_EQ(table.at(3, 1), (NoteRec{7, 7, 7, 7, 7}));  // other channels untouched
}

TEST(NoteTableOps, SortNotesKeepsEveryRecordExactlyOnce) {
    // Equal positions and positions far beyond the roll come from files and from moves onto
    // keyless events; none may be lost or doubled, and equal positions keep their slot order.
    NoteTable table = tableWith(0, {{farPosition, 1, 255, 0, 0},
                                    {4096, 2, 1, 0, 0},
                                    {3, 3, 1, 0, 0},
                                    {3, noKey, 1, 4, noVolume},
                                    {5000, 5, 1, 0, 0},
                                    {3, 6, 1, 0, 0}});
    int16_t count = 0;
    sortNotes(table, 0, count);
    EXPECT_EQ(count, 6);
    EXPECT_EQ(positions(table, 0), (std::vector<int32_t>{3, 3, 3, 4096, 5000, farPosition}));
    EXPECT_EQ(table.at(0, 1).key, 3);
    EXPECT_EQ(table.at(0, 2).key, noKey);
    EXPECT_EQ(table.at(0, 3).key, 6);
}

TEST(NoteTableOps, RemoveOverlapsClearsNotesSharingAColumn) {
    // The placed note sits at 5 with length 4 (columns 5 to 8), in slot 1.
    NoteTable table = tableWith(1, {{5, 10, 4, 6, 166},
                                    {3, 20, 3, 6, 166},     // covers 5
                                    {8, 21, 1, 6, 166},     // on its last column
                                    {6, 22, 10, 6, 166},    // starts inside
                                    {9, 23, 1, 6, 166},     // just after
                                    {6, noKey, 1, 6, 100},  // a volume event
                                    {7, 24, 0, 6, 166},     // length 0 on a later column
                                    {4, 25, 1, 6, 166},     // just before
                                    {farPosition, 26, 255, 6, 166}});
    removeOverlaps(table, 1, 5, 1);
    EXPECT_EQ(positions(table, 1), (std::vector<int32_t>{5, 0, 0, 0, 9, 6, 0, 4, farPosition}));
    EXPECT_EQ(table.at(1, 2), NoteRec{});
}

TEST(NoteTableOps, FindersTellNotesFromKeylessEvents) {
    const NoteTable table = tableWith(0, {{4, 12, 3, 6, 166}, {4, noKey, 1, 3, noVolume}, {6, 12, 1, 6, 166}});
    EXPECT_EQ(findNoteAtPos(table, 0, 4), 2);  // the last record starting there, whatever its key
    EXPECT_EQ(findNoteAtPos(table, 0, 5), 0);
    EXPECT_EQ(findNoteAtPos(table, 0, 0), 0);  // empty slots are not records at column 0
    EXPECT_EQ(getNoteFromPos(table, 0, 6, 12), 3);
    EXPECT_EQ(getNoteFromPos(table, 0, 5, 12), 1);
    EXPECT_EQ(getNoteFromPos(table, 0, 4, noKey), 0);
    EXPECT_EQ(getNoteFromPos(table, 0, 7, 12), 0);
    EXPECT_FALSE(coversColumn({farPosition, 1, 255, 0, 0}, std::numeric_limits<int32_t>::min()));
    EXPECT_TRUE(coversColumn({farPosition, 1, 255, 0, 0}, farPosition));
}

TEST(NoteTableOps, FirstAddGrowsBothTablesForAllChannels) {
    Song song;
    EditState state;
    state.channelKind = 1;
    NoteTable working = workingCopy(song, state);
    const NoteRec note{3, 40, 1, 6, 166};
    EXPECT_EQ(addRecord(song, state, working, 5, note), 1);
    EXPECT_EQ(state.noteCounts[1][5], 1);
    EXPECT_EQ(song.drumNotes.slotBound(), 1);
    EXPECT_EQ(song.instrumentNotes.slotBound(), 0);
    EXPECT_EQ(working.slotBound(), 1);
    EXPECT_EQ(working.at(5, 1), note);
    EXPECT_EQ(working.at(0, 1), NoteRec{});
    storeNotes(song, state, working);
    EXPECT_EQ(song.drumNotes.at(5, 1), note);
    EXPECT_EQ(song.drums[5].noteCount, 0);  // the file's count is never edited

    state.channelKind = 2;  // no such kind: nothing is stored anywhere
    storeNotes(song, state, NoteTable{});
    EXPECT_EQ(song.drumNotes.at(5, 1), note);
}

TEST(NoteTableOps, AddStopsAtTheCountLimit) {
    Song song;
    EditState state;
    state.noteCounts[0][0] = maxChannelNotes;
    NoteTable working = workingCopy(song, state);
    EXPECT_EQ(addRecord(song, state, working, 0, {1, 1, 1, 6, 166}), 0);
    EXPECT_EQ(state.noteCounts[0][0], maxChannelNotes);
    EXPECT_EQ(song.instrumentNotes.slotBound(), 0);
}

}  // namespace
}  // namespace tromel::roll
