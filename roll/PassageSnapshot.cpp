// The channels an edit of a passage may change, as they were before it.
#include "roll/PassageSnapshot.h"

#include <algorithm>

namespace tromel::roll {

PassageSnapshot::PassageSnapshot(const Song& song, const EditState& state, int kind, std::vector<int> channels) {
    std::sort(channels.begin(), channels.end());
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
    for (int channel : channels)
        if (channel >= 0 && channel < NoteTable::channelCount)
            m_channels.emplace_back(song, state, kind, channel);
}

SongEdit PassageSnapshot::finish(const std::string& name, const Song& song, const EditState& state) const {
    SongEdit step;
    for (const ChannelSnapshot& channel : m_channels) {
        SongEdit change = channel.finish(name, song, state);
        if (!change.isEmpty())
            step.append(std::move(change));
    }
    return step;
}

}  // namespace tromel::roll
