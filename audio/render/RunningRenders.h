// Every render running in the process, so that a program told to end can stop them and take their
// unfinished files with it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

namespace tromel::audio {

class RunningRenders {
public:
    // The renders of this process.
    static RunningRenders& ofProcess();

    // [render thread] A render begins; the number it is known by.
    int begin();
    // [render thread] The render made the temporary file `temporary`.
    void made(int render, const std::filesystem::path& temporary);
    // [render thread] Whether the render was told to stop.
    bool cancelled(int render);
    // [render thread] The render has renamed or removed its files.
    void end(int render);

    // [any thread] Tells every running render to stop and waits, at most `wait`, for each to
    // remove its file; the files of those that did not are removed here. True when all had.
    bool cancelAll(std::chrono::milliseconds wait);

private:
    struct Render {
        std::vector<std::filesystem::path> temporaries;
        bool cancelled = false;
    };

    std::mutex m_mutex;
    std::condition_variable m_ended;
    std::map<int, Render> m_renders;
    int m_serial = 0;
};

}  // namespace tromel::audio
