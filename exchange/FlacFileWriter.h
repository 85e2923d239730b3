// FLAC files (16-bit or 24-bit) through libFLAC, with Vorbis comments for the title and the loop.
#pragma once

#include "exchange/AudioFileWriter.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>

#include <cstdint>
#include <vector>

namespace tromel::exchange {

// Samples are rounded as libsndfile rounds them into WAV files: scaled by 2^(bits - 1), to the
// nearest, clipped.
class FlacFileWriter : public AudioFileWriter {
public:
    FlacFileWriter(const std::filesystem::path& path, int bits, const AudioFileTags& tags);
    ~FlacFileWriter() override;

    bool write(const float* frames, int count) override;
    bool close() override;

private:
    bool addComment(const char* name, const std::string& value);
    void release();

    FLAC__StreamEncoder* m_encoder = nullptr;
    FLAC__StreamMetadata* m_comments = nullptr;
    int m_bits;
    std::vector<int32_t> m_samples;
};

}  // namespace tromel::exchange
