// The program's MIDI keyboards: the ports open, what their notes sound like, and the window they go to.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/midi/MidiNoteRouter.h"
#include "audio/midi/MidiSource.h"
#include "audio/midi/PlayedNote.h"
#include "audio/playback/LiveChannel.h"

#include <QObject>
#include <QStringList>

#include <filesystem>
#include <memory>

namespace tromel::audio {

// A window that enters the notes played: the one last activated. [user-interface thread]
class MidiTaker {
public:
    virtual ~MidiTaker() = default;
    virtual void takeNote(const PlayedNote& note) = 0;
};

// One for the whole program. When the system has MIDI it opens the program's own port and the
// ports last chosen at once; without MIDI it opens nothing and changes nothing. Notes sound at
// once on the receiving threads, on a channel of the taker's current channel's sample, and reach
// the taker through the event loop. [user-interface thread]
class MidiInput : public QObject {
    Q_OBJECT

public:
    MidiInput(AudioLayer& layer, std::filesystem::path sampleFolder, std::unique_ptr<MidiSource> source,
              QObject* parent = nullptr);
    ~MidiInput() override;

    bool available() const { return m_source->available(); }
    // The ports the system offers now, and those open (the program's own port aside).
    QStringList ports() const;
    QStringList openPorts() const { return m_open; }
    // Opens these ports, as far as they are there, closing the others, and remembers the choice.
    void choosePorts(const QStringList& names);

    // The window taking the notes from now on, and what they sound like there: drum or wave
    // `number`, a new note's stored pan. A taker dropped leaves notes silent until the next.
    void setTaker(MidiTaker* taker);
    void dropTaker(MidiTaker* taker);
    MidiTaker* taker() const { return m_taker; }
    void setSound(bool drum, int number, int16_t storedPan);

    MidiNoteRouter& router() { return m_router; }

private:
    void open(const QStringList& names);
    void deliverPlayed();
    void liveChannelPrepared();
    void publishSound();

    MidiNoteRouter m_router;
    LiveChannel m_live;
    std::unique_ptr<MidiSource> m_source;  // last: its threads end before what they reach
    MidiTaker* m_taker = nullptr;
    int16_t m_storedPan = 6;
    QStringList m_open;
};

}  // namespace tromel::audio
