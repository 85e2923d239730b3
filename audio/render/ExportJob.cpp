// An export rendering on a thread of its own, which whoever shows it follows and may cancel.
#include "audio/render/ExportJob.h"

namespace tromel::audio {

ExportJob::ExportJob(Song song, RenderRequest request)
    : m_song(std::move(song)), m_request(std::move(request)), m_thread([this] { render(); }) {}

ExportJob::~ExportJob() {
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void ExportJob::render() {
    m_outcome = renderSong(m_song, m_request, [this](int64_t done, int64_t total) {
        m_done.store(done, std::memory_order_relaxed);
        m_total.store(total, std::memory_order_relaxed);
        return !m_cancelled.load(std::memory_order_relaxed);
    });
    m_finished.store(true, std::memory_order_release);
}

const RenderOutcome& ExportJob::wait() {
    if (m_thread.joinable())
        m_thread.join();
    return m_outcome;
}

}  // namespace tromel::audio
