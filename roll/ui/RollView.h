// What one redraw of a roll shows: the notes of the current kind, the channel in front, the view and the cursor.
#pragma once

#include "roll/NoteSelection.h"
#include "song/Song.h"

#include <cstdint>
#include <optional>

namespace tromel::roll {

struct RollView {
    const NoteTable* notes = nullptr;  // the table of the current kind
    int currentChannel = 0;
    int32_t viewScrollX = 0;
    int32_t viewScrollY = 0;
    int32_t playPosition = 0;                  // 0 draws no cursor
    const NoteSelection* selection = nullptr;  // the current channel's selected notes, drawn lighter
    std::optional<CellRect> band;              // a selection rectangle being drawn
};

}  // namespace tromel::roll
