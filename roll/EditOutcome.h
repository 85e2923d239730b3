// What the roll's editing component takes from a mouse event and gives back to the widget.
#pragma once

#include "song/SongEdit.h"

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

// The modifier keys held at a press: Shift draws a selection or drags it, Ctrl with it adds to
// the selection; Alt belongs to step entry, which moves its cursor with it.
struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// What the widget must do after an event: show the pointer, replace the status bar's text when
// one is given, redraw the note layer when asked, and add a gesture that ended having changed
// the song to the document's history.
struct EditOutcome {
    PointerShape pointer = PointerShape::arrow;
    std::optional<std::string> status;
    bool redraw = false;
    std::optional<SongEdit> finished;
    // A note of the current channel just placed, given a new key or moved to one, or a key of the
    // keyboard clicked (position 0, nothing placed): what "Preview Notes" sounds.
    std::optional<NoteRec> placed;
};

}  // namespace tromel::roll
