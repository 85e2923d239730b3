// One batch of sample files being read and prepared on the sample worker.
#include "audio/samples/SamplePreparation.h"

#include <utility>

namespace tromel::audio {

SamplePreparation::SamplePreparation(std::vector<SampleRequest> requests)
    : m_requests(std::move(requests)), m_samples(m_requests.size()), m_errors(m_requests.size(), errorNone) {}

void SamplePreparation::complete(int index, std::shared_ptr<const SampleData> sample, int error) {
    m_samples[index] = std::move(sample);
    m_errors[index] = error;
    m_done.fetch_add(1, std::memory_order_release);
}

// The callback runs under the lock, so that whenFinished({}) returning means it is not running.
void SamplePreparation::finish() {
    {
        std::lock_guard lock(m_mutex);
        m_finished.store(true, std::memory_order_release);
        if (m_whenFinished)
            std::exchange(m_whenFinished, {})();
    }
    m_finishedSignal.notify_all();
}

void SamplePreparation::whenFinished(std::function<void()> finished) {
    std::lock_guard lock(m_mutex);
    if (!finished || !this->finished()) {
        m_whenFinished = std::move(finished);
        return;
    }
    m_whenFinished = {};
    finished();
}

void SamplePreparation::wait() const {
    std::unique_lock lock(m_mutex);
    m_finishedSignal.wait(lock, [this] { return finished(); });
}

bool SamplePreparation::waitFor(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_finishedSignal.wait_for(lock, timeout, [this] { return finished(); });
}

}  // namespace tromel::audio
