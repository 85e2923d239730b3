// The static layer's pieces at any cell size and grid: the grid, the loop, the cursor, the panel and the keys.
#pragma once

#include "roll/ui/GridBands.h"
#include "roll/ui/RollView.h"
#include "roll/ui/ScaledPictures.h"

#include <QImage>
#include <QSize>

#include <array>
#include <utility>

class QPainter;

namespace tromel::roll {

// Draws with the pictures of the view's cell size what the written roll copies from its fixed
// tiles: the cells tiled from the content's corner, then a beat mark or bar line over the line
// of each column that ends a beat or a bar of the view's meter.
class GridPainter {
public:
    // The bands are drawn anew when the view's columns differ from those they were drawn for.
    GridPainter(const ScaledPictures& pictures, const RollView& view, QSize size, GridBands& bands)
        : m_pictures(pictures), m_view(view), m_size(size), m_bands(bands) {}

    // The cells of the rows and of the panel, with the loop over them when it is shown.
    void drawGrid(QPainter& painter) const;
    void drawPanel(QPainter& painter) const;
    void drawCursor(QPainter& painter) const;
    // The octaves of keys with their digits, and the panel label's ground below the lowest key
    // where the rows end above the panel.
    void drawKeyboard(QPainter& painter, const QImage& sheet) const;

private:
    void refreshBands() const;
    struct LoopColumns {
        int begin;
        int end;
        std::array<std::pair<int, int>, 2> lines;
    };

    void drawColumns(QImage& band, const QImage& cell, const QImage& beat, const QImage& bar) const;
    LoopColumns loopColumns(int width) const;

    const ScaledPictures& m_pictures;
    const RollView& m_view;
    QSize m_size;
    GridBands& m_bands;
};

}  // namespace tromel::roll
