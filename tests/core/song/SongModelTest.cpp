// The note table's growth rules.
#include "song/Song.h"

#include <gtest/gtest.h>

namespace tromel {
namespace {

TEST(SongModel, GrowingKeepsEveryChannelsRecordsAndNeverShrinks) {
    NoteTable table;
    table.grow(3);
    for (int ch = 0; ch < 8; ++ch)
        for (int slot = 1; slot <= 3; ++slot)
            table.at(ch, slot) = {ch * 10 + slot, slot, 1, 6, 166};
    table.grow(7);
    table.grow(5);
    ASSERT_EQ(table.slotBound(), 7);
    for (int ch = 0; ch < 8; ++ch) {
        EXPECT_EQ(table.at(ch, 3), (NoteRec{ch * 10 + 3, 3, 1, 6, 166}));
        EXPECT_TRUE(table.at(ch, 4).isEmpty() && table.at(ch, 7).isEmpty());
        EXPECT_EQ(table.liveCount(ch), 3);
    }
}

}  // namespace
}  // namespace tromel
