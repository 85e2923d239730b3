// Removes a temporary file when the program is ended by SIGTERM, SIGINT or SIGHUP.
#pragma once

#include <filesystem>

namespace tromel::cli {

// While it exists, those signals unlink the file (whether or not it has been made yet), then end
// the program as they would have. One at a time.
class TemporaryFileGuard {
public:
    explicit TemporaryFileGuard(const std::filesystem::path& path);
    ~TemporaryFileGuard();

    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;
};

}  // namespace tromel::cli
