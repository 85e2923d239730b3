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

void BM_DrawRollFullScreen(benchmark::State& state) {
    RollFixture roll;
    for (auto _ : state)
        roll.renderer.drawRoll(roll.buffer, roll.view);
}
BENCHMARK(BM_DrawRollFullScreen)->Unit(benchmark::kMillisecond);

}  // namespace
