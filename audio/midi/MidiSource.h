// The system's MIDI inputs as the editor uses them: ports to list and open, messages to receive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tromel::audio {

// The editor reaches MIDI only through this, so tests stand in for the system with a source of
// their own. Every call is made on the user-interface thread; messages arrive on threads of the
// source's own.
class MidiSource {
public:
    // [a thread of the source] One whole message, its status byte first.
    using Receiver = std::function<void(const uint8_t* bytes, std::size_t size)>;

    virtual ~MidiSource() = default;

    // Whether the system has MIDI at all: without it nothing opens and nothing is listed.
    virtual bool available() const = 0;
    // The input ports the system offers now, by name, the program's own port left out.
    virtual std::vector<std::string> ports() = 0;
    // Closes what is open, then opens the program's own port, which other programs connect to,
    // and the named ports that are there now, every message going to `receiver` (which stays
    // alive until close). Returns the names opened.
    virtual std::vector<std::string> open(const std::vector<std::string>& names, Receiver receiver) = 0;
    // Returns once no message is being received any more.
    virtual void close() = 0;
};

}  // namespace tromel::audio
