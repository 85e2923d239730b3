// Tidying a full channel, one drag step over a full table, the passage operations and undo on a
// full channel: the costliest edits of the roll.
#include "roll/NoteEditor.h"
#include "roll/NoteTableOps.h"
#include "roll/PassageEditor.h"
#include "song/SongEdit.h"

#include <benchmark/benchmark.h>

namespace {

// Every channel full, positions in descending order so the sort has all of its work to do.
tromel::Song fullSong() {
    tromel::Song song;
    song.instrumentNotes.grow(tromel::roll::maxChannelNotes);
    for (int ch = 0; ch < tromel::NoteTable::channelCount; ++ch)
        for (int32_t slot = 1; slot <= tromel::roll::maxChannelNotes; ++slot)
            song.instrumentNotes.at(ch, slot) = {40000 - slot, 1 + slot % 96, 1, 6, 166};
    return song;
}

void BM_SortFullChannel(benchmark::State& state) {
    const tromel::Song song = fullSong();
    for (auto _ : state) {
        state.PauseTiming();
        tromel::NoteTable table = song.instrumentNotes;
        state.ResumeTiming();
        int16_t count = 0;
        tromel::roll::sortNotes(table, 0, count);
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(BM_SortFullChannel)->Unit(benchmark::kMillisecond);

void BM_PaintDragOverFullTable(benchmark::State& state) {
    tromel::Song song = fullSong();
    tromel::EditState edit;
    edit.noteCounts[0].fill(tromel::roll::maxChannelNotes);
    tromel::roll::NoteEditor editor(song, edit);
    const tromel::roll::MouseButtons left{true, false, false};
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.move(left, 200.0, 440.0, 452).redraw);
}
BENCHMARK(BM_PaintDragOverFullTable)->Unit(benchmark::kMillisecond);

// A tidy full channel 0 with a note on every other column, keys away from the keyboard's ends.
tromel::Song fullTidyChannel(tromel::EditState& edit) {
    tromel::Song song;
    song.instrumentNotes.grow(tromel::roll::maxChannelNotes);
    for (int32_t slot = 1; slot <= tromel::roll::maxChannelNotes; ++slot)
        song.instrumentNotes.at(0, slot) = {2 * slot, 40 + slot % 12, 1, 6, 166};
    edit.noteCounts[0][0] = tromel::roll::maxChannelNotes;
    return song;
}

// 1,000 notes from the middle of the channel, up and down or right and left in turn.
void BM_TransposeAndMoveSelection(benchmark::State& state) {
    tromel::EditState edit;
    tromel::Song song = fullTidyChannel(edit);
    tromel::roll::PassageEditor editor(song, edit);
    std::vector<int32_t> slots(1000);
    for (int32_t i = 0; i < 1000; ++i)
        slots[static_cast<std::size_t>(i)] = 10001 + i;
    tromel::roll::NoteSelection selection(0, 0, slots);
    const bool transposing = state.range(0) == 0;
    int32_t direction = 1;
    for (auto _ : state) {
        const tromel::roll::PassageEdit done =
            transposing ? editor.transpose(selection, direction) : editor.move(selection, direction, 0);
        if (!done.changed)
            state.SkipWithError("the operation was refused");
        selection = done.selection;
        direction = -direction;
    }
}
BENCHMARK(BM_TransposeAndMoveSelection)->ArgName("move")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Select all, copy through the clipboard's bytes and paste over the same notes.
void BM_SelectAllCopyPasteFullChannel(benchmark::State& state) {
    tromel::EditState edit;
    const tromel::Song full = fullTidyChannel(edit);
    const tromel::EditState fullEdit = edit;
    tromel::Song song = full;
    for (auto _ : state) {
        state.PauseTiming();
        song = full;
        edit = fullEdit;
        state.ResumeTiming();
        tromel::roll::PassageEditor editor(song, edit);
        const auto bytes = editor.copy(tromel::roll::selectAll(song, edit)).toBytes();
        const auto read = tromel::roll::NoteClip::fromBytes(bytes);
        if (!editor.paste(read.clip, 2).changed)
            state.SkipWithError("the paste was refused");
    }
}
BENCHMARK(BM_SelectAllCopyPasteFullChannel)->Unit(benchmark::kMillisecond);

// A full, tidy channel of 32,767 notes one step apart, and a move of its last note to the front:
// the edit that shifts every record of the channel by one slot.
struct FullChannelEdit {
    tromel::Song song;
    tromel::EditState edit;
    tromel::SongEdit step;

    FullChannelEdit() {
        song.instrumentNotes.grow(tromel::roll::maxChannelNotes);
        for (int32_t slot = 1; slot <= tromel::roll::maxChannelNotes; ++slot)
            song.instrumentNotes.at(0, slot) = {slot + 1, 1 + slot % 96, 1, 6, 166};
        edit.noteCounts[0][0] = tromel::roll::maxChannelNotes;
        const tromel::ChannelSnapshot before(song, edit, 0, 0);
        song.instrumentNotes.at(0, tromel::roll::maxChannelNotes).position = 1;
        tromel::roll::sortNotes(song.instrumentNotes, 0, edit.noteCounts[0][0]);
        step = before.finish("Move Note", song, edit);
    }
};

void BM_UndoRedoOnFullChannel(benchmark::State& state) {
    FullChannelEdit full;
    for (auto _ : state) {
        full.step.undo(full.song, full.edit);
        full.step.redo(full.song, full.edit);
    }
    state.counters["step_bytes"] = static_cast<double>(full.step.memoryBytes());
}
BENCHMARK(BM_UndoRedoOnFullChannel)->Unit(benchmark::kMillisecond);

// A thousand steps of mouse gestures on a full channel: the time to record each, and the memory
// the whole history holds.
void BM_ThousandStepsOnFullChannel(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        FullChannelEdit full;
        tromel::roll::NoteEditor editor(full.song, full.edit);
        const tromel::roll::MouseButtons none{}, left{true, false, false};
        bytes = 0;
        for (int i = 0; i < 1000; ++i) {
            // Drag the note of column 2 + i (row 1 + (i + 1) % 96) two columns on; release tidies.
            const double x = 64 + 16.0 * (1 + i) + 4;
            const double y = 12.0 * ((1 + i) % 96) + 5;
            editor.move(none, x, y, 1300);
            editor.press(left, x, y, 1300);
            editor.move(left, x + 32, y, 1300);
            if (auto step = editor.release().finished)
                bytes += step->memoryBytes();
        }
    }
    state.counters["history_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ThousandStepsOnFullChannel)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
