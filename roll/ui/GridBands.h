// The two bands a zoomed or song-gridded roll is drawn from, kept while the roll's columns stay put.
#pragma once

#include "roll/GridMeter.h"
#include "roll/RollGeometry.h"

#include <QImage>

#include <cstdint>
#include <optional>

namespace tromel::roll {

// One octave of the rows' cells and the pan and volume panel, each across the roll's width with
// the beat and bar lines and the loop in place. They depend on the columns alone, so a playing
// song, which redraws the roll at every step, draws them once.
struct GridBands {
    struct Columns {
        RollScale scale;
        GridMeter meter;
        bool loop = false;
        int32_t loopBegin = 0;
        int32_t loopEnd = 0;
        int32_t viewScrollX = 0;
        int width = 0;
        friend bool operator==(const Columns&, const Columns&) = default;
    };

    std::optional<Columns> drawnFor;
    QImage rows;
    QImage panel;
};

}  // namespace tromel::roll
