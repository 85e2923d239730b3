// Planning the note layer: the records are walked from the last drawn to the first, and a copy is
// kept only while some part of a cell it covers is still uncovered by the copies after it.
#include "roll/NoteLayerPlan.h"

#include "roll/RollGeometry.h"

#include <algorithm>
#include <set>
#include <utility>

namespace tromel::roll {
namespace {

// A cell (one row of one column) in the four parts the copies overlap by: the gap left of the
// box, which only a bridge fills; the box's first pixel column, which the bridge from the left
// also covers; its middle; and its last pixel column, which the bridge to the right covers.
constexpr uint8_t gapPart = 1;
constexpr uint8_t firstPart = 2;
constexpr uint8_t middlePart = 4;
constexpr uint8_t lastPart = 8;
constexpr uint8_t wholeCell = 15;
constexpr uint8_t boxParts = firstPart | middlePart | lastPart;

// Which parts of the cells that can be seen are covered already, with a skip list per row so that
// a note lying over covered cells passes them in one step.
class CoverGrid {
public:
    CoverGrid(int64_t firstRow, int64_t lastRow, int64_t firstColumn, int64_t lastColumn)
        : m_firstRow(firstRow),
          m_rows(std::max<int64_t>(0, lastRow - firstRow + 1)),
          m_firstColumn(firstColumn),
          m_columns(std::max<int64_t>(0, lastColumn - firstColumn + 1)),
          m_covered(static_cast<std::size_t>(m_rows * m_columns), 0),
          m_next(static_cast<std::size_t>(m_rows * (m_columns + 1))) {
        for (std::size_t i = 0; i < m_next.size(); ++i)
            m_next[i] = static_cast<int32_t>(i % static_cast<std::size_t>(m_columns + 1));
    }

    bool hasRow(int64_t row) const { return row >= m_firstRow && row < m_firstRow + m_rows; }
    std::size_t cellCount() const { return m_covered.size(); }
    int64_t lastColumn() const { return m_firstColumn + m_columns - 1; }

    // Covers the given parts of a cell; true when any of them was still uncovered. Cells outside
    // the grid cannot be seen and cover nothing.
    bool cover(int64_t row, int64_t column, uint8_t parts) {
        const int64_t c = column - m_firstColumn;
        if (c < 0 || c >= m_columns)
            return false;
        uint8_t& covered = m_covered[static_cast<std::size_t>((row - m_firstRow) * m_columns + c)];
        const bool uncovered = (covered & parts) != parts;
        covered |= parts;
        if (covered == wholeCell)
            next(row)[c] = static_cast<int32_t>(c + 1);
        return uncovered;
    }

    // The first column at or after `column` with an uncovered part (past the grid when none).
    int64_t nextOpen(int64_t row, int64_t column) {
        int32_t* links = next(row);
        int32_t c = static_cast<int32_t>(std::clamp<int64_t>(column - m_firstColumn, 0, m_columns));
        int32_t root = c;
        while (links[root] != root)
            root = links[root];
        while (links[c] != root) {  // shorten the path for the next walk
            const int32_t step = links[c];
            links[c] = root;
            c = step;
        }
        return m_firstColumn + root;
    }

private:
    int32_t* next(int64_t row) { return &m_next[static_cast<std::size_t>((row - m_firstRow) * (m_columns + 1))]; }

    int64_t m_firstRow;
    int64_t m_rows;
    int64_t m_firstColumn;
    int64_t m_columns;
    std::vector<uint8_t> m_covered;
    std::vector<int32_t> m_next;
};

// A kept copy with its turn within its note (box of the first column, then box and bridge of
// each further column).
struct Kept {
    int64_t within;
    NoteCopy copy;
};

class Planner {
public:
    // The grid takes every cell that can be seen, and more: 5 columns' width to the left, past
    // the keyboard, and the columns whose bridges or boxes reach into the picture on the right.
    Planner(int currentChannel, int32_t scrollX, int32_t scrollY, int width, int height, RollScale scale)
        : m_current(currentChannel),
          m_scrollX(scrollX),
          m_scrollY(scrollY),
          m_width(width),
          m_height(height),
          m_scale(scale),
          m_grid(floorDiv(scrollY, scale.rowHeight),
                 floorDiv(static_cast<int64_t>(scrollY) + height, scale.rowHeight) + 1,
                 floorDiv(static_cast<int64_t>(scrollX) - 5 * scale.columnWidth, scale.columnWidth) + 1,
                 floorDiv(static_cast<int64_t>(scrollX) + width - 62, scale.columnWidth) + 2) {
        // A box and a bridge a cell seen is about what a full roll keeps.
        m_kept.reserve(2 * m_grid.cellCount());
    }

