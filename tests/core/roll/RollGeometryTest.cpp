// The pointer mapping and the scroll offsets of the piano roll.
#include "roll/RollGeometry.h"
#include "roll/ViewScroll.h"

#include <gtest/gtest.h>

namespace tromel::roll {
namespace {

TEST(RollGeometry, ColumnMappingLiesOnePixelLeftOfTheDrawnColumns) {
    EXPECT_EQ(getColumnFromX(64, 0), 0);
    EXPECT_EQ(getColumnFromX(-5, 300), 0);
    EXPECT_EQ(getColumnFromX(64, 5000), 0);
    EXPECT_EQ(getColumnFromX(65, 0), 1);
    EXPECT_EQ(getColumnFromX(79, 0), 1);
    EXPECT_EQ(getColumnFromX(80, 0), 2);
    EXPECT_EQ(getColumnFromX(65, 20), 2);  // column 1 hidden behind the key strip
    EXPECT_EQ(noteBoxX(1, 0), 67);
    // At the largest scroll the last drawn column is 2304 and the last pixel gives 2305.
    const int width = 577;
    const int32_t scroll = viewScrollXFromBar(1280, 1280, width);
    EXPECT_EQ(columnLeftX(2304, scroll) + 16, width);
    EXPECT_EQ(getColumnFromX(width - 1, scroll), 2305);
}

TEST(RollGeometry, RowMappingMatchesTheDrawnRows) {
    EXPECT_EQ(getRowFromY(0, 0), 1);
    EXPECT_EQ(getRowFromY(11, 0), 1);
    EXPECT_EQ(getRowFromY(12, 0), 2);
    EXPECT_EQ(getRowFromY(-1, 0), 0);
    EXPECT_EQ(getRowFromY(-13, 0), -1);
    EXPECT_EQ(getRowFromY(0, 25), 3);
    EXPECT_EQ(pixelFloor(-0.5), -1);
    EXPECT_EQ(pixelFloor(79.99), 79);
}

TEST(RollGeometry, NotePartsAndMarks) {
    // A note of length 3 in column 5, row 10: boxes at 131, 147, 163; bridges at 142, 158.
    EXPECT_EQ(noteBoxX(5, 0), 131);
    EXPECT_EQ(noteBoxX(6, 0), 147);
    EXPECT_EQ(noteBoxX(7, 0), 163);
    EXPECT_EQ(bridgeX(6, 0), 142);
    EXPECT_EQ(bridgeX(7, 0), 158);
    EXPECT_EQ(noteBoxY(10, 0), 109);
    EXPECT_EQ(panMarkY(0, 452), 452 - 141);
    EXPECT_EQ(panMarkY(12, 452), 452 - 81);
    EXPECT_EQ(volumeMarkY(248, 452), 452 - 70);
    EXPECT_EQ(volumeMarkY(0, 452), 452 - 8);
    EXPECT_EQ(volumeMarkY(166, 452), 452 - 70 + 20);
    EXPECT_TRUE(isInView(1, 1, 577, 0));
    EXPECT_FALSE(isInView(0, 0, 577, 0));  // an empty record is never drawn
    EXPECT_TRUE(isInView(0, 3, 577, 0));   // a note dragged to position 0 still shows its tail
    EXPECT_FALSE(isInView(2147483647, 255, 577, 0));
}

TEST(RollGeometry, ScrollOffsetsFromTheBars) {
    EXPECT_EQ(viewScrollXFromBar(0, 1280, 577), 0);
    EXPECT_EQ(viewScrollXFromBar(1, 1280, 577), 28);  // 28 - 0.4 = 27.6, to the nearest
    EXPECT_EQ(viewScrollXFromBar(640, 1280, 577), 18176);
    EXPECT_EQ(viewScrollXFromBar(1280, 1280, 577), 36352);
    EXPECT_EQ(viewScrollYFromBar(0, 65, 452), 0);
    EXPECT_EQ(viewScrollYFromBar(1, 65, 452), 12);
    EXPECT_EQ(viewScrollYFromBar(2, 65, 452), 25);
    EXPECT_EQ(viewScrollYFromBar(65, 65, 452), 844);
}

// The view's jumps go through bar values: each wanted offset maps back to the value giving it.
TEST(RollGeometry, BarValuesForWantedOffsets) {
    for (const int value : {0, 1, 2, 640, 1279, 1280})
        EXPECT_EQ(barValueAtOrBelowScrollX(viewScrollXFromBar(value, 1280, 577), 1280, 577), value);
    EXPECT_EQ(barValueAtOrBelowScrollX(-40, 1280, 577), 0);
    EXPECT_EQ(barValueAtOrBelowScrollX(viewScrollXFromBar(2, 1280, 577) - 1, 1280, 577), 1);
    for (const int value : {0, 2, 33, 65})
        EXPECT_EQ(nearestBarValueForScrollY(viewScrollYFromBar(value, 65, 452), 65, 452), value);
}

TEST(RollGeometry, FollowingPlaybackJumpsOnlyForACursorOutOfView) {
    struct Case {
        int32_t playPosition;
        int32_t scrollX;
        bool jumps;
    };
    // A 577-wide roll at offset 0 shows the cursor of positions 1 to 32 (x = 67 to 563).
    for (const Case& c : {Case{0, 0, false}, Case{1, 0, false}, Case{32, 0, false}, Case{33, 0, true},
                          Case{5, 100, true}, Case{10, 100, false}, Case{3000, 0, true}}) {
        const std::optional<int> value = followingBarValue(c.playPosition, c.scrollX, 1280, 577);
        EXPECT_EQ(value.has_value(), c.jumps) << c.playPosition << " at " << c.scrollX;
        if (!value || c.playPosition > columnCount)
            continue;
        // After the jump the cursor stands within a few columns of the left edge.
        const int64_t x = cursorX(c.playPosition, viewScrollXFromBar(*value, 1280, 577));
        EXPECT_GE(x, 67);
        EXPECT_LE(x, 67 + 16 * leadInColumns + 30);
    }
}

}  // namespace
}  // namespace tromel::roll
