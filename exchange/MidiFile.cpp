// Building MIDI events.
#include "exchange/MidiFile.h"

namespace tromel::exchange {

MidiEvent MidiEvent::channelMessage(uint32_t tick, uint8_t kind, int channel, int data1, int data2) {
    MidiEvent event;
    event.tick = tick;
    event.status = static_cast<uint8_t>(kind | (channel & 0x0F));
    event.data1 = static_cast<uint8_t>(data1 & 0x7F);
    event.data2 = dataBytesOf(event.status) == 2 ? static_cast<uint8_t>(data2 & 0x7F) : 0;
    return event;
}

MidiEvent MidiEvent::metaEvent(uint32_t tick, uint8_t type, std::string payload) {
    MidiEvent event;
    event.tick = tick;
    event.status = midi::meta;
    event.metaType = type;
    event.payload = std::move(payload);
    return event;
}

int MidiEvent::dataBytesOf(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == midi::programChange || kind == 0xD0 ? 1 : 2;
}

}  // namespace tromel::exchange
