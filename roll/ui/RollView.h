// What one redraw of a roll shows: the notes of the current kind, the channel in front, the view and the cursor.
#pragma once

#include "roll/GridMeter.h"
#include "roll/NoteSelection.h"
#include "roll/RollGeometry.h"
#include "song/Song.h"

#include <cstdint>
#include <optional>

namespace tromel::roll {

// The song's loop points, steps counted from 0 as in the file: the loop plays the columns
// begin + 1 to end.
struct LoopSpan {
    int32_t begin = 0;
    int32_t end = 0;
};

struct RollView {
    const NoteTable* notes = nullptr;  // the table of the current kind
    int currentChannel = 0;
    int32_t viewScrollX = 0;
    int32_t viewScrollY = 0;
    int32_t playPosition = 0;                  // 0 draws no cursor
    const NoteSelection* selection = nullptr;  // the selected notes, drawn lighter
    std::optional<CellRect> band;              // a selection rectangle being drawn
    RollScale scale;                           // the zoom's cell size
    GridMeter meter;                           // the beats and bars the grid marks
    std::optional<LoopSpan> loop;              // the loop, drawn when set
    int32_t editCursor = 0;                    // the column step entry puts notes in; 0 draws none

    // Whether the roll is drawn as written: at the written cell size, grid and without a loop.
    bool isWritten() const { return scale.isWritten() && meter == GridMeter{} && !loop; }
};

}  // namespace tromel::roll
