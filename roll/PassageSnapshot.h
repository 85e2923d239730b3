// The channels an edit of a passage may change, as they were before it, to make one step of the history.
#pragma once

#include "song/EditState.h"
#include "song/Song.h"
#include "song/SongEdit.h"

#include <string>
#include <vector>

namespace tromel::roll {

// A passage of every channel of a kind changes several channels at once; its step takes back
// every one of them.
class PassageSnapshot {
public:
    // `channels` of `kind`; each is taken once, whatever its repeats.
    PassageSnapshot(const Song& song, const EditState& state, int kind, std::vector<int> channels);

    // One step holding every channel that changed; an empty step when none did.
    SongEdit finish(const std::string& name, const Song& song, const EditState& state) const;

private:
    std::vector<ChannelSnapshot> m_channels;
};

}  // namespace tromel::roll
