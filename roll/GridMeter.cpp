// The beats and bars the roll's grid marks, and positions read in them.
#include "roll/GridMeter.h"

#include "roll/RollGeometry.h"
#include "song/KeysAndPans.h"

#include <array>

namespace tromel::roll {

GridMeter GridMeter::of(const Song& song, bool followSong) {
    if (!followSong || song.stepsPerBar <= 0 || song.beatsPerStep <= 0)
        return {};
    return {song.beatsPerStep, static_cast<int32_t>(song.stepsPerBar) * song.beatsPerStep};
}

int64_t GridMeter::barOf(int64_t column) const {
    return floorDiv(column - 1, barColumns) + 1;
}

int64_t GridMeter::beatOf(int64_t column) const {
    const int64_t inBar = column - 1 - (barOf(column) - 1) * barColumns;
    return inBar / beatColumns + 1;
}

int64_t GridMeter::columnOf(int64_t bar, int64_t beat) const {
    return (bar - 1) * barColumns + (beat - 1) * beatColumns + 1;
}

bool GridMeter::endsBar(int64_t column) const {
    return column % barColumns == 0;
}

bool GridMeter::endsBeat(int64_t column) const {
    return column % beatColumns == 0;
}

std::string GridMeter::describe(int64_t column, std::optional<int32_t> row) const {
    static const std::string separator = " \u00B7 ";
    std::string text;
    if (column > 0)
        text = "Bar " + std::to_string(barOf(column)) + separator + "Beat " + std::to_string(beatOf(column)) +
               separator + "Step " + std::to_string(column);
    if (row && *row >= 1 && *row <= rowCount)
        text += (text.empty() ? "" : separator) + keyName(*row);
    return text;
}

std::string keyName(int32_t row) {
    static const std::array<const char*, 12> names{"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const int32_t fileKey = fileKeyOfRow(row);
    return names[static_cast<std::size_t>(floorDiv(fileKey, 12) * -12 + fileKey)] +
           std::to_string(floorDiv(fileKey, 12));
}

}  // namespace tromel::roll
