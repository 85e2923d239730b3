// Writing 44100 Hz stereo audio into a 16-bit WAV file, a block of frames at a time.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

struct sf_private_tag;

namespace tromel::exchange {

class WavFileWriter {
public:
    // Creates (or truncates) the file at path; on failure, `error()` says why and nothing more is written.
    WavFileWriter(const std::filesystem::path& path, int sampleRate);
    ~WavFileWriter();
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;

    bool isOpen() const { return m_file != nullptr; }
    // Interleaved stereo frames in [-1, 1); louder samples are clipped, never wrapped.
    bool write(const float* frames, int count);
    // Completes the file's header; false (with `error()`) when the file could not be completed.
    bool close();
    const std::string& error() const { return m_error; }

private:
    sf_private_tag* m_file = nullptr;
    std::string m_error;
};

}  // namespace tromel::exchange
