// What a document's playback offers the window's other rooms: its transport and buttons, where it
// plays, the status bar, and each step as it is heard.
#pragma once

#include <QObject>

#include <cstdint>
#include <string>

namespace tromel::audio {
class Transport;
class TransportControls;
}  // namespace tromel::audio

namespace tromel {

class PlaybackPort : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual audio::Transport& transport() const = 0;
    virtual audio::TransportControls& controls() const = 0;
    virtual int32_t playPosition() const = 0;
    virtual bool isPaused() const = 0;
    virtual void setStatusText(const std::string& text) = 0;

signals:
    // A new step is heard, at this play position.
    void stepHeard(int32_t playPosition);
};

}  // namespace tromel
