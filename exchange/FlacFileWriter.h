// FLAC files (16-bit or 24-bit) through libFLAC, with Vorbis comments for the title and the loop.
#pragma once

#include "exchange/AudioFileSink.h"
#include "exchange/AudioFileWriter.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace tromel::exchange {

// Samples are quantised as libsndfile quantises them into WAV files: scaled to 32 bits, clipped,
// rounded, and cut to the top `bits` bits (in all, rounded down). So a FLAC file decodes to the
// samples of the WAV file of the same render.
class FlacFileWriter : public AudioFileWriter {
public:
    FlacFileWriter(std::unique_ptr<AudioFileSink> sink, int bits, const AudioFileTags& tags);
    ~FlacFileWriter() override;

    bool write(const float* frames, int count) override;
    bool close() override;

private:
    bool addComment(const char* name, const std::string& value);
    bool failure();
    void release();

    std::unique_ptr<AudioFileSink> m_sink;  // libFLAC writes into it through its stream callbacks
    FLAC__StreamEncoder* m_encoder = nullptr;
    FLAC__StreamMetadata* m_comments = nullptr;
    int m_bits;
    std::vector<int32_t> m_samples;
};

}  // namespace tromel::exchange
