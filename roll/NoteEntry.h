// Notes played in put into the song: a chord at a step, on the current channel or spread over
// free channels, and the notes at a step taken out again.
#pragma once

#include "song/EditState.h"
#include "song/Song.h"
#include "song/SongEdit.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tromel::roll {

// A played note as it goes in: its file key (0 to 95), its length in steps and its volume byte.
struct EnteredNote {
    int32_t fileKey = 0;
    int32_t length = 1;
    int16_t volume = 0;
};

struct EntryOutcome {
    std::optional<SongEdit> edit;       // the step of the history, when the song changed
    std::optional<std::string> status;  // why something was refused or left out, for the status bar
    bool placed = false;                // the chord's top note went in
};

// Puts a chord (one note or more, in any order) at `position` on channels of the current kind,
// as one step named `name`. Its top note goes on the current channel: the channel's notes that
// overlap its steps are removed (pan and volume changes stay), one note per step per channel.
// With `spread`, each lower note, from the highest down, goes on the next channel after the
// current one (going round) that is free for it, holding no note over its steps and room for
// one more; without, only the top note goes in. Notes get the state's last pan. Refused whole,
// with the existing message, when the current channel would pass 32,767 notes; lower notes that
// find no free channel are left out and counted in the status.
EntryOutcome placeChord(Song& song, EditState& state, const std::string& name, int32_t position,
                        std::vector<EnteredNote> notes, bool spread);

// Removes the current channel's notes that overlap the steps [position, position + length), as
// one step named `name` (nothing when there are none).
EntryOutcome removeNotesAt(Song& song, EditState& state, const std::string& name, int32_t position, int32_t length);

}  // namespace tromel::roll
