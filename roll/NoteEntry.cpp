// Notes played in put into the song: a chord at a step, on the current channel or spread over
// free channels, and the notes at a step taken out again.
#include "roll/NoteEntry.h"

#include "roll/ChannelStatus.h"
#include "roll/NoteClip.h"
#include "roll/NoteTableOps.h"
#include "roll/PassageEditor.h"
#include "roll/PlacedColumns.h"
#include "roll/RollGeometry.h"
#include "song/KeysAndPans.h"

#include <algorithm>

namespace tromel::roll {
namespace {

NoteRec recordOf(const EnteredNote& note, int32_t position, const EditState& state) {
    return {position, rowOfFileKey(note.fileKey), std::max(note.length, 1), state.lastNotePan, note.volume};
}

// Whether any note of the channel shares a step with `placed`.
bool holdsNoteOver(const Song& song, int kind, int channel, const NoteRec& placed) {
    const NoteTable& table = song.notes(kind);
    const PlacedColumns cover(std::span(&placed, 1));
    for (int32_t slot = 1; slot <= table.slotBound(); ++slot)
        if (cover.overlaps(table.at(channel, slot)))
            return true;
    return false;
}

// The channel's notes as a paste of one note leaves them, the step of that change, and whether
// the channel was full. The paste works on the current channel, so it is given a state whose
// current channel is this one; the counts come back.
std::optional<SongEdit> placeOn(Song& song, EditState& state, int channel, const NoteRec& record,
                                const std::string& name, bool& full) {
    EditState target = state;
    target.currentChannel = static_cast<int16_t>(channel);
    const ChannelSnapshot before(song, target, target.channelKind, channel);
    const NoteClip clip({ClipNote{0, record.key, record.length, record.pan, record.volume}});
    const PassageEdit pasted = PassageEditor(song, target).paste(clip, record.position);
    state.noteCounts = target.noteCounts;
    full = pasted.refusal == PassageRefusal::channelFull;
    if (!pasted.changed)
        return std::nullopt;
    return before.finish(name, song, target);
}

std::string leftOutText(int count) {
    return std::to_string(count) + (count == 1 ? " note" : " notes") + " of the chord found no free channel";
}

}  // namespace

EntryOutcome placeChord(Song& song, EditState& state, const std::string& name, int32_t position,
                        std::vector<EnteredNote> notes, bool spread) {
    EntryOutcome outcome;
    if (notes.empty() || !selectedNotes(song, state) || state.currentChannel < 0 ||
        state.currentChannel >= NoteTable::channelCount)
        return outcome;
    std::stable_sort(notes.begin(), notes.end(),
                     [](const EnteredNote& a, const EnteredNote& b) { return a.fileKey > b.fileKey; });
    bool full = false;
    std::optional<SongEdit> edit =
        placeOn(song, state, state.currentChannel, recordOf(notes.front(), position, state), name, full);
    if (full) {
        outcome.status = channelFullText();
        return outcome;
    }
    if (!edit)
        return outcome;
    outcome.placed = true;
    int leftOut = 0;
    int channel = state.currentChannel;
    for (std::size_t i = 1; spread && i < notes.size(); ++i) {
        const NoteRec record = recordOf(notes[i], position, state);
        std::optional<SongEdit> placed;
        // Each channel after the current one, going round, at most once for the whole chord.
        while (!placed && (channel + 1) % NoteTable::channelCount != state.currentChannel) {
            channel = (channel + 1) % NoteTable::channelCount;
            if (!holdsNoteOver(song, state.channelKind, channel, record))
                placed = placeOn(song, state, channel, record, name, full);
        }
        if (placed)
            edit->append(std::move(*placed));
        else
            ++leftOut;
    }
    if (leftOut > 0)
        outcome.status = leftOutText(leftOut);
    outcome.edit = std::move(edit);
    return outcome;
}

EntryOutcome removeNotesAt(Song& song, EditState& state, const std::string& name, int32_t position, int32_t length) {
    EntryOutcome outcome;
    const NoteTable* table = selectedNotes(song, state);
    if (!table || state.currentChannel < 0 || state.currentChannel >= NoteTable::channelCount)
        return outcome;
    const NoteRec span{position, 1, std::max(length, 1), 0, 0};
    const PlacedColumns cover(std::span(&span, 1));
    std::vector<int32_t> slots;
    for (int32_t slot = 1; slot <= table->slotBound(); ++slot)
        if (cover.overlaps(table->at(state.currentChannel, slot)))
            slots.push_back(slot);
    if (slots.empty())
        return outcome;
    const ChannelSnapshot before(song, state, state.channelKind, state.currentChannel);
    PassageEditor(song, state).remove(NoteSelection(state.channelKind, state.currentChannel, std::move(slots)));
    outcome.edit = before.finish(name, song, state);
    return outcome;
}

}  // namespace tromel::roll
