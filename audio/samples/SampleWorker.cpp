// The thread that reads and prepares sample files, so that the user-interface thread never waits.
#include "audio/samples/SampleWorker.h"

namespace tromel::audio {

SampleWorker::~SampleWorker() {
    {
        std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    cancelAll();
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void SampleWorker::enqueue(std::shared_ptr<SamplePreparation> batch) {
    {
        std::lock_guard lock(m_mutex);
        m_batches.push_back(std::move(batch));
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_all();
}

void SampleWorker::cancelAll() {
    std::lock_guard lock(m_mutex);
    for (const auto& batch : m_batches) {
        batch->cancel();
        batch->finish();
    }
    m_batches.clear();
    if (m_current)
        m_current->cancel();
}

std::shared_ptr<SamplePreparation> SampleWorker::nextBatch() {
    std::unique_lock lock(m_mutex);
    m_current.reset();
    m_wake.wait(lock, [this] { return m_ending || !m_batches.empty(); });
    if (m_ending)
        return nullptr;
    m_current = std::move(m_batches.front());
    m_batches.pop_front();
    return m_current;
}

void SampleWorker::prepare(SamplePreparation& batch) {
    const auto& requests = batch.requests();
    for (std::size_t i = 0; i < requests.size() && !batch.cancelled(); ++i) {
        // A channel given no file (a drum number beyond the bank) plays silence: nothing to read.
        if (requests[i].path.empty()) {
            batch.complete(static_cast<int>(i), nullptr, errorNone);
            continue;
        }
        SampleLoad load = m_cache.load(requests[i].path, requests[i].loop, m_levels);
        batch.complete(static_cast<int>(i), std::move(load.sample), load.error);
    }
    batch.finish();
}

void SampleWorker::run() {
    while (const std::shared_ptr<SamplePreparation> batch = nextBatch())
        prepare(*batch);
}

}  // namespace tromel::audio
