// Where a document window's controls go for a given client size.
#pragma once

#include <QRect>

#include <array>

namespace tromel {

inline constexpr int documentMinimumWidth = 593;  // outer size the window springs back to
inline constexpr int documentMinimumHeight = 525;
inline constexpr int documentOpeningWidth = 593;  // client size of a new window: a 577 x 452 roll
inline constexpr int documentOpeningHeight = 552;

struct DocumentLayout {
    QRect ruler;  // empty while the ruler is hidden
    QRect rollXScroll;
    QRect rollYScroll;
    QRect pianoRoll;
    QRect instLabel;
    QRect drumLabel;
    std::array<QRect, 8> instButtons;
    std::array<QRect, 8> drumButtons;
    std::array<QRect, 16> muteChecks;
    QRect playButton;
    QRect pauseButton;
    QRect stopButton;
    QRect progressBar;
    QRect statusBar;
};

// The controls' places for a client area of width x height pixels. A ruler `rulerHeight` high
// takes the top of the roll's place, the roll and its vertical bar moving down by as much.
DocumentLayout layoutDocument(int width, int height, int rulerHeight = 0);

}  // namespace tromel
