// The thread that reads and prepares sample files, so that the user-interface thread never waits.
#pragma once

#include "audio/samples/SampleCache.h"
#include "audio/samples/SamplePreparation.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace tromel::audio {

// Batches are prepared one after another, in the order given, into the cache. The thread starts
// with the first batch and ends with this object, after the sample it is preparing then: a
// preparation cannot be interrupted half-way.
class SampleWorker {
public:
    // Samples are prepared with `levels` levels (see buildSampleData).
    explicit SampleWorker(SampleCache& cache, int levels = SampleData::levelCount) : m_cache(cache), m_levels(levels) {}
    ~SampleWorker();

    SampleWorker(const SampleWorker&) = delete;
    SampleWorker& operator=(const SampleWorker&) = delete;

    // [user-interface thread]
    void enqueue(std::shared_ptr<SamplePreparation> batch);
    // [user-interface thread] Gives up every batch, the one under way included.
    void cancelAll();

private:
    void run();
    std::shared_ptr<SamplePreparation> nextBatch();
    void prepare(SamplePreparation& batch);

    SampleCache& m_cache;
    const int m_levels;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::shared_ptr<SamplePreparation>> m_batches;
    std::shared_ptr<SamplePreparation> m_current;
    bool m_ending = false;
    std::thread m_thread;  // last: it starts once everything above exists
};

}  // namespace tromel::audio
