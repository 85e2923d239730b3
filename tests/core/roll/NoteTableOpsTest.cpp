// Finding, clearing, ordering and adding records in a channel of a note table.
#include "roll/NoteTableOps.h"

#include "roll/PlacedColumns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
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

// One field of every slot from 1 up, e.g. fieldOf(table, 0, &NoteRec::key).
std::vector<int32_t> fieldOf(const NoteTable& table, int channel, int32_t NoteRec::*field) {
    std::vector<int32_t> result;
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot)
        result.push_back(table.at(channel, slot).*field);
    return result;
}

TEST(NoteTableOps, SortNotesKeepsEveryRecordOnceInStablePositionOrder) {
    // Equal positions and positions far beyond the roll come from files and from moves onto
    // keyless events; none may be lost or doubled, and equal positions keep their slot order.
    NoteTable table = tableWith(2, {{farPosition, 1, 255, 0, 0},
                                    {4096, 2, 1, 0, 0},
                                    {},
                                    {3, 3, 1, 0, 0},
                                    {3, noKey, 1, 4, noVolume},
                                    {5000, 5, 1, 0, 0},
                                    {3, 6, 1, 0, 0}});
    table.at(3, 1) = {7, 7, 7, 7, 7};
    int16_t count = 99;
    EXPECT_EQ(sortNotesTracked(table, 2, count), (std::vector<int32_t>{0, 6, 4, 0, 1, 2, 5, 3}));
    EXPECT_EQ(count, 6);
    EXPECT_EQ(fieldOf(table, 2, &NoteRec::position), (std::vector<int32_t>{3, 3, 3, 4096, 5000, farPosition, 0}));
    EXPECT_EQ(fieldOf(table, 2, &NoteRec::key), (std::vector<int32_t>{3, noKey, 6, 2, 5, 1, 0}));
    EXPECT_EQ(table.at(2, 7), NoteRec{});
    EXPECT_EQ(table.at(3, 1), (NoteRec{7, 7, 7, 7, 7}));  // other channels untouched
}

TEST(NoteTableOps, RemoveOverlapsClearsNotesSharingAColumn) {
    // The placed note sits at 5 with length 4 (columns 5 to 8), in slot 1.
    NoteTable table = tableWith(1, {{5, 10, 4, 6, 166},
                                    {3, 20, 3, 6, 166},                // covers 5
                                    {8, 21, 1, 6, 166},                // on its last column
                                    {6, 22, 10, 6, 166},               // starts inside
                                    {9, 23, 1, 6, 166},                // just after
                                    {6, noKey, 1, 6, 100},             // a volume event
                                    {7, 24, 0, 6, 166},                // length 0 on a later column
                                    {4, 25, 1, 6, 166},                // just before
                                    {farPosition, 26, 255, 6, 166}});  // its end must not wrap round
    removeOverlaps(table, 1, 5, 1);
    EXPECT_EQ(fieldOf(table, 1, &NoteRec::position), (std::vector<int32_t>{5, 0, 0, 0, 9, 6, 0, 4, farPosition}));
    EXPECT_EQ(table.at(1, 2), NoteRec{});
}

TEST(NoteTableOps, PlacedColumnsClearWhatRemoveOverlapsClearsForAnyOfThem) {
    // Random small channels, lengths 0 to 5 and a few keyless records: for a group of placed
    // notes, exactly the records that removeOverlaps would clear for one of them.
    std::mt19937 random(12);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int trial = 0; trial < 500; ++trial) {
        std::vector<NoteRec> records(static_cast<std::size_t>(pick(2, 12)));
        for (NoteRec& record : records)
            record = {pick(1, 24), pick(0, 4) == 0 ? noKey : pick(1, 96), pick(0, 5), 6, 166};
        const auto placedCount =
            static_cast<std::size_t>(pick(1, std::min<int>(3, static_cast<int>(records.size()) - 1)));
        const std::vector<NoteRec> placed(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(placedCount));
        const PlacedColumns cover(placed);
        for (std::size_t i = placedCount; i < records.size(); ++i) {
            bool cleared = false;
            for (std::size_t p = 0; p < placedCount; ++p) {
                if (placed[p].key == noKey)
                    continue;
                NoteTable table = tableWith(0, {placed[p], records[i]});
                removeOverlaps(table, 0, placed[p].position, 1);
                cleared = cleared || table.at(0, 2).isEmpty();
            }
            EXPECT_EQ(cover.overlaps(records[i]), cleared) << "trial " << trial << " record " << i;
        }
    }
}

}  // namespace
}  // namespace tromel::roll
