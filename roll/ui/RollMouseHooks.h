// Where the roll's mouse events go: plain callbacks that the note editor fills in.
#pragma once

#include "roll/EditOutcome.h"

#include <cstdint>
#include <functional>

namespace tromel::roll {

enum class RollButton { None, Left, Right, Other };

// A pointer event over the roll, in whole pixels of the roll picture.
struct RollPointer {
    int32_t x = 0;
    int32_t y = 0;
    RollButton button = RollButton::None;  // the button that changed (press, release)
    bool leftHeld = false;
    bool rightHeld = false;
    bool middleHeld = false;

    MouseButtons heldButtons() const { return {leftHeld, rightHeld, middleHeld}; }
};

struct RollMouseHooks {
    std::function<void(const RollPointer&)> press;
    std::function<void(const RollPointer&)> move;
    std::function<void(const RollPointer&)> release;
};

}  // namespace tromel::roll