    // False when a mark of this record could land among the boxes.
    bool addMarks(const NoteRec& note) {
        const int64_t x = noteBoxX(note.position, m_scrollX, m_scale);
        if (x + markWidth <= 0 || x >= m_width)
            return true;
        // Walking backwards: the volume mark is drawn after the pan mark.
        if (note.volume != noVolume)
            keepMark(x, volumeMarkY(note.volume, m_height));
        const int64_t panY = panMarkY(note.pan, m_height);
        if (panY + markHeight > 0 && panY < m_height) {
            if (note.pan < 0)
                return false;
            keepMark(x, panY);
        }
        return true;
    }

    void addBoxes(const NoteRec& note, int channel, bool selected) {
        const int64_t row = note.key;
        if (!boxAbovePanel(row, m_scrollY, m_height, m_scale) || !m_grid.hasRow(row))
            return;
        const int64_t start = note.position;
        const int64_t end = start + std::max<int64_t>(note.length, 1) - 1;
        const int64_t last = std::min(end, m_grid.lastColumn());
        const bool current = channel == m_current;
        const std::size_t first = m_kept.size();
        for (int64_t c = m_grid.nextOpen(row, start); c <= last; c = m_grid.nextOpen(row, c + 1)) {
            // The bridges into and out of this column are drawn after its box.
            for (const int64_t bridge : {c, c + 1}) {
                if (bridge > start && bridge <= end && coverBridge(row, bridge))
                    keep(2 * (bridge - start), NoteCopy::Kind::bridge, channel, current, bridge, row, selected);
            }
            if (m_grid.cover(row, c, boxParts))
                keep(c == start ? 0 : 2 * (c - start) - 1, NoteCopy::Kind::box, channel, current, c, row, selected);
        }
        // Records come last drawn first; within one, the copies are put last drawn first too.
        std::sort(m_kept.begin() + static_cast<std::ptrdiff_t>(first), m_kept.end(),
                  [](const Kept& a, const Kept& b) { return a.within > b.within; });
    }

    std::vector<NoteCopy> copies() {
        std::vector<NoteCopy> result;
        result.reserve(m_kept.size() + m_marks.size());
        for (auto kept = m_kept.rbegin(); kept != m_kept.rend(); ++kept)
            result.push_back(kept->copy);
        result.insert(result.end(), m_marks.rbegin(), m_marks.rend());
        return result;
    }

private:
    // Marks overlap one another where they are two pixels apart, so they keep their order; of
    // marks in the same place only the last drawn, met first here, is kept.
    void keepMark(int64_t x, int64_t y) {
        if (m_markPlaces.insert({x, y}).second)
            m_marks.push_back({NoteCopy::Kind::mark, 0, false, x, y});
    }

    // A bridge covers the last pixel column of the box to its left, the gap and the first of its own.
    bool coverBridge(int64_t row, int64_t column) {
        const bool left = m_grid.cover(row, column - 1, lastPart);
        const bool right = m_grid.cover(row, column, gapPart | firstPart);
        return left || right;
    }

    void keep(int64_t within, NoteCopy::Kind kind, int channel, bool current, int64_t column, int64_t row,
              bool selected) {
        const int64_t x =
            kind == NoteCopy::Kind::box ? noteBoxX(column, m_scrollX, m_scale) : bridgeX(column, m_scrollX, m_scale);
        m_kept.push_back({within, {kind, channel, current, x, noteBoxY(row, m_scrollY, m_scale), selected}});
    }

    int m_current;
    int32_t m_scrollX;
    int32_t m_scrollY;
    int m_width;
    int m_height;
    RollScale m_scale;
    CoverGrid m_grid;
    std::vector<Kept> m_kept;
    std::vector<NoteCopy> m_marks;  // last drawn first
    std::set<std::pair<int64_t, int64_t>> m_markPlaces;
};

}  // namespace

std::optional<std::vector<NoteCopy>> planNoteLayer(const NoteTable& notes, int currentChannel, int32_t viewScrollX,
                                                   int32_t viewScrollY, int width, int height,
                                                   const NoteSelection* selection, RollScale scale) {
    Planner planner(currentChannel, viewScrollX, viewScrollY, width, height, scale);
    for (int channel = NoteTable::channelCount - 1; channel >= 0; --channel) {
        for (int32_t slot = notes.slotBound(); slot >= 1; --slot) {
            const NoteRec& note = notes.at(channel, slot);
            if (!isInView(note.position, note.length, width, viewScrollX, scale))
                continue;
            if (channel == currentChannel && !planner.addMarks(note))
                return std::nullopt;
            planner.addBoxes(note, channel, selection != nullptr && selection->contains(channel, slot));
        }
    }
    return planner.copies();
}

}  // namespace tromel::roll
