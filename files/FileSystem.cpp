// The system's file operations as the program's default seam, and the texts of their errors.
#include "files/FileSystem.h"

#include "files/SystemFileSystem.h"

#include <cstring>

namespace tromel::files {

std::string errorText(int error) {
    if (error == notRegularFile)
        return "Not a regular file";
    return std::strerror(error);
}

bool isSameFile(FileSystem& files, const Path& a, const Path& b) {
    FileStatus first;
    FileStatus second;
    return files.status(a, true, first) == 0 && files.status(b, true, second) == 0 && first.device == second.device &&
           first.inode == second.inode;
}

FileSystem& systemFileSystem() {
    static SystemFileSystem system;
    return system;
}

}  // namespace tromel::files
