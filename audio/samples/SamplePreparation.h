// One batch of sample files being read and prepared on the sample worker.
#pragma once

#include "audio/AudioLayer.h"
#include "audio/samples/SampleData.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace tromel::audio {

// The worker fills it in request order; whoever asked for it watches it from the user-interface
// thread. Everything it has prepared stays in memory while it exists.
class SamplePreparation {
public:
    explicit SamplePreparation(std::vector<SampleRequest> requests);

    // [any thread]
    int total() const { return static_cast<int>(m_requests.size()); }
    int done() const { return m_done.load(std::memory_order_acquire); }
    bool finished() const { return m_finished.load(std::memory_order_acquire); }
    // [any thread] Blocks until the worker has finished with it (or has given up on it).
    void wait() const;
    // [any thread] wait() for at most `timeout`; whether it has finished.
    bool waitFor(std::chrono::milliseconds timeout) const;
    // [any thread] Runs `finished` once the worker has finished with it, on the worker's thread, or
    // here and now when it has already; it must not block. It takes the place of an earlier one,
    // and an empty one means none: once that returns, the one before never runs.
    void whenFinished(std::function<void()> finished);
    // [any thread] The worker skips what it has not started yet.
    void cancel() { m_cancelled.store(true, std::memory_order_release); }
    bool cancelled() const { return m_cancelled.load(std::memory_order_acquire); }
    // [once finished] The error code of each request (errorNone where it was prepared).
    const std::vector<int>& errors() const { return m_errors; }

    // [sample worker]
    const std::vector<SampleRequest>& requests() const { return m_requests; }
    void complete(int index, std::shared_ptr<const SampleData> sample, int error);
    void finish();

private:
    const std::vector<SampleRequest> m_requests;
    std::vector<std::shared_ptr<const SampleData>> m_samples;
    std::vector<int> m_errors;
    std::atomic<int> m_done{0};
    std::atomic<bool> m_finished{false};
    std::atomic<bool> m_cancelled{false};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_finishedSignal;
    std::function<void()> m_whenFinished;
};

}  // namespace tromel::audio
