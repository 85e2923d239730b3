// An audio file written through the file seam, at a position a codec may move back to.
#pragma once

#include "files/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tromel::exchange {

// The first failure is kept and every later write refused, so that a failure a codec passes over
// in silence (libsndfile's MP3 encoder does) is still seen when the file is closed.
class AudioFileSink {
public:
    // Creates or empties the file; on failure isOpen() is false and errorText() says why.
    AudioFileSink(files::FileSystem& files, const std::filesystem::path& path);
    // Writes into `fd`, a file opened for writing through `files`, which the sink now owns.
    AudioFileSink(files::FileSystem& files, int fd) : m_files(files), m_fd(fd) {}
    ~AudioFileSink();  // closes a file still open, without flushing it
    AudioFileSink(const AudioFileSink&) = delete;
    AudioFileSink& operator=(const AudioFileSink&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // All of `bytes` at the position, which moves on past them.
    bool write(const void* bytes, std::size_t size);
    // To an absolute position within or just past the end of what was written.
    bool seek(int64_t position);
    int64_t position() const { return m_position; }
    int64_t length() const { return m_length; }
    // Flushes the file to the disk and closes it; false when it or anything before it failed.
    bool close();
    bool failed() const { return m_error != 0; }
    std::string errorText() const;

private:
    bool keep(int error);

    files::FileSystem& m_files;
    int m_fd = -1;
    int64_t m_position = 0;
    int64_t m_length = 0;
    int m_error = 0;
};

}  // namespace tromel::exchange
