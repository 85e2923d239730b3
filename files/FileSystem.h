// The file operations that saving and recovery make, behind one seam a test can fail or stop at.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tromel::files {

using Path = std::filesystem::path;

// What readFile answers for something that is not a regular file (a FIFO, a device, a socket).
inline constexpr int notRegularFile = -2;

// What a name is, as lstat() (or stat(), following a link) tells it.
// The system's text for an errno value ("No space left on device"), or for notRegularFile.
std::string errorText(int error);

enum class FileType { Regular, Folder, Link, Other };

// What the system knows of a name, without the file's contents.
struct FileStatus {
    FileType type = FileType::Other;
    mode_t permissions = 0;  // the mode's permission bits
    uid_t owner = 0;
    uint64_t links = 0;  // the names the file has (hard links)
    uint64_t size = 0;
    int64_t modified = 0;  // nanoseconds since the epoch
    uint64_t device = 0;
    uint64_t inode = 0;
    bool ownedByUser = false;  // owned by the user the program runs as
};

// Every call returns 0, or the errno value of its failure; a failed call changes nothing.
// [any thread; one file or folder is never worked on by two threads at once]
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Creates and opens a new file for writing, never through a link nor over anything already
    // there, with `mode` less the process's umask (the system applies it; nobody reads or sets the
    // umask). `pattern` ends in at least six "X", each replaced in place by an unpredictable letter,
    // digit, "-" or "_".
    virtual int createTemporary(std::string& pattern, mode_t mode, int& fd) = 0;
    // Opens an existing regular file for writing, neither through a link nor cutting it short.
    virtual int openForWriting(const Path& path, int& fd) = 0;
    // Writes all of `bytes`.
    virtual int write(int fd, std::span<const uint8_t> bytes) = 0;
    // Cuts the file (or lengthens it with zeros) to `size` bytes.
    virtual int truncate(int fd, uint64_t size) = 0;
    // Creates or empties the file at `path` and opens it for writing; a link in its last part is
    // refused, not followed.
    virtual int createFile(const Path& path, int& fd) = 0;
    // Writes all of `bytes` at `offset`, leaving the file's other bytes as they are.
    virtual int writeAt(int fd, uint64_t offset, std::span<const uint8_t> bytes) = 0;
    virtual int setPermissions(int fd, mode_t mode) = 0;
    // Waits until the file's bytes are on the disk.
    virtual int flush(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual int rename(const Path& from, const Path& to) = 0;
    // Removes a file, or a folder that is empty.
    virtual int remove(const Path& path) = 0;
    // EEXIST when something of that name is there already.
    virtual int makeFolder(const Path& path) = 0;
    // Waits until the folder's names (a rename, a new or removed file) are on the disk.
    virtual int flushFolder(const Path& folder) = 0;
    // Opens (with `create`, creating it when missing) and locks the file at `path` without
    // waiting: EWOULDBLOCK while another holder has it. Neither the file nor its folder is
    // followed when it is a link (ELOOP or ENOTDIR). The lock lasts until `fd` is closed or
    // the process ends, however it ends.
    virtual int lock(const Path& path, bool create, int& fd) = 0;
    // Reads a regular file, at most `largest` bytes of it, and what the system knows of the file
    // read. Anything else (a folder, a FIFO, a device) is refused without being waited on.
    virtual int readFile(const Path& path, std::size_t largest, std::vector<uint8_t>& bytes, FileStatus& status) = 0;
    int readFile(const Path& path, std::size_t largest, std::vector<uint8_t>& bytes) {
        FileStatus ignored;
        return readFile(path, largest, bytes, ignored);
    }
    // The names in a folder, without "." and "..".
    virtual int listFolder(const Path& folder, std::vector<std::string>& names) = 0;
    // What the name `path` is: a link is described, not followed; with `follow`, what it leads to.
    virtual int status(const Path& path, bool follow, FileStatus& status) = 0;
    // Where a link points, as written in it.
    virtual int readLink(const Path& path, Path& target) = 0;
};

// The operating system's own files.
FileSystem& systemFileSystem();

// True when both names lead, through links or other spellings, to one existing file (one device
// and inode: hard links are one file too).
bool isSameFile(FileSystem& files, const Path& a, const Path& b);

}  // namespace tromel::files
