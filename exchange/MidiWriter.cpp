// Writing a Standard MIDI File.
#include "exchange/MidiWriter.h"

#include <algorithm>

namespace tromel::exchange {
namespace {

void appendBigEndian(std::vector<uint8_t>& out, uint32_t value, int size) {
    for (int i = size - 1; i >= 0; --i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Seven bits a byte, the highest first; every byte but the last has its top bit set.
void appendVariable(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        out.push_back(static_cast<uint8_t>(groups[--count] | 0x80));
    out.push_back(groups[0]);
}

void appendEvent(std::vector<uint8_t>& out, const MidiTrack& track, const MidiEvent& event) {
    out.push_back(event.status);
    if (event.isMeta()) {
        const std::string_view payload = track.payloadOf(event);
        out.push_back(event.metaType);
        appendVariable(out, static_cast<uint32_t>(payload.size()));
        out.insert(out.end(), payload.begin(), payload.end());
        return;
    }
    out.push_back(event.data1);
    if (MidiEvent::dataBytesOf(event.status) == 2)
        out.push_back(event.data2);
}

void appendTrack(std::vector<uint8_t>& out, const MidiTrack& track) {
    std::vector<uint8_t> body;
    body.reserve(track.events.size() * 4 + 4);  // a delta and three bytes is the usual event
    uint32_t now = 0;
    for (const MidiEvent& event : track.events) {
        appendVariable(body, event.tick >= now ? event.tick - now : 0);
        now = std::max(now, event.tick);
        appendEvent(body, track, event);
    }
    appendVariable(body, track.endTick > now ? track.endTick - now : 0);
    body.insert(body.end(), {midi::meta, midi::metaEndOfTrack, 0});
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    appendBigEndian(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
}

}  // namespace

std::vector<uint8_t> writeMidiBytes(const MidiFile& file) {
    std::vector<uint8_t> out{'M', 'T', 'h', 'd'};
    appendBigEndian(out, 6, 4);
    appendBigEndian(out, static_cast<uint32_t>(file.format), 2);
    appendBigEndian(out, static_cast<uint32_t>(file.tracks.size()), 2);
    appendBigEndian(out, static_cast<uint32_t>(file.division), 2);
    for (const MidiTrack& track : file.tracks)
        appendTrack(out, track);
    return out;
}

SaveResult saveMidiFile(const MidiFile& file, const std::filesystem::path& path) {
    return writeFileAtomically(path, writeMidiBytes(file));
}

}  // namespace tromel::exchange
