// Redrawing the piano roll: the note layer over a full screen of notes, and the static layer.
#include "roll/ui/RollPictures.h"
#include "roll/ui/RollRenderer.h"

#include <benchmark/benchmark.h>

namespace {

using namespace tromel;

constexpr int width = 1904;  // a maximised window on a 1920 x 1080 screen
constexpr int height = 1036;

// One note in every visible cell of the roll, the eight channels taking turns by column.
NoteTable fullScreenOfNotes() {
    NoteTable table;
    const int columns = width / 16;
    const int rows = (height - 144) / 12;
    table.grow(columns * rows / 8 + rows);
    std::array<int32_t, 8> used{};
    for (int column = 1; column <= columns; ++column)
        for (int row = 1; row <= rows; ++row)
            table.at(column % 8, ++used[column % 8]) = {column, row, 1, 6, 100};
    return table;
}

roll::RollView viewOf(const NoteTable& notes) {
    roll::RollView view;
    view.notes = &notes;
    view.playPosition = 5;
    return view;
}

struct RollFixture {
    roll::RollPictures pictures{roll::RollPictures::builtInSpriteSheet(), QSize(1920, 1080)};
    roll::RollRenderer renderer{pictures};
    NoteTable notes = fullScreenOfNotes();
    roll::RollView view = viewOf(notes);
    QImage buffer{width, height, QImage::Format_RGB32};
    QImage picture{width, height, QImage::Format_RGB32};

    RollFixture() { renderer.drawRoll(buffer, view); }
};

void BM_DrawNotesFullScreen(benchmark::State& state) {
    RollFixture roll;
    for (auto _ : state)
        roll.renderer.drawNotes(roll.picture, roll.buffer, roll.view);
    state.counters["notes"] = static_cast<double>(roll.notes.liveCount());
}
BENCHMARK(BM_DrawNotesFullScreen)->Unit(benchmark::kMillisecond);

// The static layer as written, and with the song's grid of 3 x 8 and the loop at a zoom: redrawn
// in place (as playback does at every step) or scrolled sideways a column at every redraw.
void drawRollFullScreen(benchmark::State& state, int zoomX, int zoomY, bool songsGrid, bool scrolling) {
    RollFixture roll;
    roll.view.scale = roll::RollScale::ofZoom(zoomX, zoomY);
    if (songsGrid) {
        roll.view.meter = roll::GridMeter{8, 24};
        roll.view.loop = roll::LoopSpan{8, 40};
    }
    for (auto _ : state) {
        if (scrolling)
            roll.view.viewScrollX = (roll.view.viewScrollX + roll.view.scale.columnWidth) % 4096;
        roll.renderer.drawRoll(roll.buffer, roll.view);
    }
}
BENCHMARK_CAPTURE(drawRollFullScreen, written, 100, 100, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawRollFullScreen, writtenScrolling, 100, 100, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawRollFullScreen, songsGridAndLoop, 100, 100, true, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawRollFullScreen, songsGridAndLoopScrolling, 100, 100, true, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawRollFullScreen, songsGridAndLoopAt25Scrolling, 25, 50, true, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(drawRollFullScreen, songsGridAndLoopAt400Scrolling, 400, 200, true, true)
    ->Unit(benchmark::kMillisecond);

}  // namespace
