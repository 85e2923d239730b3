// An audio file written through the file seam, at a position a codec may move back to.
#include "exchange/AudioFileSink.h"

#include <algorithm>
#include <cerrno>

namespace tromel::exchange {

AudioFileSink::AudioFileSink(files::FileSystem& files, const std::filesystem::path& path) : m_files(files) {
    int fd = -1;
    if (keep(m_files.createFile(path, fd)))
        m_fd = fd;
}

AudioFileSink::~AudioFileSink() {
    if (m_fd >= 0)
        m_files.close(m_fd);
}

bool AudioFileSink::keep(int error) {
    if (error != 0 && m_error == 0)
        m_error = error;
    return error == 0;
}

bool AudioFileSink::write(const void* bytes, std::size_t size) {
    if (m_fd < 0 || m_error != 0)
        return false;
    const auto* first = static_cast<const uint8_t*>(bytes);
    if (!keep(m_files.writeAt(m_fd, static_cast<uint64_t>(m_position), {first, size})))
        return false;
    m_position += static_cast<int64_t>(size);
    m_length = std::max(m_length, m_position);
    return true;
}

bool AudioFileSink::seek(int64_t position) {
    if (position < 0 || position > m_length)
        return keep(EINVAL);
    m_position = position;
    return true;
}

bool AudioFileSink::close() {
    if (m_fd < 0)
        return m_error == 0;
    if (m_error == 0)
        keep(m_files.flush(m_fd));
    keep(m_files.close(m_fd));
    m_fd = -1;
    return m_error == 0;
}

std::string AudioFileSink::errorText() const {
    return files::errorText(m_error);
}

}  // namespace tromel::exchange
