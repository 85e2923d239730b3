// The file operations on the operating system's own files.
#pragma once

#include "files/FileSystem.h"

namespace tromel::files {

class SystemFileSystem : public FileSystem {
public:
    using FileSystem::readFile;

    int createTemporary(std::string& pattern, mode_t mode, int& fd) override;
    int openForWriting(const Path& path, int& fd) override;
    int write(int fd, std::span<const uint8_t> bytes) override;
    int truncate(int fd, uint64_t size) override;
    int createFile(const Path& path, int& fd) override;
    int writeAt(int fd, uint64_t offset, std::span<const uint8_t> bytes) override;
    int setPermissions(int fd, mode_t mode) override;
    int flush(int fd) override;
    int close(int fd) override;
    int rename(const Path& from, const Path& to) override;
    int remove(const Path& path) override;
    int makeFolder(const Path& path) override;
    int flushFolder(const Path& folder) override;
    int lock(const Path& path, bool create, int& fd) override;
    int readFile(const Path& path, std::size_t largest, std::vector<uint8_t>& bytes, FileStatus& status) override;
    int listFolder(const Path& folder, std::vector<std::string>& names) override;
    int status(const Path& path, bool follow, FileStatus& status) override;
    int readLink(const Path& path, Path& target) override;
};

}  // namespace tromel::files
