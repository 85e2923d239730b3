// The roll's artwork at one cell size: keys, grid, panel, note boxes and cursor, cut from the sprite sheet.
#pragma once

#include "roll/RollGeometry.h"

#include <QImage>

#include <array>

namespace tromel::roll {

// Every piece is made from the sheet's own pixels so that the colours and line style stay the
// written ones: the edges of a box, a key or a cell keep one pixel and their middles stretch.
// At the written size each piece equals what the written drawing copies from the sheet.
class ScaledPictures {
public:
    ScaledPictures(const QImage& sheet, RollScale scale);

    // One octave of keys, 65 x 12 rows.
    const QImage& keys() const { return m_keys; }
    // A column of one octave of grid cells (one column wide, twelve rows high) whose line is the
    // plain column line; and the one-pixel line of a beat mark and of a bar line down the octave.
    const QImage& gridCell() const { return m_gridCell; }
    const QImage& gridBeatLine() const { return m_gridBeatLine; }
    const QImage& gridBarLine() const { return m_gridBarLine; }
    // The same three for the pan and volume panel, 144 high.
    const QImage& panelCell() const { return m_panelCell; }
    const QImage& panelBeatLine() const { return m_panelBeatLine; }
    const QImage& panelBarLine() const { return m_panelBarLine; }
    // Note boxes and bridges by channel: bright, dark, selected.
    enum Look { bright, dark, selected };
    const QImage& box(int channel, Look look) const { return m_boxes[look][static_cast<std::size_t>(channel)]; }
    const QImage& bridge(int channel, Look look) const { return m_bridges[look][static_cast<std::size_t>(channel)]; }
    // The play cursor tile, as wide as a note box.
    const QImage& cursorTile() const { return m_cursorTile; }
    // Where an octave block's digit stands below the block's top: on its lowest row, moved up
    // where rows are lower than the digit.
    int digitTop() const;

private:
    void makeKeys(const QImage& sheet);
    void makeGrid(const QImage& sheet);
    void makePanel(const QImage& sheet);
    void makeBoxes(const QImage& sheet);

    RollScale m_scale;
    QImage m_keys;
    QImage m_gridCell;
    QImage m_gridBeatLine;
    QImage m_gridBarLine;
    QImage m_panelCell;
    QImage m_panelBeatLine;
    QImage m_panelBarLine;
    std::array<std::array<QImage, 8>, 3> m_boxes;
    std::array<std::array<QImage, 8>, 3> m_bridges;
    QImage m_cursorTile;
};

}  // namespace tromel::roll
