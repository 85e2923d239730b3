// Play, Pause and Stop buttons, the sixteen mute boxes and the timer that follows the heard step.
#pragma once

#include "audio/playback/Transport.h"
#include "song/Song.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <optional>

class QCheckBox;
class QPushButton;
class QTimer;
class QWidget;

namespace tromel::audio {

class MuteSolo;

class TransportControls : public QObject {
    Q_OBJECT

public:
    // Creates the controls as children of parent (this object itself is owned by the caller).
    // The transport, song and host outlive it.
    TransportControls(QWidget* parent, Transport& transport, const Song& song, TransportHost& host);

    QPushButton* playButton() const { return m_playButton; }
    QPushButton* pauseButton() const { return m_pauseButton; }
    QPushButton* stopButton() const { return m_stopButton; }
    QCheckBox* muteCheck(int channel) const { return m_muteChecks[channel]; }
    QTimer* playBlitTimer() const { return m_playBlitTimer; }
    MuteSolo& solo() const { return *m_solo; }
    bool isPlaying() const { return m_transport.state() == TransportState::Playing; }
    // The play position heard, or while paused the one Play resumes from.
    int32_t playPosition() const;
    // While paused: Play resumes at `position` (a column, counted from 1) instead of the next
    // step; the cursor shows it at once (stepHeard). Nothing while playing or stopped.
    void moveWhilePaused(int32_t position);
    // While stopped: Play starts at `position` instead of the first step, and the cursor shows it
    // at once. Nothing while playing or paused.
    void moveWhileStopped(int32_t position);

public slots:
    void play();
    void pause();
    void stop();
    // Space: Play when stopped or paused, Pause while playing.
    void playOrPause();
    // Play from Here: a fresh compile heard from the play position `position` on.
    void playFrom(int32_t position);
    // Loop Selection: the columns [first, last] over and over, from the first (Transport::playPassage).
    void playPassage(int32_t first, int32_t last);
    // Looks at the published play position; a new step heard since the last look is announced.
    void checkHeardStep();
    // The redraw timer's tick: carries a preparation of samples on, or checks the heard step.
    void followTransport();

signals:
    void stepHeard(int32_t playPosition);

private:
    void followPlay();
    QPushButton* makeButton(QWidget* parent, const QString& caption, const char* name);
    void createMuteChecks(QWidget* parent);
    void createKeys(QWidget* parent);

    Transport& m_transport;
    const Song& m_song;
    TransportHost& m_host;
    QPushButton* m_playButton = nullptr;
    QPushButton* m_pauseButton = nullptr;
    QPushButton* m_stopButton = nullptr;
    std::array<QCheckBox*, 16> m_muteChecks{};
    MuteSolo* m_solo = nullptr;
    QTimer* m_playBlitTimer = nullptr;
    std::optional<int32_t> m_resumeAt;
    uint64_t m_lastStepSeen = 0;
};

}  // namespace tromel::audio
