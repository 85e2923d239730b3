// Operations on a channel of a note table that the roll's mouse editing is built from.
#pragma once

#include "song/EditState.h"
#include "song/Song.h"

#include <cstdint>
#include <vector>

namespace tromel::roll {

// The live count of a channel is a signed 16-bit number.
inline constexpr int32_t maxChannelNotes = 32767;

// The stored table that channelKind selects, or nullptr for a kind other than 0 or 1.
NoteTable* selectedNotes(Song& song, const EditState& state);
const NoteTable* selectedNotes(const Song& song, const EditState& state);

// Every edit works on a copy of the selected table and stores it back whole. With an unknown
// channelKind the copy is an empty table and storing it changes nothing.
NoteTable workingCopy(const Song& song, const EditState& state);
void storeNotes(Song& song, const EditState& state, NoteTable working);

// Whether a record's columns (position to position + length - 1) include column.
bool coversColumn(const NoteRec& record, int32_t column);

// Slot of the last record starting at column, whatever its key; 0 if none.
int32_t findNoteAtPos(const NoteTable& table, int channel, int32_t column);
// Slot of the last note covering column on row; 0 if none. Keyless events never match.
int32_t getNoteFromPos(const NoteTable& table, int channel, int32_t column, int32_t row);

// Clears every other note (keyless events are spared) that shares a column with the record at
// index when that record is taken to start at position.
void removeOverlaps(NoteTable& table, int channel, int32_t position, int32_t index);

// Drops empty records, orders the rest by position (stable, so equal positions keep their
// slot order) into slots 1..k, clears the slots above, and sets noteCount to k.
void sortNotes(NoteTable& table, int channel, int16_t& noteCount);
// sortNotes that also tells where each record went: element s is the new slot of the record
// that was in slot s (0 for an empty slot), for s from 0 to slotBound().
std::vector<int32_t> sortNotesTracked(NoteTable& table, int channel, int16_t& noteCount);

// Appends record to the current channel of the selected kind at slot count + 1, growing the
// stored table and the working copy as needed. Returns the slot, or 0 when the channel already
// holds maxChannelNotes records (nothing changes then).
int32_t addRecord(Song& song, EditState& state, NoteTable& working, int channel, const NoteRec& record);

// Clears the records that cover column: on row only, or whatever their key. Return how many.
int32_t clearNotesAt(NoteTable& table, int channel, int32_t column, int32_t row);
int32_t clearRecordsAt(NoteTable& table, int channel, int32_t column);

// Sets field (pan or volume) of every record starting at column. Returns how many.
int32_t paintColumn(NoteTable& table, int channel, int32_t column, int16_t NoteRec::*field, int16_t value);

}  // namespace tromel::roll
