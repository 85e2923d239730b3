// The system's MIDI inputs through the ALSA sequencer, by RtMidi: the only code that touches it.
#pragma once

#include "audio/midi/MidiSource.h"

#include <memory>
#include <string>
#include <vector>

class RtMidiIn;

namespace tromel::audio {

// Each open port is a sequencer client of its own named "Tromel" with a receiving thread of its
// own; the program's own port is a virtual input named "Tromel". Port names are shown and kept
// without the client and port numbers the system gives them, which change from one start to
// the next.
class RtMidiSource : public MidiSource {
public:
    RtMidiSource();
    ~RtMidiSource() override;

    bool available() const override { return m_available; }
    std::vector<std::string> ports() override;
    std::vector<std::string> open(const std::vector<std::string>& names, Receiver receiver) override;
    void close() override;

    // "Keyboard:Keyboard MIDI 1 24:0" without its " 24:0".
    static std::string plainName(const std::string& systemName);

private:
    std::unique_ptr<RtMidiIn> makeInput();
    static void deliver(double seconds, std::vector<unsigned char>* message, void* self);

    bool m_available = false;
    std::unique_ptr<RtMidiIn> m_lister;
    std::vector<std::unique_ptr<RtMidiIn>> m_inputs;
    Receiver m_receiver;
};

}  // namespace tromel::audio
