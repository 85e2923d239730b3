// The beats and bars the roll's grid marks, and a column and key read as bar, beat, step and key name.
#pragma once

#include "song/Song.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tromel::roll {

// The written grid has a beat mark every 4 columns and a bar line every 16. Following the song,
// beats come every beatsPerStep columns and bars every stepsPerBar x beatsPerStep (the bar that
// Move Left a Bar uses); a song with either field 0 keeps the written grid.
struct GridMeter {
    int32_t beatColumns = 4;
    int32_t barColumns = 16;

    static GridMeter of(const Song& song, bool followSong);
    friend bool operator==(const GridMeter&, const GridMeter&) = default;

    // For column (a position, counted from 1): its bar and its beat in the bar, counted from 1.
    int64_t barOf(int64_t column) const;
    int64_t beatOf(int64_t column) const;
    // The first column of a beat of a bar (both counted from 1), as Go to Bar finds it.
    int64_t columnOf(int64_t bar, int64_t beat) const;
    int32_t beatsInBar() const { return barColumns / beatColumns; }
    // Whether the grid line at the end of column (its last pixel) is a bar line, or a beat mark.
    bool endsBar(int64_t column) const;
    bool endsBeat(int64_t column) const;

    // "Bar 5 · Beat 2 · Step 69", then " · C#4" when a key row is given (row 1 the highest key;
    // file key 57 is A4); a column of 0 or less leaves out the bar, beat and step.
    std::string describe(int64_t column, std::optional<int32_t> row = std::nullopt) const;
};

// The name and octave of the key of a roll row: row 39 (file key 57) is "A4", row 96 "C0".
std::string keyName(int32_t row);

}  // namespace tromel::roll
