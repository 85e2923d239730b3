// Notes played at once taken as one chord: note-ons that arrive within a short window of each other.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tromel::roll {

// A note-on as played: its file key (0 to 95), its volume byte and when it arrived, in whatever
// unit the grouper's window is given in.
struct ChordNote {
    int32_t fileKey = 0;
    int16_t volume = 0;
    int64_t time = 0;

    friend bool operator==(const ChordNote&, const ChordNote&) = default;
};

// Note-ons within `window` of the first note-on of a chord belong to it; a chord is complete
// once a later note-on arrives or the window has passed. A chord lists its notes from the
// highest key down, each key once (the first note-on of a key counts).
class ChordGrouper {
public:
    explicit ChordGrouper(int64_t window) : m_window(window) {}

    // Adds a note-on (times never go back); returns the chord this note completed, if it came
    // after the window of the chord before it.
    std::optional<std::vector<ChordNote>> add(const ChordNote& note);
    // The open chord, when `now` is past its window.
    std::optional<std::vector<ChordNote>> takeDue(int64_t now);
    // The open chord whatever the time (playing stopped, entry turned off).
    std::optional<std::vector<ChordNote>> takeAll();
    // When the open chord is complete: the first moment past its window.
    std::optional<int64_t> dueAt() const;

private:
    int64_t m_window;
    std::vector<ChordNote> m_open;
};

}  // namespace tromel::roll
