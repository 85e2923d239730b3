// Writing 44100 Hz stereo audio into a file of any export format, a block of frames at a time.
#pragma once

#include "exchange/AudioFormat.h"
#include "files/FileSystem.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace tromel::exchange {

inline constexpr int audioFileRate = 44100;

// A loop as game engines read it: from frame `start` up to, not including, frame `end`.
struct LoopPoints {
    int64_t start = 0;
    int64_t end = 0;
};

// What a file says about itself where its format carries it: FLAC and Ogg as comments (the loop
// as LOOPSTART and LOOPLENGTH), MP3 as ID3 tags (no loop), WAV only the loop, in a smpl chunk.
struct AudioFileTags {
    std::string title;
    std::string software;
    std::optional<LoopPoints> loop;
};

class AudioFileWriter {
public:
    virtual ~AudioFileWriter() = default;

    bool isOpen() const { return m_open; }
    // Interleaved stereo frames in [-1, 1); louder samples are clipped, never wrapped.
    virtual bool write(const float* frames, int count) = 0;
    // Completes the file; false (with `error()`) when it could not be completed.
    virtual bool close() = 0;
    const std::string& error() const { return m_error; }

protected:
    // Keeps the first reason given: the later ones follow from it.
    bool fail(const std::string& reason) {
        if (m_error.empty())
            m_error = reason.empty() ? "write failed" : reason;
        return false;
    }

    bool m_open = false;
    std::string m_error;
};

// Creates (or truncates) the file at path; on failure the writer is not open and `error()` says
// why. The same samples, encoding and tags always give the same bytes. Every byte goes through the
// file seam, and close() flushes the file to the disk: a failed write, however deep in a codec, is
// an error of write() or close().
std::unique_ptr<AudioFileWriter> openAudioFile(const std::filesystem::path& path, const AudioEncoding& encoding,
                                               const AudioFileTags& tags,
                                               files::FileSystem& files = files::systemFileSystem());
// Writes into `fd`, a new file opened for writing through `files`, which the writer now owns.
std::unique_ptr<AudioFileWriter> openAudioFile(int fd, const AudioEncoding& encoding, const AudioFileTags& tags,
                                               files::FileSystem& files);

}  // namespace tromel::exchange
