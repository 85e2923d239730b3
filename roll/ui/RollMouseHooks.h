// Where the roll's mouse events go: plain callbacks that the note editor fills in.
#pragma once

#include "roll/EditOutcome.h"

#include <cstdint>
#include <functional>

namespace tromel::roll {

// A pointer event over the roll, in whole pixels of the roll picture, with the buttons held
// (for a press, including the one just pressed; a release acts alike for any button).
struct RollPointer {
    int32_t x = 0;
    int32_t y = 0;
    bool leftHeld = false;
    bool rightHeld = false;
    bool middleHeld = false;
    Modifiers modifiers;

    MouseButtons heldButtons() const { return {leftHeld, rightHeld, middleHeld}; }
};

struct RollMouseHooks {
    std::function<void(const RollPointer&)> press;
    std::function<void(const RollPointer&)> move;
    std::function<void(const RollPointer&)> release;
};

}  // namespace tromel::roll
