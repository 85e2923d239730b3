// What the roll's editing component takes from a mouse event and gives back to the widget.
#pragma once

#include <optional>
#include <string>

namespace tromel::roll {

enum class PointerShape {
    arrow,   // nothing under the pointer
    move,    // over the body of a note: four-headed
    resize,  // over the right end of a note: horizontal west-east
};

// The buttons held during the event (for a press, including the one just pressed).
struct MouseButtons {
    bool left = false;
    bool right = false;
    bool middle = false;

    bool none() const { return !left && !right && !middle; }
    bool leftOnly() const { return left && !right && !middle; }
    bool rightOnly() const { return right && !left && !middle; }
};

// What the widget must do after an event: show the pointer, replace the status bar's text when
// one is given, and redraw the note layer when asked.
struct EditOutcome {
    PointerShape pointer = PointerShape::arrow;
    std::optional<std::string> status;
    bool redraw = false;
};

}  // namespace tromel::roll
