// A document's playback: its transport and controls, and the window's bars as the transport's host.
#include "document/PlaybackWiring.h"

#include "audio/ui/TransportControls.h"
#include "roll/ui/ChannelSelector.h"
#include "widgets/AudioErrorBox.h"

#include <QProgressBar>
#include <QStatusBar>

namespace tromel {
namespace {

constexpr const char* compilingText = "Compiling ORG...";

}  // namespace

PlaybackWiring::PlaybackWiring(QWidget* window, EditorContext& context, const Song& song, const EditState& state,
                               QStatusBar& statusBar, QProgressBar& progressBar)
    : m_window(window),
      m_context(context),
      m_state(state),
      m_statusBar(statusBar),
      m_progressBar(progressBar),
      m_transport(std::make_unique<audio::Transport>(context.layer, context.sampleFolder)),
      m_controls(std::make_unique<audio::TransportControls>(window, *m_transport, song, *this)) {
    connect(m_controls.get(), &audio::TransportControls::stepHeard, this, &PlaybackWiring::stepHeard);
}

PlaybackWiring::~PlaybackWiring() {
    m_controls.reset();
    m_transport.reset();
}

int32_t PlaybackWiring::playPosition() const {
    return m_controls->playPosition();
}

void PlaybackWiring::samplesPreparing(int32_t total) {
    m_progressBar.setMaximum(total);
    setStatusText(compilingText);
    m_progressBar.setValue(0);
}

void PlaybackWiring::samplesPrepared(int32_t done) {
    m_progressBar.setValue(done);
}

// A full bar while the compile's channels are made, an empty one once it plays.
void PlaybackWiring::songCompiled(int32_t steps) {
    m_progressBar.setMaximum(steps);
    setStatusText(compilingText);
    m_progressBar.setValue(steps);
}

void PlaybackWiring::preparationEnded() {
    m_progressBar.setValue(0);
    showChannelStatus();
}

void PlaybackWiring::setStatusText(const std::string& text) {
    m_statusBar.showMessage(QString::fromStdString(text));
}

void PlaybackWiring::showChannelStatus() {
    m_statusBar.showMessage(roll::ChannelSelector::statusText(m_state.channelKind, m_state.currentChannel));
}

void PlaybackWiring::showAudioError(const std::string& text) {
    tromel::showAudioError(m_context.prompts, m_window, QString::fromStdString(text), m_context.layer);
}

void PlaybackWiring::showPlayRefusal(const std::string& reason) {
    m_context.prompts.message(m_window, MessageIcon::Warning, "Tromel", QString::fromStdString(reason));
}

}  // namespace tromel
