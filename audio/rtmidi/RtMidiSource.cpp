// The system's MIDI inputs through the ALSA sequencer, by RtMidi: the only code that touches it.
#include "audio/rtmidi/RtMidiSource.h"

#include <RtMidi.h>

#include <unistd.h>

#include <regex>

namespace tromel::audio {
namespace {

constexpr const char* programName = "Tromel";
constexpr const char* sequencerDevice = "/dev/snd/seq";

// RtMidi reports through exceptions unless given a callback, and then writes warnings to the
// error output; what fails here shows as a port that did not open.
void quiet(RtMidiError::Type, const std::string&, void*) {}

}  // namespace

// Without the sequencer's device ALSA would write its failure to the error output and RtMidi
// would throw: a system without MIDI is found before either is asked.
RtMidiSource::RtMidiSource() {
    if (::access(sequencerDevice, R_OK | W_OK) != 0)
        return;
    m_lister = makeInput();
    m_available = m_lister != nullptr;
}

RtMidiSource::~RtMidiSource() {
    close();
}

std::unique_ptr<RtMidiIn> RtMidiSource::makeInput() {
    try {
        auto input = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, programName);
        input->setErrorCallback(&quiet, nullptr);
        return input;
    } catch (const RtMidiError&) {
        return nullptr;
    }
}

std::string RtMidiSource::plainName(const std::string& systemName) {
    static const std::regex numbers(R"( \d+:\d+$)");
    return std::regex_replace(systemName, numbers, "");
}

std::vector<std::string> RtMidiSource::ports() {
    std::vector<std::string> names;
    if (!m_lister)
        return names;
    const unsigned count = m_lister->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        const std::string name = plainName(m_lister->getPortName(i));
        if (!name.empty() && name.rfind(std::string(programName) + ":", 0) != 0)
            names.push_back(name);
    }
    return names;
}

std::vector<std::string> RtMidiSource::open(const std::vector<std::string>& names, Receiver receiver) {
    close();
    std::vector<std::string> opened;
    if (!m_available)
        return opened;
    m_receiver = std::move(receiver);
    if (std::unique_ptr<RtMidiIn> own = makeInput()) {
        own->openVirtualPort(programName);
        own->setCallback(&RtMidiSource::deliver, this);
        m_inputs.push_back(std::move(own));
    }
    for (const std::string& name : names) {
        const unsigned count = m_lister->getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            if (plainName(m_lister->getPortName(i)) != name)
                continue;
            std::unique_ptr<RtMidiIn> input = makeInput();
            if (!input)
                break;
            input->openPort(i, programName);
            if (!input->isPortOpen())
                break;
            input->setCallback(&RtMidiSource::deliver, this);
            m_inputs.push_back(std::move(input));
            opened.push_back(name);
            break;
        }
    }
    return opened;
}

// Each input's thread has ended once it is deleted.
void RtMidiSource::close() {
    m_inputs.clear();
    m_receiver = nullptr;
}

// [a receiving thread]
void RtMidiSource::deliver(double, std::vector<unsigned char>* message, void* self) {
    auto* source = static_cast<RtMidiSource*>(self);
    if (message && !message->empty() && source->m_receiver)
        source->m_receiver(message->data(), message->size());
}

}  // namespace tromel::audio
