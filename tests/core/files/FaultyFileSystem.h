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
    Status,
    ReadLink,
    OpenForWriting,
    Truncate,
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
    std::function<bool(const Path&)> othersOwn;  // the names status() tells as another user's

    bool stopped() const { return m_stopped; }

    // The renames among the calls after which no flush of the folder they renamed into followed
    // (nor of the folder they came from, when it differs), and the files written after which no
    // flush of that file followed before it was closed: what a crash of the machine could undo.
    std::vector<std::string> unflushed() const {
        std::vector<std::string> found;
        const auto folderOf = [](const std::string& path) { return Path(path).parent_path().string(); };
        const auto flushedLater = [this](std::size_t from, Operation operation, const std::string& path) {
            for (std::size_t i = from + 1; i < calls.size(); ++i)
                if (calls[i].operation == operation && calls[i].path == path)
                    return true;
            return false;
        };
        for (std::size_t i = 0; i < calls.size(); ++i) {
            const Call& call = calls[i];
            if (call.operation == Operation::Rename) {
                const std::size_t arrow = call.path.find(" -> ");
                const std::string from = folderOf(call.path.substr(0, arrow));
                const std::string to = folderOf(call.path.substr(arrow + 4));
                if (!flushedLater(i, Operation::FlushFolder, to) || !flushedLater(i, Operation::FlushFolder, from))
                    found.push_back(call.path);
            }
            if (call.operation == Operation::Write || call.operation == Operation::Truncate) {
                bool flushed = false;
                for (std::size_t j = i + 1; j < calls.size() && !flushed; ++j) {
                    if (calls[j].path != call.path)
                        continue;
                    if (calls[j].operation == Operation::Close)
                        break;
                    flushed = calls[j].operation == Operation::Flush;
                }
                if (!flushed)
                    found.push_back("write of " + call.path);
            }
        }
        return found;
    }
    void stop() {
        for (const auto& [fd, path] : m_open)
            ::close(fd);
        m_open.clear();
        m_stopped = true;
    }

    using SystemFileSystem::readFile;

    int createTemporary(std::string& pattern, mode_t mode, int& fd) override {
        return call(Operation::CreateTemporary, pattern, [&] {
            const int error = SystemFileSystem::createTemporary(pattern, mode, fd);
            if (error == 0)
                m_open[fd] = pattern;
            return error;
        });
    }
    int openForWriting(const Path& path, int& fd) override {
        return call(Operation::OpenForWriting, path, [&] {
            const int error = SystemFileSystem::openForWriting(path, fd);
            if (error == 0)
                m_open[fd] = path;
            return error;
        });
    }
    int truncate(int fd, uint64_t size) override {
        return call(Operation::Truncate, pathOf(fd), [&] { return SystemFileSystem::truncate(fd, size); });
    }
    int readLink(const Path& path, Path& target) override {
        return call(Operation::ReadLink, path, [&] { return SystemFileSystem::readLink(path, target); });
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
    int readFile(const Path& path, std::size_t largest, std::vector<uint8_t>& bytes, FileStatus& status) override {
        return call(Operation::ReadFile, path,
                    [&] { return SystemFileSystem::readFile(path, largest, bytes, status); });
    }
    int listFolder(const Path& folder, std::vector<std::string>& names) override {
        return call(Operation::ListFolder, folder, [&] { return SystemFileSystem::listFolder(folder, names); });
    }
    int status(const Path& path, bool follow, FileStatus& status) override {
        return call(Operation::Status, path, [&] {
            const int error = SystemFileSystem::status(path, follow, status);
            if (othersOwn && othersOwn(path))
                status.ownedByUser = false;
            return error;
        });
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
