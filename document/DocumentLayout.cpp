// The document window's control placement. Tops are taken from each control's own height and
// the height of the row below it, so the window's bottom edge carries everything along.
#include "document/DocumentLayout.h"

namespace tromel {
namespace {

constexpr int scrollBarThickness = 17;
constexpr int statusBarHeight = 25;
constexpr int buttonSize = 25;
constexpr int labelHeight = 17;
constexpr int checkSize = 17;
constexpr int buttonPitch = 24;
constexpr int instrumentRowLeft = 8;
constexpr int drumRowLeft = 216;

}  // namespace

DocumentLayout layoutDocument(int width, int height, int rulerHeight) {
    DocumentLayout layout;
    const int rollWidth = width - 16;
    const int rollHeight = height - 100 - rulerHeight;
    const int rollTop = 16 + rulerHeight;
    const int buttonTop = height - buttonSize - 46;                 // SH - 71
    const int labelTop = height - (labelHeight + buttonSize) - 42;  // SH - 84
    const int checkTop = height - checkSize - 26;                   // SH - 43
    layout.ruler = QRect(0, 16, rollWidth, rulerHeight);
    layout.rollXScroll = QRect(0, 0, rollWidth, scrollBarThickness);
    layout.rollYScroll = QRect(rollWidth, rollTop, scrollBarThickness, rollHeight);
    layout.pianoRoll = QRect(0, rollTop, rollWidth, rollHeight);
    layout.instLabel = QRect(instrumentRowLeft, labelTop, 89, labelHeight);
    layout.drumLabel = QRect(drumRowLeft, labelTop, 89, labelHeight);
    for (int i = 0; i < 8; ++i) {
        layout.instButtons[i] = QRect(instrumentRowLeft + buttonPitch * i, buttonTop, buttonSize, buttonSize);
        layout.drumButtons[i] = QRect(drumRowLeft + buttonPitch * i, buttonTop, buttonSize, buttonSize);
        layout.muteChecks[i] = QRect(14 + buttonPitch * i, checkTop, checkSize, checkSize);
        layout.muteChecks[8 + i] = QRect(221 + buttonPitch * i, checkTop, checkSize, checkSize);
    }
    layout.playButton = QRect(416, buttonTop, 49, buttonSize);
    layout.pauseButton = QRect(464, buttonTop, 49, buttonSize);
    layout.stopButton = QRect(512, buttonTop, 49, buttonSize);
    layout.progressBar = QRect(width - 161 - 20, height - 21, 161, 21);
    layout.statusBar = QRect(0, height - statusBarHeight, width, statusBarHeight);
    return layout;
}

}  // namespace tromel
