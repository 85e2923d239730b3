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

// The earliest note (with a key on the keyboard) of the channels from `first` to `last`; slots
// are not in step order.
std::optional<NoteRec> earliestNote(const NoteTable& table, int first, int last) {
    std::optional<NoteRec> earliest;
    for (int ch = first; ch <= last; ++ch) {
        for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
            const NoteRec& note = table.at(ch, slot);
            if (note.position > 0 && isKeyRow(note.key) && (!earliest || note.position < earliest->position))
                earliest = note;
        }
    }
    return earliest;
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
RowSpan rowsOf(const NoteTable& table, int first, int last, bool onlyVisible, int64_t leftX, int64_t rightX,
               RollScale scale) {
    RowSpan rows;
    for (int ch = first; ch <= last; ++ch) {
        for (int32_t slot = 1; slot <= table.slotBound(); ++slot) {
            const NoteRec& note = table.at(ch, slot);
            if (note.isEmpty() || !isKeyRow(note.key))
                continue;
            const int64_t start = scale.columnWidth * (static_cast<int64_t>(note.position) - 1);
            const int64_t end = start + scale.columnWidth * static_cast<int64_t>(std::max(note.length, 1));
            if (!onlyVisible || (end > leftX && start < rightX))
                rows.add(note.key);
        }
    }
    return rows;
}

// The rows to centre on when the current channel has no notes: those of every channel in view,
// else all of them.
RowSpan rowsToCentre(const NoteTable& table, int64_t leftX, int64_t rightX, RollScale scale) {
    for (const bool onlyVisible : {true, false}) {
        const RowSpan rows = rowsOf(table, 0, NoteTable::channelCount - 1, onlyVisible, leftX, rightX, scale);
        if (!rows.isEmpty())
            return rows;
    }
    return {};
}

}  // namespace

int barValueAtOrBelowScrollX(int64_t offset, int maximum, int width, RollScale scale) {
    int best = 0;
    for (int value = 0; value <= maximum; ++value) {
        if (viewScrollXFromBar(value, maximum, width, scale) <= offset)
            best = value;
    }
    return best;
}

namespace {

template <typename OffsetOf>
int nearestBarValue(int64_t offset, int maximum, const OffsetOf& offsetOf) {
    int best = 0;
    int64_t bestDistance = -1;
    for (int value = 0; value <= maximum; ++value) {
        const int64_t distance = std::llabs(offsetOf(value) - offset);
        if (bestDistance < 0 || distance < bestDistance) {
            best = value;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

int nearestBarValueForScrollX(int64_t offset, int maximum, int width, RollScale scale) {
    return nearestBarValue(offset, maximum,
                           [&](int value) { return int64_t{viewScrollXFromBar(value, maximum, width, scale)}; });
}

int nearestBarValueForScrollY(int64_t offset, int maximum, int height, RollScale scale) {
    return nearestBarValue(offset, maximum,
                           [&](int value) { return int64_t{viewScrollYFromBar(value, maximum, height, scale)}; });
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

double pixelsPerStepX(int maximum, int width, RollScale scale) {
    return (static_cast<double>(scale.rollWidth()) - (width - keyStripWidth)) / maximum;
}

double pixelsPerStepY(int maximum, int height, RollScale scale) {
    return (static_cast<double>(scale.keyboardHeight()) - (height - panelHeight)) / maximum;
}

std::optional<int> followingBarValue(int32_t playPosition, int32_t viewScrollX, int maximum, int width,
                                     RollScale scale) {
    if (playPosition <= 0)
        return std::nullopt;
    const int64_t x = cursorX(playPosition, viewScrollX, scale);
    const int64_t cw = scale.columnWidth;
    // The cursor is drawn only when its column does not start behind the keyboard.
    const bool leftOfNotes = cw * (static_cast<int64_t>(playPosition) - 1) < viewScrollX;
    const bool pastRightEdge = x + (scale.isWrittenX() ? cursorTileWidth : scale.boxWidth()) > width;
    if (!leftOfNotes && !pastRightEdge)
        return std::nullopt;
    const int64_t wanted = std::max<int64_t>(0, cw * (static_cast<int64_t>(playPosition) - 1 - leadInColumns));
    return barValueAtOrBelowScrollX(wanted, maximum, width, scale);
}

namespace {

struct NoteToGoTo {
    const NoteTable* table;
    NoteRec note;
    bool ofChannel;
};

std::optional<NoteToGoTo> findNoteToGoTo(const Song& song, int kind, int channel) {
    const int current = std::clamp(channel, 0, NoteTable::channelCount - 1);
    if (const std::optional<NoteRec> note = earliestNote(song.notes(kind), current, current))
        return NoteToGoTo{&song.notes(kind), *note, true};
    for (const int candidate : {kind, 1 - kind}) {
        const NoteTable& table = song.notes(candidate);
        if (const std::optional<NoteRec> note = earliestNote(table, 0, NoteTable::channelCount - 1))
            return NoteToGoTo{&table, *note, false};
    }
    return std::nullopt;
}

}  // namespace

std::optional<NoteRec> noteToGoTo(const Song& song, int kind, int channel) {
    const std::optional<NoteToGoTo> found = findNoteToGoTo(song, kind, channel);
    return found ? std::optional<NoteRec>(found->note) : std::nullopt;
}

std::optional<BarValues> notesBarValues(const Song& song, int kind, int channel, int maximumX, int maximumY, int width,
                                        int height, RollScale scale) {
    const std::optional<NoteToGoTo> found = findNoteToGoTo(song, kind, channel);
    if (!found)
        return std::nullopt;
    const NoteTable* table = found->table;
    const NoteRec* first = &found->note;
    const bool ofChannel = found->ofChannel;
    const int64_t cw = scale.columnWidth;
    const int64_t rh = scale.rowHeight;
    BarValues values;
    const int64_t firstX = cw * (static_cast<int64_t>(first->position) - 1);
    values.x = barValueAtOrBelowScrollX(std::max<int64_t>(0, firstX - cw * leadInColumns), maximumX, width, scale);
    RowSpan rows;
    if (ofChannel) {
        rows.add(first->key);
    } else {
        const int64_t leftX = viewScrollXFromBar(values.x, maximumX, width, scale);
        rows = rowsToCentre(*table, leftX, leftX + width - keyStripWidth, scale);
    }
    // The middle of the rows' pixels at the middle of the rows above the bottom panel.
    const int64_t middle = (rh * (static_cast<int64_t>(rows.top) - 1) + rh * rows.bottom) / 2;
    values.y = nearestBarValueForScrollY(middle - (height - panelHeight) / 2, maximumY, height, scale);
    return values;
}

}  // namespace tromel::roll
