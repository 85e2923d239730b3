// Writing 44100 Hz stereo audio into a file of any export format, a block of frames at a time.
#include "exchange/AudioFileWriter.h"

#include "exchange/FlacFileWriter.h"
#include "exchange/OggVorbisWriter.h"
#include "exchange/SndfileWriter.h"

namespace tromel::exchange {

namespace {

std::unique_ptr<AudioFileWriter> writerInto(std::unique_ptr<AudioFileSink> sink, const AudioEncoding& encoding,
                                            const AudioFileTags& tags) {
    switch (encoding.format) {
        case AudioFormat::Flac16:
        case AudioFormat::Flac24:
            return std::make_unique<FlacFileWriter>(std::move(sink), infoOf(encoding.format).pcmBits, tags);
        case AudioFormat::Ogg:
            return std::make_unique<OggVorbisWriter>(std::move(sink), encoding.oggQuality, tags);
        default:
            return std::make_unique<SndfileWriter>(std::move(sink), encoding, tags);
    }
}

}  // namespace

std::unique_ptr<AudioFileWriter> openAudioFile(const std::filesystem::path& path, const AudioEncoding& encoding,
                                               const AudioFileTags& tags, files::FileSystem& files) {
    return writerInto(std::make_unique<AudioFileSink>(files, path), encoding, tags);
}

std::unique_ptr<AudioFileWriter> openAudioFile(int fd, const AudioEncoding& encoding, const AudioFileTags& tags,
                                               files::FileSystem& files) {
    return writerInto(std::make_unique<AudioFileSink>(files, fd), encoding, tags);
}

}  // namespace tromel::exchange
