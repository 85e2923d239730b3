// Writing 44100 Hz stereo audio into a 16-bit WAV file, a block of frames at a time.
#include "exchange/WavFileWriter.h"

#include <sndfile.h>

namespace tromel::exchange {

WavFileWriter::WavFileWriter(const std::filesystem::path& path, int sampleRate) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    m_file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!m_file) {
        m_error = sf_strerror(nullptr);
        return;
    }
    sf_command(m_file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

WavFileWriter::~WavFileWriter() {
    close();
}

bool WavFileWriter::write(const float* frames, int count) {
    if (!m_file)
        return false;
    if (sf_writef_float(m_file, frames, count) == count)
        return true;
    if (m_error.empty())
        m_error = sf_strerror(m_file);
    if (m_error.empty())
        m_error = "write failed";
    return false;
}

bool WavFileWriter::close() {
    if (!m_file)
        return m_error.empty();
    const bool closed = sf_close(m_file) == 0;
    m_file = nullptr;
    if (!closed && m_error.empty())
        m_error = "write failed";
    return closed && m_error.empty();
}

}  // namespace tromel::exchange
