// A note sounded on its own: a preview, Listen, a key of the roll's keyboard or of the keyboard piano.
#include "audio/ui/LivePreview.h"

#include <QMetaObject>
#include <QTimer>

namespace tromel::audio {

// The wake-up runs on the sample worker; the preview is carried on on this object's thread, and
// a wake-up still queued when this object goes is dropped with it.
LivePreview::LivePreview(AudioLayer& layer, std::filesystem::path sampleFolder, QObject* parent)
    : QObject(parent),
      m_preview(layer, std::move(sampleFolder),
                [this] {
                    QMetaObject::invokeMethod(
                        this, [this] { sound(m_preview.proceed()); }, Qt::QueuedConnection);
                }),
      m_ending(new QTimer(this)) {
    m_ending->setSingleShot(true);
    connect(m_ending, &QTimer::timeout, this, &LivePreview::stop);
}

void LivePreview::play(const Song& song, int kind, int channel, const NoteRec& note, int milliseconds) {
    m_ending->stop();
    m_milliseconds = milliseconds;
    sound(m_preview.start(song, kind, channel, note));
}

void LivePreview::stop() {
    m_ending->stop();
    m_preview.stop();
}

void LivePreview::sound(int lasting) {
    if (lasting > 0 && m_milliseconds != untilStopped)
        m_ending->start(m_milliseconds > 0 ? m_milliseconds : lasting);
}

}  // namespace tromel::audio
