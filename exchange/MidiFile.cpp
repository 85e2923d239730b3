// Building MIDI events and tracks.
#include "exchange/MidiFile.h"

#include <algorithm>
#include <tuple>

namespace tromel::exchange {

MidiEvent MidiEvent::channelMessage(uint32_t tick, uint8_t kind, int channel, int data1, int data2) {
    MidiEvent event;
    event.tick = tick;
    event.status = static_cast<uint8_t>(kind | (channel & 0x0F));
    event.data1 = static_cast<uint8_t>(data1 & 0x7F);
    event.data2 = dataBytesOf(event.status) == 2 ? static_cast<uint8_t>(data2 & 0x7F) : 0;
    return event;
}

int MidiEvent::dataBytesOf(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == midi::programChange || kind == 0xD0 ? 1 : 2;
}

void MidiTrack::addMeta(uint32_t tick, uint8_t type, std::string_view payload) {
    MidiEvent event;
    event.tick = tick;
    event.status = midi::meta;
    event.metaType = type;
    event.payloadAt = static_cast<uint32_t>(metaBytes.size());
    event.payloadSize = static_cast<uint32_t>(payload.size());
    metaBytes.append(payload);
    events.push_back(event);
}

std::string_view MidiTrack::payloadOf(const MidiEvent& event) const {
    // An event that points past the bytes (made by hand, not read) has none, rather than a throw.
    return event.payloadAt <= metaBytes.size() ? std::string_view(metaBytes).substr(event.payloadAt, event.payloadSize)
                                               : std::string_view();
}

bool operator==(const MidiTrack& a, const MidiTrack& b) {
    const auto same = [&](const MidiEvent& x, const MidiEvent& y) {
        return std::tie(x.tick, x.status, x.data1, x.data2, x.metaType) ==
                   std::tie(y.tick, y.status, y.data1, y.data2, y.metaType) &&
               (!x.isMeta() || a.payloadOf(x) == b.payloadOf(y));
    };
    return a.endTick == b.endTick &&
           std::equal(a.events.begin(), a.events.end(), b.events.begin(), b.events.end(), same);
}

}  // namespace tromel::exchange
