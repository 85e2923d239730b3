// The view and edit variables a document window keeps beside its song.
#pragma once

#include <array>
#include <cstdint>

namespace tromel {

struct EditState {
    int16_t songLength = 256;  // the horizontal scroll bar's maximum is five times this
    int32_t viewScrollX = 0;   // roll-content x at the left edge of the note area
    int32_t viewScrollY = 0;   // roll-content y at the top edge of the roll
    int16_t zoomX = 100;       // the note area's columns and rows, in percent of the written sizes
    int16_t zoomY = 100;
    int16_t lastNoteLength = 1;
    int16_t lastNotePan = 6;
    int16_t lastNoteVol = 166;
    int16_t currentChannel = 0;  // 0..7 within channelKind
    bool isNoteMove = false;
    bool isNoteStretch = false;
    int32_t noteMove = 0;  // slot of the note being dragged or stretched
    int32_t moveOffset = 0;
    int16_t channelKind = 0;                             // 0 instruments, 1 drums
    std::array<std::array<int16_t, 8>, 2> noteCounts{};  // live count per kind and channel
};

}  // namespace tromel
