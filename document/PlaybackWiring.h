// A document's playback: its transport, the Play, Pause and Stop buttons, the mute boxes and the timer
// that follows the heard step, and what a compile shows in the window's status and progress bars.
#pragma once

#include "audio/playback/Transport.h"
#include "document/EditorContext.h"
#include "document/PlaybackPort.h"
#include "song/EditState.h"
#include "song/Song.h"

#include <QObject>

#include <memory>

class QProgressBar;
class QStatusBar;
class QWidget;

namespace tromel::audio {
class TransportControls;
}

namespace tromel {

class PlaybackWiring : public PlaybackPort, public audio::TransportHost {
    Q_OBJECT

public:
    // The buttons and boxes become children of `window`; the song, state and bars outlive this object.
    PlaybackWiring(QWidget* window, EditorContext& context, const Song& song, const EditState& state,
                   QStatusBar& statusBar, QProgressBar& progressBar);
    // The controls go first, then the transport, which stops this document's instrument channels.
    ~PlaybackWiring() override;

    // PlaybackPort
    audio::Transport& transport() const override { return *m_transport; }
    audio::TransportControls& controls() const override { return *m_controls; }
    int32_t playPosition() const override;
    bool isPaused() const override { return m_transport->isPaused(); }

    void setStatusText(const std::string& text);
    void showChannelStatus();

    // TransportHost: the samples' preparation and the compile in the progress and status bars.
    void samplesPreparing(int32_t total) override;
    void samplesPrepared(int32_t done) override;
    void songCompiled(int32_t steps) override;
    void preparationEnded() override;
    void showAudioError(const std::string& text) override;
    void showPlayRefusal(const std::string& reason) override;

private:
    QWidget* m_window;
    EditorContext& m_context;
    const EditState& m_state;
    QStatusBar& m_statusBar;
    QProgressBar& m_progressBar;
    std::unique_ptr<audio::Transport> m_transport;
    std::unique_ptr<audio::TransportControls> m_controls;
};

}  // namespace tromel
