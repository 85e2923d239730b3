// Note table layout and the new-song defaults.
#include "song/Song.h"

#include <algorithm>

namespace tromel {

NoteTable::NoteTable() {
    reset();
}

void NoteTable::reset() {
    m_slotBound = 0;
    m_records.assign(channelCount, NoteRec{});
}

void NoteTable::grow(int32_t newBound) {
    if (newBound <= m_slotBound)
        return;
    const auto oldStride = static_cast<std::size_t>(m_slotBound) + 1;
    const auto newStride = static_cast<std::size_t>(newBound) + 1;
    std::vector<NoteRec> grown(newStride * channelCount);
    for (int ch = 0; ch < channelCount; ++ch) {
        auto from = m_records.begin() + static_cast<std::ptrdiff_t>(ch * oldStride);
        std::copy(from, from + static_cast<std::ptrdiff_t>(oldStride),
                  grown.begin() + static_cast<std::ptrdiff_t>(ch * newStride));
    }
    m_records = std::move(grown);
    m_slotBound = newBound;
}

int32_t NoteTable::liveCount(int channel) const {
    int32_t count = 0;
    for (int32_t slot = 1; slot <= m_slotBound; ++slot)
        count += at(channel, slot).isEmpty() ? 0 : 1;
    return count;
}

int32_t NoteTable::liveCount() const {
    int32_t count = 0;
    for (int ch = 0; ch < channelCount; ++ch)
        count += liveCount(ch);
    return count;
}

Song::Song() {
    initSettings(*this);
}

void initSettings(Song& song) {
    song.stepsPerBar = 4;
    song.beatsPerStep = 4;
    song.tempo = 128;
    song.loopBegin = 0;
    song.loopEnd = 1600;
    for (auto& channel : song.instruments) {
        channel.frequency = 1000;
        channel.wave = 0;
        channel.pi = false;
    }
    for (auto& channel : song.drums) {
        channel.frequency = 232;
        channel.wave = 0;
        channel.pi = false;
    }
}

}  // namespace tromel
