// The program's MIDI keyboards: the ports open, what their notes sound like, and the window they go to.
#include "audio/ui/MidiInput.h"

#include "widgets/ProgramSettings.h"

#include <QMetaObject>

namespace tromel::audio {

MidiInput::MidiInput(AudioLayer& layer, std::filesystem::path sampleFolder, std::unique_ptr<MidiSource> source,
                     QObject* parent)
    : QObject(parent),
      // A wake-up posted from a receiving thread; the queue is emptied on this object's thread.
      m_router(layer, [this] { QMetaObject::invokeMethod(this, &MidiInput::deliverPlayed, Qt::QueuedConnection); }),
      // So is the live channel's, once its sample is prepared.
      m_live(layer, std::move(sampleFolder),
             [this] { QMetaObject::invokeMethod(this, &MidiInput::liveChannelPrepared, Qt::QueuedConnection); }),
      m_source(std::move(source)) {
    open(settings::midiPorts());
}

// The receiving threads end before the router and the live channel they use.
MidiInput::~MidiInput() {
    m_source->close();
}

QStringList MidiInput::ports() const {
    QStringList names;
    for (const std::string& name : m_source->ports())
        names << QString::fromStdString(name);
    return names;
}

void MidiInput::choosePorts(const QStringList& names) {
    settings::setMidiPorts(names);
    open(names);
}

void MidiInput::open(const QStringList& names) {
    m_open.clear();
    if (!m_source->available())
        return;
    std::vector<std::string> wanted;
    for (const QString& name : names)
        wanted.push_back(name.toStdString());
    const auto receive = [this](const uint8_t* bytes, std::size_t size) {
        m_router.receive(bytes, size, steadyNanoseconds());
    };
    for (const std::string& name : m_source->open(wanted, receive))
        m_open << QString::fromStdString(name);
}

void MidiInput::setTaker(MidiTaker* taker) {
    m_taker = taker;
}

void MidiInput::dropTaker(MidiTaker* taker) {
    if (m_taker != taker)
        return;
    m_taker = nullptr;
    m_live.letGo();
    publishSound();
}

void MidiInput::setSound(bool drum, int number, int16_t storedPan) {
    m_storedPan = storedPan;
    m_live.want(drum, number);
    publishSound();
}

void MidiInput::liveChannelPrepared() {
    if (m_live.proceed())
        publishSound();
}

void MidiInput::publishSound() {
    m_router.setSound({m_live.channel(), m_live.drum(), m_storedPan});
}

void MidiInput::deliverPlayed() {
    for (PlayedNote note; m_router.takePlayed(note);)
        if (m_taker)
            m_taker->takeNote(note);
}

}  // namespace tromel::audio
