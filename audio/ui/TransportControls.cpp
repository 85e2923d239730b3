// The transport's buttons and mute boxes, and the redraw timer of the play cursor.
#include "audio/ui/TransportControls.h"

#include "audio/ui/MuteSolo.h"
#include "roll/ui/SpaceKeeper.h"
#include "song/ChannelNames.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

namespace tromel::audio {
namespace {

// The sound runs on its own clock, so the cursor timer polls the step the engine has published
// rather than being armed by each step; a few milliseconds keeps it close to what is heard.
constexpr int blitPollMilliseconds = 4;

}  // namespace

TransportControls::TransportControls(QWidget* parent, Transport& transport, const Song& song, TransportHost& host)
    : m_transport(transport), m_song(song), m_host(host) {
    m_playButton = makeButton(parent, "Play", "playButton");
    m_pauseButton = makeButton(parent, "Pause", "pauseButton");
    m_stopButton = makeButton(parent, "Stop", "stopButton");
    connect(m_playButton, &QPushButton::clicked, this, &TransportControls::play);
    connect(m_pauseButton, &QPushButton::clicked, this, &TransportControls::pause);
    connect(m_stopButton, &QPushButton::clicked, this, &TransportControls::stop);
    createMuteChecks(parent);
    createKeys(parent);
    m_playBlitTimer = new QTimer(this);
    m_playBlitTimer->setObjectName("playBlitTimer");
    m_playBlitTimer->setInterval(blitPollMilliseconds);
    connect(m_playBlitTimer, &QTimer::timeout, this, &TransportControls::followTransport);
}

void TransportControls::createMuteChecks(QWidget* parent) {
    for (int channel = 0; channel < 16; ++channel) {
        auto* check = new QCheckBox(parent);
        // All sixteen carry the name muteCheck; the index is the song channel.
        check->setObjectName("muteCheck");
        check->setProperty("index", channel);
        check->setAccessibleName(QString::fromStdString("Mute " + channelName(channel / 8, channel % 8, true)));
        check->setFocusPolicy(Qt::TabFocus);
        roll::SpaceKeeper::keepSpaceFor(check);
        connect(check, &QCheckBox::toggled, this, [this, channel](bool on) { m_transport.setMuted(channel, on); });
        m_muteChecks[channel] = check;
    }
    m_solo = new MuteSolo(m_muteChecks, this);
}

// Space and Shift+Space belong to the document window, whichever of its controls has the focus,
// and are named in the buttons' tooltips.
void TransportControls::createKeys(QWidget* parent) {
    const QKeySequence space(Qt::Key_Space);
    const QKeySequence shiftSpace(Qt::ShiftModifier | Qt::Key_Space);
    for (const auto& [keys, slot] :
         {std::pair{space, &TransportControls::playOrPause}, std::pair{shiftSpace, &TransportControls::stop}}) {
        auto* action = new QAction(parent);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, slot);
        parent->addAction(action);
    }
    const auto tip = [](const char* text, const QKeySequence& keys) {
        return QString("%1 (%2)").arg(text, keys.toString(QKeySequence::NativeText));
    };
    m_playButton->setToolTip(tip("Play", space));
    m_pauseButton->setToolTip(tip("Pause", space));
    m_stopButton->setToolTip(tip("Stop", shiftSpace));
}

QPushButton* TransportControls::makeButton(QWidget* parent, const QString& caption, const char* name) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Reached with Tab, not taken by a click, so that Space after a click still plays or pauses.
    button->setFocusPolicy(Qt::TabFocus);
    roll::SpaceKeeper::keepSpaceFor(button);
    return button;
}

void TransportControls::play() {
    if (m_resumeAt && !isPlaying()) {
        playFrom(*m_resumeAt);
        return;
    }
    m_resumeAt.reset();
    if (m_transport.play(m_song, m_host))
        followPlay();
}

void TransportControls::playFrom(int32_t position) {
    m_resumeAt.reset();
    if (m_transport.playFrom(m_song, m_host, position))
        followPlay();
}

void TransportControls::playPassage(int32_t first, int32_t last) {
    m_resumeAt.reset();
    if (m_transport.playPassage(m_song, m_host, first, last))
        followPlay();
}

int32_t TransportControls::playPosition() const {
    return m_resumeAt && !isPlaying() ? *m_resumeAt : m_transport.playPosition();
}

void TransportControls::moveWhilePaused(int32_t position) {
    if (!m_transport.isPaused() || position <= 0)
        return;
    m_resumeAt = position;
    emit stepHeard(position);
}

void TransportControls::moveWhileStopped(int32_t position) {
    if (m_transport.state() != TransportState::Stopped || position <= 0)
        return;
    m_resumeAt = position;
    emit stepHeard(position);
}

void TransportControls::followPlay() {
    m_lastStepSeen = m_transport.stepsHeard();
    m_playBlitTimer->start();
}

void TransportControls::pause() {
    m_transport.pause();
    checkHeardStep();
    m_playBlitTimer->stop();
}

void TransportControls::stop() {
    // A preparation given up leaves no progress behind.
    if (m_transport.isPreparing())
        m_host.preparationEnded();
    // The cursor is not redrawn: the next redraw of the roll shows none.
    m_resumeAt.reset();
    m_transport.stop();
    m_playBlitTimer->stop();
    m_lastStepSeen = m_transport.stepsHeard();
}

// While the samples are prepared the same timer carries the preparation on.
void TransportControls::followTransport() {
    if (m_transport.isPreparing())
        m_transport.proceed(m_host);
    else
        checkHeardStep();
}

void TransportControls::playOrPause() {
    if (m_transport.state() == TransportState::Playing)
        pause();
    else
        play();
}

void TransportControls::checkHeardStep() {
    const uint64_t steps = m_transport.stepsHeard();
    if (steps == m_lastStepSeen)
        return;
    m_lastStepSeen = steps;
    emit stepHeard(m_transport.playPosition());
}

}  // namespace tromel::audio
