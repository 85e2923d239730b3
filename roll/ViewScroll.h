// Moving the roll's view through its two scroll bars: wheel turns, following the play cursor and
// finding the song's notes. The bars stay the only source of the scroll offsets, so every answer
// here is a bar value and the offsets follow from it by the usual formulas.
#pragma once

#include "roll/RollGeometry.h"
#include "song/Song.h"

#include <cstdint>
#include <optional>

namespace tromel::roll {

// Columns kept between the left edge of the notes and a cursor or note the view jumps to.
inline constexpr int leadInColumns = 2;

// Bar values for a wanted scroll offset: the largest value whose offset does not exceed it (so
// what starts there is not hidden behind the keyboard), or the one whose offset is nearest.
int barValueAtOrBelowScrollX(int64_t offset, int maximum, int width, RollScale scale = {});
int nearestBarValueForScrollX(int64_t offset, int maximum, int width, RollScale scale = {});
int nearestBarValueForScrollY(int64_t offset, int maximum, int height, RollScale scale = {});

// Turns wheel deltas (120 a notch) into steps of a scroll bar. Fine deltas of a touchpad add up
// until they make a whole step; a turn the other way drops what was left over.
class WheelScroll {
public:
    // pixelsPerNotch: how far one notch should move the view; pixelsPerStep: how far one step
    // of the bar moves it. Returns the steps to add to the bar's value (positive: down or right).
    int turn(int angleDelta, double pixelsPerNotch, double pixelsPerStep);
    // Forgets the remainder, as when the bar is already at its end.
    void reset() { m_pendingSteps = 0; }

private:
    double m_pendingSteps = 0;
};

// Pixels one step of a bar moves the view, for a roll of the given size.
double pixelsPerStepX(int maximum, int width, RollScale scale = {});
double pixelsPerStepY(int maximum, int height, RollScale scale = {});

// While following playback: the horizontal bar value that brings the cursor of playPosition near
// the left edge when it has passed the right edge or lies left of the notes; nothing while it is
// in view or when there is no cursor.
std::optional<int> followingBarValue(int32_t playPosition, int32_t viewScrollX, int maximum, int width,
                                     RollScale scale = {});

// "Go to Notes": where the view shows the current channel's earliest note (the smallest position
// among its records with a key) near the left edge with its key centred; for a channel without
// notes, the earliest note of any channel of the kind, centred on the notes in view; for a kind
// without notes, the same in the other kind. Nothing for a song without notes.
struct BarValues {
    int x = 0;
    int y = 0;
    friend bool operator==(const BarValues&, const BarValues&) = default;
};
// The note "Go to Notes" goes to, by the same choice.
std::optional<NoteRec> noteToGoTo(const Song& song, int kind, int channel);
std::optional<BarValues> notesBarValues(const Song& song, int kind, int channel, int maximumX, int maximumY, int width,
                                        int height, RollScale scale = {});

}  // namespace tromel::roll
