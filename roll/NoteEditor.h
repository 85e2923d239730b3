// The roll's mouse editing: hover, press, drag and release turned into note-table edits.
#pragma once

#include "roll/EditOutcome.h"
#include "roll/PassageEditor.h"
#include "roll/PassageGesture.h"
#include "roll/PassageSnapshot.h"
#include "roll/RollSpot.h"
#include "song/EditState.h"
#include "song/Song.h"
#include "song/SongEdit.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tromel::roll {

// Edits the current channel (EditState::channelKind, currentChannel) of one song. The widget
// forwards its mouse events with the buttons held, the pointer in client pixels and its client
// height, then applies the returned outcome. The hover shape decides what a left press does, so
// every pointer move over the roll must be forwarded, not only drags.
//
// A gesture runs from a left or right press to the release and becomes one step of the history
// (EditOutcome::finished). Whatever interrupts it ends it as a release would: a move that arrives
// with no button held, a new press, or the widget calling release() when the roll loses the
// mouse or a command must see the song tidy.
//
// Shift with the left button works on a selection of the current channel's notes: pressed on a
// selected note it drags the whole selection in time and key (one step), elsewhere it draws a
// rectangle that selects the notes starting inside it (Ctrl too: adds them), in the current
// channel or, with setAllChannels(true), in every channel of its kind. Plain gestures do what
// they always did, and clear the selection.
class NoteEditor {
public:
    NoteEditor(Song& song, EditState& state);

    EditOutcome press(MouseButtons buttons, double x, double y, int height, Modifiers modifiers = {});
    EditOutcome move(MouseButtons buttons, double x, double y, int height);
    EditOutcome release();

    PointerShape pointer() const { return m_pointer; }
    bool inGesture() const { return m_gesture.has_value() || m_passage.active(); }

    const NoteSelection& selection() const { return m_passage.selection(); }
    void setSelection(NoteSelection selection) { m_passage.setSelection(std::move(selection)); }
    // The selection rectangle being drawn, while one is.
    std::optional<CellRect> band() const { return m_passage.band(); }
    // Whether a rectangle selects in every channel of the current kind.
    void setAllChannels(bool on) { m_passage.setAllChannels(on); }

    // A passage operation on the selection (delete, transpose, move, paste, duplicate) as one
    // step of the history, named `name`; the selection follows the records. The step holds the
    // current channel, the selection's channels and `alsoChanged` (a paste's channels). A refusal
    // the user must know about comes back as the status text. Nothing happens while a gesture is
    // under way.
    using PassageOperation = std::function<PassageEdit(PassageEditor&, const NoteSelection&)>;
    EditOutcome editPassage(std::string name, const PassageOperation& operation, std::vector<int> alsoChanged = {});

private:
    RollSpot spotAt(double x, double y, int height) const;
    bool channelIsValid() const;
    int channel() const { return m_state.currentChannel; }
    const NoteTable& storedNotes() const;
    EditOutcome outcome(bool redraw) const;

    void hover(const RollSpot& spot, EditOutcome& result);
    EditOutcome pressLeft(const RollSpot& spot);
    EditOutcome pressInRoll(const RollSpot& spot);
    EditOutcome addOrRekey(const RollSpot& spot);
    EditOutcome setOrAddEvent(int32_t column, int16_t NoteRec::*field, int16_t value);
    EditOutcome beginMove(const RollSpot& spot);
    EditOutcome beginStretch(const RollSpot& spot);
    EditOutcome dragLeft(const RollSpot& spot);
    EditOutcome dragMove(const RollSpot& spot);
    EditOutcome dragStretch(const RollSpot& spot);
    EditOutcome paint(const RollSpot& spot);
    EditOutcome pressRight(const RollSpot& spot);
    EditOutcome dragRight(const RollSpot& spot);
    EditOutcome storeTidied(NoteTable working);
    EditOutcome pressPassage(const RollSpot& spot, bool extend);
    void beginGesture(std::string name);
    std::optional<SongEdit> endGesture();

    Song& m_song;
    EditState& m_state;
    PointerShape m_pointer = PointerShape::arrow;
    std::optional<PassageSnapshot> m_gesture;
    PassageGesture m_passage;
    std::string m_gestureName;
};

}  // namespace tromel::roll
