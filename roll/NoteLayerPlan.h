// Which copies of the note layer can be seen. A song may stack thousands of long notes on the
// same cells; drawing each of them would cost a second per redraw, although only the last copy
// to land on a cell shows. The plan keeps, in drawing order, every box and bridge that is the
// last to cover some pixel, so drawing only those gives exactly the picture of drawing them all.
#pragma once

#include "roll/NoteSelection.h"
#include "roll/RollGeometry.h"
#include "song/Song.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tromel::roll {

struct NoteCopy {
    enum class Kind : uint8_t { box, bridge, mark };
    Kind kind = Kind::box;
    int channel = 0;       // boxes and bridges: the channel whose colour they copy
    bool current = false;  // boxes and bridges: in the current channel's bright colour
    int64_t x = 0;
    int64_t y = 0;
    bool selected = false;  // boxes and bridges: a selected note's
    friend bool operator==(const NoteCopy&, const NoteCopy&) = default;
};

// The copies for a roll of width x height at the given scroll: boxes and bridges in drawing order,
// then the marks in drawing order, each place once (marks never meet a box here, so the two groups
// do not depend on each other). Nothing when a mark could land among the boxes (a pan outside 0
// to 12 read from a file); the caller then draws every record in order.
// `selection`, when given, holds the selected slots of the current channel, or of any channel.
std::optional<std::vector<NoteCopy>> planNoteLayer(const NoteTable& notes, int currentChannel, int32_t viewScrollX,
                                                   int32_t viewScrollY, int width, int height,
                                                   const NoteSelection* selection = nullptr, RollScale scale = {});

}  // namespace tromel::roll
