// The pointer mapping and the scroll offsets of the piano roll.
#include "roll/RollGeometry.h"
#include "roll/ViewScroll.h"

#include <gtest/gtest.h>

namespace tromel::roll {
namespace {

// The drawn cells' own positions are pinned by the renderer's tests; here the pointer's mapping,
// which lies one pixel left of them, and the edges of the view.
TEST(RollGeometry, PointerMappingAndTheViewsEdges) {
    const std::tuple<int32_t, int32_t, int32_t> columns[] = {{64, 0, 0}, {-5, 300, 0}, {64, 5000, 0}, {65, 0, 1},
                                                             {79, 0, 1}, {80, 0, 2},   {65, 20, 2}};
    for (const auto& [x, scroll, column] : columns)
        EXPECT_EQ(getColumnFromX(x, scroll), column) << x << " at " << scroll;
    const std::tuple<int32_t, int32_t, int32_t> rows[] = {{0, 0, 1},  {11, 0, 1},   {12, 0, 2},
                                                          {-1, 0, 0}, {-13, 0, -1}, {0, 25, 3}};
    for (const auto& [y, scroll, row] : rows)
        EXPECT_EQ(getRowFromY(y, scroll), row) << y << " at " << scroll;
    EXPECT_EQ(pixelFloor(-0.5), -1);
    EXPECT_EQ(pixelFloor(79.99), 79);
    // At the largest scroll the last drawn column is 2304 and the last pixel gives 2305.
    const int32_t scroll = viewScrollXFromBar(1280, 1280, 577);
    EXPECT_EQ(columnLeftX(2304, scroll) + 16, 577);
    EXPECT_EQ(getColumnFromX(576, scroll), 2305);
    EXPECT_FALSE(isInView(0, 0, 577, 0));  // an empty record is never drawn
    EXPECT_TRUE(isInView(0, 3, 577, 0));   // a note dragged to position 0 still shows its tail
    EXPECT_FALSE(isInView(2147483647, 255, 577, 0));
}

// The view's jumps go through bar values: each wanted offset maps back to the value giving it.
TEST(RollGeometry, ScrollOffsetsAndTheBarValuesGivingThem) {
    EXPECT_EQ(viewScrollXFromBar(1, 1280, 577), 28);  // 28 - 0.4 = 27.6, to the nearest
    EXPECT_EQ(viewScrollXFromBar(1280, 1280, 577), 36352);
    EXPECT_EQ(viewScrollYFromBar(2, 65, 452), 25);
    EXPECT_EQ(viewScrollYFromBar(65, 65, 452), 844);
    for (const int value : {0, 1, 2, 640, 1279, 1280})
        EXPECT_EQ(barValueAtOrBelowScrollX(viewScrollXFromBar(value, 1280, 577), 1280, 577), value);
    EXPECT_EQ(barValueAtOrBelowScrollX(-40, 1280, 577), 0);
    EXPECT_EQ(barValueAtOrBelowScrollX(viewScrollXFromBar(2, 1280, 577) - 1, 1280, 577), 1);
    for (const int value : {0, 1, 2, 33, 65})
        EXPECT_EQ(nearestBarValueForScrollY(viewScrollYFromBar(value, 65, 452), 65, 452), value);
}

TEST(RollGeometry, FollowingPlaybackJumpsOnlyForACursorOutOfView) {
    // A 577-wide roll at offset 0 shows the cursor of positions 1 to 32 (x = 67 to 563).
    const std::tuple<int32_t, int32_t, bool> cases[] = {{0, 0, false},  {1, 0, false},    {32, 0, false}, {33, 0, true},
                                                        {5, 100, true}, {10, 100, false}, {3000, 0, true}};
    for (const auto& [playPosition, scrollX, jumps] : cases) {
        const std::optional<int> value = followingBarValue(playPosition, scrollX, 1280, 577);
        EXPECT_EQ(value.has_value(), jumps) << playPosition << " at " << scrollX;
        if (!value || playPosition > columnCount)
            continue;
        // After the jump the cursor stands within a few columns of the left edge.
        const int64_t x = cursorX(playPosition, viewScrollXFromBar(*value, 1280, 577));
        EXPECT_GE(x, 67);
        EXPECT_LE(x, 67 + 16 * leadInColumns + 30);
    }
}

}  // namespace
}  // namespace tromel::roll
