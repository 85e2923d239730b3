// A song and its edit state with one channel filled, for the roll's editing tests.
#pragma once

#include "song/EditState.h"
#include "song/Song.h"

#include <ostream>
#include <vector>

namespace tromel {

// Readable failures for records compared as a whole.
inline void PrintTo(const NoteRec& r, std::ostream* out) {
    *out << "{" << r.position << ", " << r.key << ", " << r.length << ", " << r.pan << ", " << r.volume << "}";
}

namespace roll::test {

using Records = std::vector<NoteRec>;

// Works on the state's current kind and channel.
struct EditedChannel {
    NoteTable& table() { return song.notes(state.channelKind); }
    int16_t& count() { return state.noteCounts[state.channelKind][state.currentChannel]; }
    const NoteRec& slot(int32_t index) { return table().at(state.currentChannel, index); }
    // The channel holds exactly these records, in slots from 1 on; every other channel is empty.
    void put(const Records& records) {
        table().reset();
        table().grow(static_cast<int32_t>(records.size()));
        for (std::size_t i = 0; i < records.size(); ++i)
            table().at(state.currentChannel, static_cast<int32_t>(i) + 1) = records[i];
        count() = static_cast<int16_t>(records.size());
    }
    // The live slots, in order.
    Records records() {
        Records result;
        for (int32_t index = 1; index <= count(); ++index)
            result.push_back(slot(index));
        return result;
    }
    std::vector<int32_t> positions() {
        std::vector<int32_t> result;
        for (const NoteRec& record : records())
            result.push_back(record.position);
        return result;
    }

    Song song;
    EditState state;
};

}  // namespace roll::test
}  // namespace tromel
