// Wheel steps, the view that follows the play cursor and the view that finds the notes.
#include "roll/ViewScroll.h"

#include "roll/RollGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tromel::roll {
namespace {

constexpr double wheelNotch = 120.0;

bool isKeyRow(int32_t key) {
    return key >= 1 && key <= rowCount;
}

// The table to look in: the current kind's, or the other's when the current one has no notes.
const NoteTable* tableWithNotes(const Song& song, int kind) {
    for (const int candidate : {kind, 1 - kind}) {
        if (song.notes(candidate).liveCount() > 0)
            return &song.notes(candidate);
    }
    return nullptr;
}

int32_t firstPosition(const NoteTable& table) {
    int32_t first = 0;
    for (int ch = 0; ch < NoteTable::channelCount; ++ch) {
        for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
            const int32_t position = table.at(ch, slot).position;
            if (position > 0 && (first == 0 || position < first))
                first = position;
        }
    }
    return first;
}

struct RowSpan {
    int32_t top = rowCount + 1;
    int32_t bottom = 0;
    bool isEmpty() const { return bottom == 0; }
    void add(int32_t row) {
        top = std::min(top, row);
        bottom = std::max(bottom, row);
    }
};

// Rows of the notes of the channels from `first` to `last` (those within the columns from
// leftX to rightX of roll content when `onlyVisible`).
RowSpan rowsOf(const NoteTable& table, int first, int last, bool onlyVisible, int64_t leftX, int64_t rightX) {
    RowSpan rows;
    for (int ch = first; ch <= last; ++ch) {
        for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
            const NoteRec& note = table.at(ch, slot);
            if (note.isEmpty() || !isKeyRow(note.key))
                continue;
            const int64_t start = 16 * (static_cast<int64_t>(note.position) - 1);
            const int64_t end = start + 16 * static_cast<int64_t>(std::max(note.length, 1));
            if (!onlyVisible || (end > leftX && start < rightX))
                rows.add(note.key);
        }
    }
    return rows;
}

// The rows to centre on: the channel's notes in view, else all of the channel's, else those of
// every channel (in view first).
RowSpan rowsToCentre(const NoteTable& table, int channel, int64_t leftX, int64_t rightX) {
    const int current = std::clamp(channel, 0, NoteTable::channelCount - 1);
    for (const auto& [first, last] : {std::pair{current, current}, std::pair{0, NoteTable::channelCount - 1}}) {
        for (const bool onlyVisible : {true, false}) {
            const RowSpan rows = rowsOf(table, first, last, onlyVisible, leftX, rightX);
            if (!rows.isEmpty())
                return rows;
        }
    }
    return {};
}

}  // namespace

int barValueAtOrBelowScrollX(int64_t offset, int maximum, int width) {
    int best = 0;
    for (int value = 0; value <= maximum; ++value) {
        if (viewScrollXFromBar(value, maximum, width) <= offset)
            best = value;
    }
    return best;
}

int nearestBarValueForScrollY(int64_t offset, int maximum, int height) {
    int best = 0;
    int64_t bestDistance = -1;
    for (int value = 0; value <= maximum; ++value) {
        const int64_t distance = std::llabs(viewScrollYFromBar(value, maximum, height) - offset);
        if (bestDistance < 0 || distance < bestDistance) {
            best = value;
            bestDistance = distance;
        }
    }
    return best;
}

int WheelScroll::turn(int angleDelta, double pixelsPerNotch, double pixelsPerStep) {
    if (angleDelta == 0 || pixelsPerStep <= 0)
        return 0;
    // Turning the wheel away from the user (a positive delta) moves the view up or left.
    const double steps = -angleDelta / wheelNotch * pixelsPerNotch / pixelsPerStep;
    if ((steps < 0) != (m_pendingSteps < 0))
        m_pendingSteps = 0;
    m_pendingSteps += steps;
    const double whole = std::trunc(m_pendingSteps);
    m_pendingSteps -= whole;
    return static_cast<int>(whole);
}

double pixelsPerStepX(int maximum, int width) {
    return (static_cast<double>(rollWidth) - (width - keyStripWidth)) / maximum;
}

double pixelsPerStepY(int maximum, int height) {
    return (static_cast<double>(keyboardHeight) - (height - panelHeight)) / maximum;
}

std::optional<int> followingBarValue(int32_t playPosition, int32_t viewScrollX, int maximum, int width) {
    if (playPosition <= 0)
        return std::nullopt;
    const int64_t x = cursorX(playPosition, viewScrollX);
    // The cursor is drawn only when its column does not start behind the keyboard.
    const bool leftOfNotes = 16 * (static_cast<int64_t>(playPosition) - 1) < viewScrollX;
    const bool pastRightEdge = x + cursorTileWidth > width;
    if (!leftOfNotes && !pastRightEdge)
        return std::nullopt;
    const int64_t wanted = std::max<int64_t>(0, 16 * (static_cast<int64_t>(playPosition) - 1 - leadInColumns));
    return barValueAtOrBelowScrollX(wanted, maximum, width);
}

std::optional<BarValues> notesBarValues(const Song& song, int kind, int channel, int maximumX, int maximumY, int width,
                                        int height) {
    const NoteTable* table = tableWithNotes(song, kind);
    if (table == nullptr)
        return std::nullopt;
    BarValues values;
    const int64_t firstX = 16 * (static_cast<int64_t>(firstPosition(*table)) - 1);
    values.x = barValueAtOrBelowScrollX(std::max<int64_t>(0, firstX - 16 * leadInColumns), maximumX, width);
    const int64_t leftX = viewScrollXFromBar(values.x, maximumX, width);
    const RowSpan rows = rowsToCentre(*table, channel, leftX, leftX + width - keyStripWidth);
    if (rows.isEmpty()) {
        values.y = nearestBarValueForScrollY(0, maximumY, height);
        return values;
    }
    // The middle of the rows' pixels at the middle of the rows above the bottom panel.
    const int64_t middle = (rowHeight * (static_cast<int64_t>(rows.top) - 1) + rowHeight * rows.bottom) / 2;
    values.y = nearestBarValueForScrollY(middle - (height - panelHeight) / 2, maximumY, height);
    return values;
}

}  // namespace tromel::roll
