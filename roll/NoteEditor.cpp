// The roll's mouse editing: hover, press, drag and release turned into note-table edits.
#include "roll/NoteEditor.h"

#include "roll/ChannelStatus.h"
#include "roll/NoteTableOps.h"
#include "roll/RollGeometry.h"

#include <algorithm>

namespace tromel::roll {
namespace {

constexpr int32_t longestStretch = 255;  // a note's length is one byte in a file
// A note taking a key, having had no volume of its own, gets this one.
constexpr int16_t rekeyedVolume = 166;
constexpr int16_t loudestVolume = 248;

// What each gesture is called in the history ("Undo Move Note").
constexpr const char* addNoteName = "Add Note";
constexpr const char* changeKeyName = "Change Key";
constexpr const char* moveNoteName = "Move Note";
constexpr const char* stretchNoteName = "Stretch Note";
constexpr const char* paintPanName = "Paint Pan";
constexpr const char* paintVolumeName = "Paint Volume";
constexpr const char* deleteNotesName = "Delete Notes";
constexpr const char* moveNotesName = "Move Notes";

bool isSlot(const NoteTable& table, int32_t slot) {
    return slot >= 1 && slot <= table.slotBound();
}

}  // namespace

NoteEditor::NoteEditor(Song& song, EditState& state) : m_song(song), m_state(state), m_passage(song, state) {}

EditOutcome NoteEditor::press(MouseButtons buttons, double x, double y, int height, Modifiers modifiers) {
    if (!channelIsValid())
        return outcome(false);
    // A gesture still open here lost its release: it ends before the new one begins.
    EditOutcome ended = inGesture() ? release() : outcome(false);
    const RollSpot spot = spotAt(x, y, height);
    EditOutcome result = outcome(false);
    const bool plain = buttons.leftOnly() || buttons.rightOnly();
    if (plain && !modifiers.shift && !selection().empty()) {
        setSelection({});
        result.redraw = true;
    }
    if (buttons.leftOnly() && modifiers.shift) {
        if (spot.inRoll())
            result = pressPassage(spot, modifiers.ctrl);
    } else if (buttons.leftOnly()) {
        const bool cleared = result.redraw;
        result = pressLeft(spot);
        result.redraw = result.redraw || cleared;
    } else if (buttons.rightOnly()) {
        beginGesture(deleteNotesName);
        result = pressRight(spot);
    }
    result.redraw = result.redraw || ended.redraw;
    result.finished = std::move(ended.finished);
    return result;
}

EditOutcome NoteEditor::move(MouseButtons buttons, double x, double y, int height) {
    if (!channelIsValid())
        return outcome(false);
    const RollSpot spot = spotAt(x, y, height);
    if (buttons.none()) {
        // No button held while a gesture is open: its release went elsewhere.
        EditOutcome result = inGesture() ? release() : outcome(false);
        hover(spot, result);
        return result;
    }
    if (m_passage.active()) {
        if (!buttons.leftOnly())
            return outcome(false);
        m_passage.move(spot.column(), spot.row());
        return outcome(true);
    }
    if (!m_gesture && (buttons.leftOnly() || buttons.rightOnly()))
        beginGesture(buttons.right ? deleteNotesName : spot.inPanStrip() ? paintPanName : paintVolumeName);
    if (buttons.leftOnly())
        return dragLeft(spot);
    if (buttons.rightOnly())
        return dragRight(spot);
    return outcome(false);
}

EditOutcome NoteEditor::release() {
    EditOutcome result = outcome(false);
    if (m_passage.active()) {
        m_passage.release();
        result.redraw = true;
    }
    if (m_state.isNoteMove || m_state.isNoteStretch) {
        m_state.isNoteMove = false;
        m_state.isNoteStretch = false;
        m_pointer = PointerShape::arrow;
        if (channelIsValid()) {
            NoteTable working = workingCopy(m_song, m_state);
            const int32_t placed = m_state.noteMove;
            if (isSlot(working, placed))
                removeOverlaps(working, channel(), working.at(channel(), placed).position, placed);
            result = storeTidied(std::move(working));
        } else {
            result = outcome(false);
        }
    }
    result.finished = endGesture();
    return result;
}

EditOutcome NoteEditor::editPassage(std::string name, const PassageOperation& operation, std::vector<int> alsoChanged) {
    if (inGesture() || !channelIsValid())
        return outcome(false);
    std::vector<int> channels = selection().isOf(m_state) ? selection().channels() : std::vector<int>{};
    channels.insert(channels.end(), alsoChanged.begin(), alsoChanged.end());
    channels.push_back(channel());
    const PassageSnapshot before(m_song, m_state, m_state.channelKind, std::move(channels));
    PassageEditor passage(m_song, m_state);
    const PassageEdit edit = operation(passage, selection());
    EditOutcome result = outcome(edit.changed);
    result.status = edit.status();
    if (!edit.changed)
        return result;
    setSelection(edit.selection);
    SongEdit step = before.finish(std::move(name), m_song, m_state);
    if (!step.isEmpty())
        result.finished = std::move(step);
    return result;
}

EditOutcome NoteEditor::pressPassage(const RollSpot& spot, bool extend) {
    // The channel as it is now is what the drag's step starts from.
    std::optional<PassageSnapshot> before;
    std::vector<int> channels = selection().isOf(m_state) ? selection().channels() : std::vector<int>{};
    channels.push_back(channel());
    before.emplace(m_song, m_state, m_state.channelKind, std::move(channels));
    if (m_passage.press(spot.column(), spot.row(), extend)) {
        m_gesture = std::move(before);
        m_gestureName = moveNotesName;
    }
    return outcome(true);
}

void NoteEditor::beginGesture(std::string name) {
    m_gesture.emplace(m_song, m_state, m_state.channelKind, std::vector<int>{channel()});
    m_gestureName = std::move(name);
}

std::optional<SongEdit> NoteEditor::endGesture() {
    if (!m_gesture)
        return std::nullopt;
    SongEdit edit = m_gesture->finish(m_gestureName, m_song, m_state);
    m_gesture.reset();
    if (edit.isEmpty())
        return std::nullopt;
    return edit;
}

RollSpot NoteEditor::spotAt(double x, double y, int height) const {
    return RollSpot(x, y, height, m_state.viewScrollX, m_state.viewScrollY,
                    RollScale::ofZoom(m_state.zoomX, m_state.zoomY));
}

bool NoteEditor::channelIsValid() const {
    return selectedNotes(m_song, m_state) && m_state.currentChannel >= 0 &&
           m_state.currentChannel < NoteTable::channelCount;
}

const NoteTable& NoteEditor::storedNotes() const {
    return *selectedNotes(m_song, m_state);
}

EditOutcome NoteEditor::outcome(bool redraw) const {
    EditOutcome result;
    result.pointer = m_pointer;
    result.redraw = redraw;
    return result;
}

void NoteEditor::hover(const RollSpot& spot, EditOutcome& result) {
    const NoteTable& notes = storedNotes();
    const int32_t slot = getNoteFromPos(notes, channel(), spot.column(), spot.row());
    if (slot == 0) {
        m_pointer = PointerShape::arrow;
        result.status = channelStatusText(m_state.channelKind, m_state.currentChannel);
    } else {
        const NoteRec& note = notes.at(channel(), slot);
        const int64_t lastColumn = static_cast<int64_t>(note.position) + note.length - 1;
        const bool atEnd = spot.column() == lastColumn && spot.inStretchZone();
        m_pointer = atEnd ? PointerShape::resize : PointerShape::move;
        result.status = atEnd ? stretchNoteText : moveNoteText;
    }
    result.pointer = m_pointer;
}

EditOutcome NoteEditor::pressLeft(const RollSpot& spot) {
    if (spot.inRoll())
        return pressInRoll(spot);
    if (spot.inPanStrip()) {
        beginGesture(paintPanName);
        return setOrAddEvent(spot.column(), &NoteRec::pan, spot.pan());
    }
    if (spot.inVolumeStrip()) {
        beginGesture(paintVolumeName);
        return setOrAddEvent(spot.column(), &NoteRec::volume, spot.volume());
    }
    EditOutcome result = outcome(false);
    // A key of the keyboard changes nothing, but sounds as a new note of that key would.
    if (spot.onKeyboard() && spot.row() >= 1 && spot.row() <= rowCount)
        result.placed = NoteRec{0, spot.row(), m_state.lastNoteLength, m_state.lastNotePan, m_state.lastNoteVol};
    return result;
}

EditOutcome NoteEditor::pressInRoll(const RollSpot& spot) {
    switch (m_pointer) {
        case PointerShape::move:
            beginGesture(moveNoteName);
            return beginMove(spot);
        case PointerShape::resize:
            beginGesture(stretchNoteName);
            return beginStretch(spot);
        case PointerShape::arrow:
            break;
    }
    return addOrRekey(spot);
}

EditOutcome NoteEditor::addOrRekey(const RollSpot& spot) {
    NoteTable working = workingCopy(m_song, m_state);
    const int32_t existing = findNoteAtPos(working, channel(), spot.column());
    beginGesture(existing != 0 ? changeKeyName : addNoteName);
    if (existing != 0) {
        // One record per column: a click where one starts gives it the new key rather than
        // stacking a second note there.
        NoteRec& record = working.at(channel(), existing);
        record.key = spot.row();
        if (record.volume > loudestVolume)
            record.volume = rekeyedVolume;
        EditOutcome result = outcome(true);
        result.placed = record;
        storeNotes(m_song, m_state, std::move(working));
        return result;
    }
    const NoteRec note{spot.column(), spot.row(), m_state.lastNoteLength, m_state.lastNotePan, m_state.lastNoteVol};
    const int32_t slot = addRecord(m_song, m_state, working, channel(), note);
    if (slot == 0) {
        EditOutcome refused = outcome(false);
        refused.status = channelFullText();
        return refused;
    }
    removeOverlaps(working, channel(), spot.column(), slot);
    EditOutcome result = storeTidied(std::move(working));
    result.placed = note;
    return result;
}

EditOutcome NoteEditor::setOrAddEvent(int32_t column, int16_t NoteRec::*field, int16_t value) {
    NoteTable working = workingCopy(m_song, m_state);
    if (paintColumn(working, channel(), column, field, value) > 0) {
        storeNotes(m_song, m_state, std::move(working));
        return outcome(true);
    }
    NoteRec event{column, noKey, 1, noPan, noVolume};
    event.*field = value;
    if (addRecord(m_song, m_state, working, channel(), event) == 0) {
        EditOutcome refused = outcome(false);
        refused.status = channelFullText();
        return refused;
    }
    return storeTidied(std::move(working));
}

EditOutcome NoteEditor::beginMove(const RollSpot& spot) {
    const NoteTable& notes = storedNotes();
    const int32_t slot = getNoteFromPos(notes, channel(), spot.column(), spot.row());
    if (slot == 0)
        return outcome(false);
    m_state.isNoteMove = true;
    m_state.noteMove = slot;
    const double noteLeft = (static_cast<double>(notes.at(channel(), slot).position) - 1) * spot.scale().columnWidth +
                            keyStripWidth - m_state.viewScrollX;
    m_state.moveOffset = roundPixel(spot.x() - noteLeft);
    return outcome(false);
}

EditOutcome NoteEditor::beginStretch(const RollSpot& spot) {
    const int32_t slot = getNoteFromPos(storedNotes(), channel(), spot.column(), spot.row());
    if (slot == 0)
        return outcome(false);
    m_state.isNoteStretch = true;
    m_state.noteMove = slot;
    return outcome(false);
}

EditOutcome NoteEditor::dragLeft(const RollSpot& spot) {
    if (!spot.rightOfKeyboard())
        return outcome(false);
    if (m_state.isNoteMove)
        return dragMove(spot);
    if (m_state.isNoteStretch)
        return dragStretch(spot);
    return paint(spot);
}

EditOutcome NoteEditor::dragMove(const RollSpot& spot) {
    NoteTable working = workingCopy(m_song, m_state);
    if (!isSlot(working, m_state.noteMove))
        return outcome(false);
    // Neither sorted nor tidied while the button is held, so noteMove keeps naming the note.
    NoteRec& note = working.at(channel(), m_state.noteMove);
    note.position = getColumnFromX(roundPixel(spot.x() - m_state.moveOffset), m_state.viewScrollX, spot.scale());
    // A note dragged above or below the keyboard stays on its top or bottom key: a key outside
    // the rows would turn it into an invisible pan and volume event, or wrap in the file.
    const int32_t key = std::clamp(spot.row(), 1, rowCount);
    EditOutcome result = outcome(true);
    if (key != note.key)
        result.placed = NoteRec{note.position, key, note.length, note.pan, note.volume};
    note.key = key;
    storeNotes(m_song, m_state, std::move(working));
    return result;
}

EditOutcome NoteEditor::dragStretch(const RollSpot& spot) {
    NoteTable working = workingCopy(m_song, m_state);
    if (!isSlot(working, m_state.noteMove))
        return outcome(false);
    NoteRec& note = working.at(channel(), m_state.noteMove);
    const int64_t reach = static_cast<int64_t>(spot.column()) - note.position + 1;
    note.length = static_cast<int32_t>(std::clamp<int64_t>(reach, 1, longestStretch));
    m_state.lastNoteLength = static_cast<int16_t>(note.length);
    storeNotes(m_song, m_state, std::move(working));
    return outcome(true);
}

EditOutcome NoteEditor::paint(const RollSpot& spot) {
    NoteTable working = workingCopy(m_song, m_state);
    if (spot.inPanStrip())
        paintColumn(working, channel(), spot.column(), &NoteRec::pan, spot.pan());
    else if (spot.inVolumeStrip())
        paintColumn(working, channel(), spot.column(), &NoteRec::volume, spot.volume());
    else
        return outcome(false);
    storeNotes(m_song, m_state, std::move(working));
    return outcome(true);
}

EditOutcome NoteEditor::pressRight(const RollSpot& spot) {
    NoteTable working = workingCopy(m_song, m_state);
    if (spot.inRoll() && m_pointer != PointerShape::arrow)
        clearNotesAt(working, channel(), spot.column(), spot.row());
    else if (spot.rightOfKeyboard() && spot.belowRoll())
        clearRecordsAt(working, channel(), spot.column());
    return storeTidied(std::move(working));
}

EditOutcome NoteEditor::dragRight(const RollSpot& spot) {
    EditOutcome hovered = outcome(false);
    hover(spot, hovered);
    NoteTable working = workingCopy(m_song, m_state);
    // Unlike a right click, a right drag sweeps whole columns, whatever the keys.
    const bool sweep = (m_pointer == PointerShape::move && spot.inRoll()) || m_pointer == PointerShape::resize ||
                       (spot.rightOfKeyboard() && spot.belowRoll());
    if (sweep)
        clearRecordsAt(working, channel(), spot.column());
    EditOutcome result = storeTidied(std::move(working));
    result.status = hovered.status;
    return result;
}

EditOutcome NoteEditor::storeTidied(NoteTable working) {
    sortNotes(working, channel(), m_state.noteCounts[m_state.channelKind][channel()]);
    storeNotes(m_song, m_state, std::move(working));
    return outcome(true);
}

}  // namespace tromel::roll
