// What a document's history offers the window's other rooms: the gesture under way, the selection and
// the steps of notes played in.
#pragma once

#include "song/SongEdit.h"

#include <cstdint>
#include <functional>

class QUndoStack;

namespace tromel::roll {
class NoteEditor;
struct RollPointer;
}  // namespace tromel::roll

namespace tromel {

class EditPort {
public:
    virtual ~EditPort() = default;

    virtual QUndoStack* history() const = 0;
    virtual roll::NoteEditor& noteEditor() const = 0;
    // Ends a mouse gesture of the roll as its release would; commands call it first.
    virtual void finishGesture() = 0;
    // Notes played in, already put into the song, as a step of the history; steps of one pass
    // (one `passKey`, not 0) pushed one after another are one step.
    virtual void recordNotes(SongEdit edit, uint64_t passKey = 0) = 0;
    // A press on the roll with Alt held goes to `take` when it answers true.
    virtual void takeAltPresses(std::function<bool(const roll::RollPointer&)> take) = 0;
    // While step entry owns Left and Right, Move Left and Move Right keep only their menu items.
    virtual void setArrowsTaken(bool taken) = 0;
    virtual void dropSelection() = 0;
};

}  // namespace tromel
