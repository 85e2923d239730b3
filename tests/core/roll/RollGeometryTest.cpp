// The pointer mapping and the scroll offsets of the piano roll.
#include "roll/GridMeter.h"
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

// At every other zoom the pointer gives the drawn column and row, boxes and bridges keep their
// places within the cells, and the bars still run from column 1 to column 2304 (row 1 to 96).
TEST(RollGeometry, ZoomedCellsAreHitWhereTheyAreDrawn) {
    EXPECT_EQ(RollScale::ofZoom(100, 100), RollScale{});
    EXPECT_EQ(RollScale::ofZoom(33, 150), (RollScale{16, 18}));  // not a level: as written
    EXPECT_EQ(RollScale::ofZoom(25, 50), (RollScale{4, 6}));
    for (const int zoomX : zoomLevelsX) {
        for (const int zoomY : {50, 200}) {
            const RollScale scale = RollScale::ofZoom(zoomX, zoomY);
            SCOPED_TRACE(testing::Message() << scale.columnWidth << " x " << scale.rowHeight);
            const int shift = scale.mappingShift();
            for (const int32_t scroll : {0, 3}) {
                const int64_t left = columnLeftX(7, scroll, scale);
                EXPECT_EQ(getColumnFromX(int32_t(left - shift), scroll, scale), 7);
                EXPECT_EQ(getColumnFromX(int32_t(left - shift + scale.columnWidth - 1), scroll, scale), 7);
                EXPECT_EQ(getColumnFromX(int32_t(left - shift + scale.columnWidth), scroll, scale), 8);
                const int64_t top = rowTopY(9, scroll, scale);
                EXPECT_EQ(getRowFromY(int32_t(top), scroll, scale), 9);
                EXPECT_EQ(getRowFromY(int32_t(top + scale.rowHeight - 1), scroll, scale), 9);
                EXPECT_EQ(getRowFromY(int32_t(top - 1), scroll, scale), 8);
            }
            // A box leaves its cell's last pixel column and row free; a bridge joins two boxes.
            EXPECT_GE(scale.boxWidth(), 3);
            EXPECT_GE(noteBoxX(2, 0, scale), columnLeftX(2, 0, scale));
            EXPECT_LE(noteBoxX(2, 0, scale) + scale.boxWidth(), columnLeftX(3, 0, scale) - 1);
            EXPECT_LE(noteBoxY(3, 0, scale) + scale.boxHeight(), rowTopY(4, 0, scale) - 1);
            EXPECT_EQ(bridgeX(6, 0, scale), noteBoxX(5, 0, scale) + scale.boxWidth() - 1);
            EXPECT_EQ(bridgeX(6, 0, scale) + scale.bridgeWidth() - 1, noteBoxX(6, 0, scale));
            const int32_t lastX = viewScrollXFromBar(1280, 1280, 577, scale);
            EXPECT_EQ(columnLeftX(2305, lastX, scale), 577);
            EXPECT_EQ(viewScrollXFromBar(0, 1280, 577, scale), 0);
            EXPECT_EQ(rowTopY(97, viewScrollYFromBar(65, 65, 452, scale), scale), 452 - panelHeight);
        }
    }
    // A view larger than the zoomed-out keyboard stays at its top.
    EXPECT_EQ(viewScrollYFromBar(65, 65, 900, RollScale::ofZoom(100, 50)), 0);
    EXPECT_LT(viewScrollYFromBar(65, 65, 1400), 0);  // as written
    // The stretch zone: the written 4 pixels, else a quarter of the column and at least 2.
    EXPECT_FALSE(RollScale{}.inStretchZone(10));
    EXPECT_TRUE(RollScale{}.inStretchZone(10.5));
    EXPECT_TRUE((RollScale{4, 12}.inStretchZone(2)) && !(RollScale{4, 12}.inStretchZone(1.9)));
    EXPECT_TRUE((RollScale{64, 12}.inStretchZone(48)) && !(RollScale{64, 12}.inStretchZone(47)));
}

// The grid in use: the written one, or the song's beats and bars; positions read in them.
TEST(RollGeometry, TheGridMeterCountsBarsBeatsAndKeys) {
    Song song;
    song.stepsPerBar = 3;
    song.beatsPerStep = 8;
    EXPECT_EQ(GridMeter::of(song, false), GridMeter{});
    const GridMeter meter = GridMeter::of(song, true);
    EXPECT_EQ(meter, (GridMeter{8, 24}));
    song.beatsPerStep = 0;
    EXPECT_EQ(GridMeter::of(song, true), GridMeter{});
    EXPECT_EQ(GridMeter{}.describe(69, 96 - 49), "Bar 5 \u00B7 Beat 2 \u00B7 Step 69 \u00B7 C#4");
    EXPECT_EQ(meter.describe(25), "Bar 2 \u00B7 Beat 1 \u00B7 Step 25");
    EXPECT_EQ(meter.describe(24, 0), "Bar 1 \u00B7 Beat 3 \u00B7 Step 24");  // row 0: no key
    EXPECT_EQ(meter.describe(0, 39), "A4");
    EXPECT_TRUE(meter.endsBar(48) && !meter.endsBar(40) && meter.endsBeat(40) && !meter.endsBeat(44));
    // Go to Bar's columns: bar 3 beat 2 of 3 x 8 starts at step 57; the written grid's bar 5 at 65.
    EXPECT_EQ(meter.columnOf(3, 2), 57);
    EXPECT_EQ(meter.beatsInBar(), 3);
    EXPECT_EQ(GridMeter{}.columnOf(5, 1), 65);
    EXPECT_EQ(GridMeter{}.beatsInBar(), 4);
    EXPECT_EQ(keyName(96), "C0");
    EXPECT_EQ(keyName(1), "B7");
    EXPECT_EQ(keyName(85), "B0");
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
