// The difference between two versions of a channel's records, as a list of splices.
#pragma once

#include "song/Song.h"

#include <cstddef>
#include <span>
#include <vector>

namespace tromel {

// Records removed and records inserted at one place of a sequence. `before` and `after` are the
// index of that place in the old and in the new sequence.
struct RecordSplice {
    std::size_t before = 0;
    std::size_t after = 0;
    std::vector<NoteRec> removed;
    std::vector<NoteRec> inserted;

    friend bool operator==(const RecordSplice&, const RecordSplice&) = default;
};

// Splices that turn `from` into `to`, in ascending order, sharing no records between them. Edits
// of a tidy channel (records in ascending position, then empty slots) give splices of only the
// records that changed, whatever the channel's size: an added note is one record, not the whole
// run of notes that moved up a slot to make room for it. Other pairs give the changed middle.
std::vector<RecordSplice> diffRecords(std::span<const NoteRec> from, std::span<const NoteRec> to);

// Applies splices made by diffRecords(from, to): to `from` forwards, or to `to` backwards.
std::vector<NoteRec> applyForward(std::span<const NoteRec> from, const std::vector<RecordSplice>& splices);
std::vector<NoteRec> applyBackward(std::span<const NoteRec> to, const std::vector<RecordSplice>& splices);

}  // namespace tromel
