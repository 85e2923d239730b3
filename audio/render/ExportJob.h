// An export rendering on a thread of its own, which whoever shows it follows and may cancel.
#pragma once

#include "audio/render/OfflineRender.h"
#include "song/Song.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace tromel::audio {

// The job renders as renderSong does, from the moment it is made. Its figures are atomics that any
// thread may read while it runs; the outcome is there once it has finished.
class ExportJob {
public:
    ExportJob(Song song, RenderRequest request);
    ~ExportJob();  // cancels a render still going and waits for it, so its files are gone

    ExportJob(const ExportJob&) = delete;
    ExportJob& operator=(const ExportJob&) = delete;

    // [any thread] The frames rendered so far of every pass, and of all the passes (0 until known).
    int64_t done() const { return m_done.load(std::memory_order_relaxed); }
    int64_t total() const { return m_total.load(std::memory_order_relaxed); }
    // [any thread] The render stops at its next block, or while it waits for samples, and
    // leaves no file behind.
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    // [any thread] Whether the render has ended, whatever its outcome.
    bool finished() const { return m_finished.load(std::memory_order_acquire); }
    // [the thread that made the job] Waits for the render to end: how it ended.
    const RenderOutcome& wait();

private:
    void render();  // [the job's thread]

    const Song m_song;
    const RenderRequest m_request;
    std::atomic<int64_t> m_done{0};
    std::atomic<int64_t> m_total{0};
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_finished{false};
    RenderOutcome m_outcome;  // written by the job's thread before m_finished is set
    std::thread m_thread;     // last, so that it starts once everything it uses is made
};

}  // namespace tromel::audio
