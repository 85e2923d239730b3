// What a document's view offers the window's other rooms: its scale, its columns, the edit cursor,
// the ruler and the readout's piano octave.
#pragma once

#include "roll/RollGeometry.h"

#include <cstdint>
#include <optional>

namespace tromel::roll {
class RollRuler;
}

namespace tromel {

class ViewPort {
public:
    virtual ~ViewPort() = default;

    virtual roll::RollScale scale() const = 0;
    // The first column of the bar of the drawn grid that holds the view's left edge.
    virtual int32_t leftEdgeBarColumn() const = 0;
    // Step entry's cursor, drawn over the notes at this column (0: none), kept in view.
    virtual void setEditCursor(int32_t column) = 0;
    virtual roll::RollRuler* ruler() const = 0;
    // While the keyboard piano is on, the readout ends with its base octave.
    virtual void setPianoOctave(std::optional<int> octave) = 0;
};

}  // namespace tromel
