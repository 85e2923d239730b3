// Ogg Vorbis files through libvorbisenc and libogg, with comments for the title and the loop.
#pragma once

#include "exchange/AudioFileSink.h"
#include "exchange/AudioFileWriter.h"

#include <memory>

namespace tromel::exchange {

// Variable bit rate at a quality of 0 to 10. The stream's serial number is fixed, so the same
// samples always give the same file.
class OggVorbisWriter : public AudioFileWriter {
public:
    static constexpr int serialNumber = 0x546d6c31;

    OggVorbisWriter(std::unique_ptr<AudioFileSink> sink, int quality, const AudioFileTags& tags);
    ~OggVorbisWriter() override;

    bool write(const float* frames, int count) override;
    bool close() override;

private:
    struct Codec;

    bool writeHeaders(const AudioFileTags& tags);
    // Encodes what the analysis holds and writes every page that is full; after the end of the
    // analysis, every page.
    bool drain();
    bool writePage(const void* header, long headerBytes, const void* body, long bodyBytes);

    std::unique_ptr<Codec> m_codec;
    std::unique_ptr<AudioFileSink> m_sink;
};

}  // namespace tromel::exchange
