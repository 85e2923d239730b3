// One step of a song's edit history: what a gesture or a dialog changed, and how to take it back.
#pragma once

#include "song/EditState.h"
#include "song/RecordSplice.h"
#include "song/Song.h"

#include <array>
#include <cstddef>
#include <string>
#include <variant>
#include <vector>

namespace tromel {

// The five header values the song settings change.
struct SongHeader {
    int32_t tempo = 0;
    int16_t stepsPerBar = 0;
    int16_t beatsPerStep = 0;
    int32_t loopBegin = 0;
    int32_t loopEnd = 0;

    static SongHeader of(const Song& song);
    void applyTo(Song& song) const;
    friend bool operator==(const SongHeader&, const SongHeader&) = default;
};

// The sixteen channels' settings.
struct SongChannels {
    std::array<ChannelSettings, 8> instruments;
    std::array<ChannelSettings, 8> drums;

    static SongChannels of(const Song& song);
    void applyTo(Song& song) const;
    friend bool operator==(const SongChannels&, const SongChannels&) = default;
};

// A step keeps only what changed: for notes, the records of one channel that differ, so a long
// history of a large song stays small. Undo and redo put the song back exactly, slot by slot,
// with the channel's live count; a table that grew for the step keeps its larger slot bound,
// whose extra slots are empty again after an undo.
class SongEdit {
public:
    SongEdit() = default;

    const std::string& name() const { return m_name; }
    bool isEmpty() const;
    // The memory the step holds, roughly.
    std::size_t memoryBytes() const;

    // [the song's owner] The song must be as the step left it (for undo) or found it (for redo).
    void undo(Song& song, EditState& state) const;
    void redo(Song& song, EditState& state) const;

    // The channel of the notes the step changed (kind 0 instruments, 1 drums), or -1 for a step
    // that changed no notes; for a step of several channels, the first.
    int noteKind() const;
    int noteChannel() const;

    // Makes a later step of notes part of this one, which keeps its name: a chord spread over
    // channels, or a recording pass, is taken back whole. The later step must have been made on
    // the song as this one left it. False, changing nothing, unless both are steps of notes (or
    // this one is empty).
    bool append(SongEdit later);

    static SongEdit ofHeader(std::string name, const SongHeader& before, const SongHeader& after);
    static SongEdit ofChannels(std::string name, const SongChannels& before, const SongChannels& after);

private:
    friend class ChannelSnapshot;

    struct NoteChange {
        int kind = 0;
        int channel = 0;
        int16_t countBefore = 0;
        int16_t countAfter = 0;
        std::vector<RecordSplice> splices;
    };
    struct HeaderChange {
        SongHeader before;
        SongHeader after;
    };
    struct ChannelsChange {
        SongChannels before;
        SongChannels after;
    };

    void apply(Song& song, EditState& state, bool forward) const;
    static void applyNotes(const NoteChange& change, Song& song, EditState& state, bool forward);

    std::string m_name;
    std::variant<std::monostate, std::vector<NoteChange>, HeaderChange, ChannelsChange> m_change;
};

// The records of one channel as they were before an edit; finish() turns the edit made since
// into a step of the history.
class ChannelSnapshot {
public:
    ChannelSnapshot(const Song& song, const EditState& state, int kind, int channel);

    int kind() const { return m_kind; }
    int channel() const { return m_channel; }
    // An empty step when nothing changed.
    SongEdit finish(std::string name, const Song& song, const EditState& state) const;

private:
    int m_kind;
    int m_channel;
    int16_t m_count;
    std::vector<NoteRec> m_records;  // slots 1..slotBound
};

// The records of slots 1..slotBound of one channel, and putting them back (the table grows when
// needed, never shrinks; slots beyond the records given are emptied).
std::vector<NoteRec> channelRecords(const NoteTable& table, int channel);
void setChannelRecords(NoteTable& table, int channel, const std::vector<NoteRec>& records);

}  // namespace tromel
