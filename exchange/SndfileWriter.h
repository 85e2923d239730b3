// WAV (16-bit, 24-bit, 32-bit float) and MP3 files through libsndfile.
#pragma once

#include "exchange/AudioFileSink.h"
#include "exchange/AudioFileWriter.h"

#include <memory>

struct sf_private_tag;

namespace tromel::exchange {

// A 16-bit WAV without loop points holds its header and samples, nothing else. Float WAVs leave
// out libsndfile's PEAK chunk, which carries the time of writing. MP3 is written at a constant bit
// rate by LAME, with ID3 tags.
class SndfileWriter : public AudioFileWriter {
public:
    SndfileWriter(std::unique_ptr<AudioFileSink> sink, const AudioEncoding& encoding, const AudioFileTags& tags);
    ~SndfileWriter() override;

    bool write(const float* frames, int count) override;
    bool close() override;

private:
    bool configure(const AudioEncoding& encoding, const AudioFileTags& tags);

    std::unique_ptr<AudioFileSink> m_sink;  // libsndfile writes into it through its virtual I/O
    sf_private_tag* m_file = nullptr;
};

}  // namespace tromel::exchange
