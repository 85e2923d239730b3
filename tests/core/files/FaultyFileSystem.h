// A file seam for tests: the system's own files, with any one call failed, or the process stopped
// right after it.
#pragma once

#include "files/SystemFileSystem.h"

#include <unistd.h>
#include <cerrno>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tromel::files::test {

enum class Operation {
    CreateTemporary,
    Write,
    SetPermissions,
    Flush,
    Close,
    Rename,
    Remove,
    MakeFolder,
    FlushFolder,
    Lock,
    ReadFile,
    ListFolder,
    CreateFile
};

struct Call {
    Operation operation;
    std::string path;  // for calls on a descriptor, the file it was opened as
};

// "Stopping" stands for a kill: every file the seam opened is closed at once, so their locks go
// as they would with the process, and from then on no call touches anything. The code under test
// runs on, but nothing it does reaches the disk any more.
class FaultyFileSystem : public SystemFileSystem {
public:
    std::vector<Call> calls;  // every call, made or failed, in order
    int failAt = -1;          // the call (counted from 0) that fails with failError and does nothing
    int failError = ENOSPC;
    std::function<int(const Call&)> failWhen;    // the error a call fails with, 0 to make it
    int stopAfter = -1;                          // the call after which the process stops
    std::function<void(const Call&)> afterCall;  // after each call made

    bool stopped() const { return m_stopped; }
    void stop() {
        for (const auto& [fd, path] : m_open)
            ::close(fd);
        m_open.clear();
        m_stopped = true;
    }

    int createTemporary(std::string& pattern, int& fd) override {
        return call(Operation::CreateTemporary, pattern, [&] {
            const int error = SystemFileSystem::createTemporary(pattern, fd);
            if (error == 0)
                m_open[fd] = pattern;
            return error;
        });
    }
    int write(int fd, std::span<const uint8_t> bytes) override {
        return call(Operation::Write, pathOf(fd), [&] { return SystemFileSystem::write(fd, bytes); });
    }
    int createFile(const Path& path, int& fd) override {
        return call(Operation::CreateFile, path, [&] {
            const int error = SystemFileSystem::createFile(path, fd);
            if (error == 0)
                m_open[fd] = path;
            return error;
        });
    }
    // A write at a place is a write.
    int writeAt(int fd, uint64_t offset, std::span<const uint8_t> bytes) override {
        return call(Operation::Write, pathOf(fd), [&] { return SystemFileSystem::writeAt(fd, offset, bytes); });
    }
    int setPermissions(int fd, mode_t mode) override {
        return call(Operation::SetPermissions, pathOf(fd), [&] { return SystemFileSystem::setPermissions(fd, mode); });
    }
    // Counted but not made unless asked for: what they are for lies beyond a test's reach (a
    // crash of the machine), and they take most of the time.
    bool realFlushes = false;
    int flush(int fd) override {
        return call(Operation::Flush, pathOf(fd), [&] { return realFlushes ? SystemFileSystem::flush(fd) : 0; });
    }
    int close(int fd) override {
        return call(Operation::Close, pathOf(fd), [&] {
            m_open.erase(fd);
            return SystemFileSystem::close(fd);
        });
    }
    int rename(const Path& from, const Path& to) override {
        return call(Operation::Rename, from.string() + " -> " + to.string(),
                    [&] { return SystemFileSystem::rename(from, to); });
    }
    int remove(const Path& path) override {
        return call(Operation::Remove, path, [&] { return SystemFileSystem::remove(path); });
    }
    int makeFolder(const Path& path) override {
        return call(Operation::MakeFolder, path, [&] { return SystemFileSystem::makeFolder(path); });
    }
    int flushFolder(const Path& folder) override {
        return call(Operation::FlushFolder, folder,
                    [&] { return realFlushes ? SystemFileSystem::flushFolder(folder) : 0; });
    }
    int lock(const Path& path, bool create, int& fd) override {
        return call(Operation::Lock, path, [&] {
            const int error = SystemFileSystem::lock(path, create, fd);
            if (error == 0)
                m_open[fd] = path;
            return error;
        });
    }
    int readFile(const Path& path, std::size_t largest, std::vector<uint8_t>& bytes) override {
        return call(Operation::ReadFile, path, [&] { return SystemFileSystem::readFile(path, largest, bytes); });
    }
    int listFolder(const Path& folder, std::vector<std::string>& names) override {
        return call(Operation::ListFolder, folder, [&] { return SystemFileSystem::listFolder(folder, names); });
    }

private:
    std::string pathOf(int fd) const {
        const auto found = m_open.find(fd);
        return found == m_open.end() ? std::string() : found->second;
    }
    template <typename Work>
    int call(Operation operation, const std::string& path, Work work) {
        const int index = static_cast<int>(calls.size());
        calls.push_back({operation, path});
        if (m_stopped)
            return EIO;
        if (index == failAt)
            return failError;
        if (const int error = failWhen ? failWhen(calls.back()) : 0)
            return error;
        const int error = work();
        if (index == stopAfter)
            stop();
        if (afterCall)
            afterCall(calls.back());
        return error;
    }

    std::map<int, std::string> m_open;
    bool m_stopped = false;
};

}  // namespace tromel::files::test
