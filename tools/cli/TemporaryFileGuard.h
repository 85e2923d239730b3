// Removes temporary files when the program is ended by SIGTERM, SIGINT or SIGHUP.
#pragma once

#include <filesystem>
#include <vector>

namespace tromel::cli {

// While it exists, those signals unlink the files (whether or not they have been made yet), then
// end the program as they would have. One at a time.
class TemporaryFileGuard {
public:
    static constexpr std::size_t capacity = 16;  // a render's stems at most

    explicit TemporaryFileGuard(const std::vector<std::filesystem::path>& paths);
    ~TemporaryFileGuard();

    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;
};

}  // namespace tromel::cli
