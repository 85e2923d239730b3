// Every render running in the process, so that a program told to end can stop them and take their
// unfinished files with it.
#include "audio/render/RunningRenders.h"

#include <system_error>

namespace tromel::audio {

RunningRenders& RunningRenders::ofProcess() {
    static RunningRenders renders;
    return renders;
}

int RunningRenders::begin() {
    std::lock_guard lock(m_mutex);
    m_renders[++m_serial] = Render{};
    return m_serial;
}

void RunningRenders::made(int render, const std::filesystem::path& temporary) {
    std::lock_guard lock(m_mutex);
    m_renders[render].temporaries.push_back(temporary);
}

bool RunningRenders::cancelled(int render) {
    std::lock_guard lock(m_mutex);
    const auto found = m_renders.find(render);
    return found != m_renders.end() && found->second.cancelled;
}

void RunningRenders::end(int render) {
    {
        std::lock_guard lock(m_mutex);
        m_renders.erase(render);
    }
    m_ended.notify_all();
}

bool RunningRenders::cancelAll(std::chrono::milliseconds wait) {
    std::unique_lock lock(m_mutex);
    for (auto& [number, render] : m_renders)
        render.cancelled = true;
    const auto allCancelledEnded = [this] {
        for (const auto& [number, render] : m_renders)
            if (render.cancelled)
                return false;
        return true;
    };
    if (m_ended.wait_for(lock, wait, allCancelledEnded))
        return true;
    // A render stuck in a write: its file goes now; the space it holds, with the process.
    std::error_code ignored;
    for (const auto& [number, render] : m_renders)
        if (render.cancelled)
            for (const std::filesystem::path& temporary : render.temporaries)
                std::filesystem::remove(temporary, ignored);
    return false;
}

}  // namespace tromel::audio
