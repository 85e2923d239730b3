// Removes temporary files when the program is ended by SIGTERM, SIGINT or SIGHUP.
#pragma once

#include <filesystem>

namespace tromel::cli {

// While it exists, those signals unlink the files added to it (whether or not they are there),
// then end the program as they would have. One at a time.
class TemporaryFileGuard {
public:
    static constexpr std::size_t capacity = 32;  // a render's stems at most, or a mix written twice

    TemporaryFileGuard();
    ~TemporaryFileGuard();
    // [one thread at a time] One more file to unlink; beyond the capacity, none.
    void add(const std::filesystem::path& path);

    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;
};

}  // namespace tromel::cli
