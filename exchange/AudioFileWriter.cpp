// Writing 44100 Hz stereo audio into a file of any export format, a block of frames at a time.
#include "exchange/AudioFileWriter.h"

#include "exchange/FlacFileWriter.h"
#include "exchange/OggVorbisWriter.h"
#include "exchange/SndfileWriter.h"

namespace tromel::exchange {

std::unique_ptr<AudioFileWriter> openAudioFile(const std::filesystem::path& path, const AudioEncoding& encoding,
                                               const AudioFileTags& tags, files::FileSystem& files) {
    switch (encoding.format) {
        case AudioFormat::Flac16:
        case AudioFormat::Flac24:
            return std::make_unique<FlacFileWriter>(files, path, infoOf(encoding.format).pcmBits, tags);
        case AudioFormat::Ogg:
            return std::make_unique<OggVorbisWriter>(files, path, encoding.oggQuality, tags);
        default:
            return std::make_unique<SndfileWriter>(files, path, encoding, tags);
    }
}

}  // namespace tromel::exchange
