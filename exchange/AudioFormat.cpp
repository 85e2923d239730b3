// The audio file formats an export writes, their names on the command line and their options.
#include "exchange/AudioFormat.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>

namespace tromel::exchange {

const AudioFormatInfo& infoOf(AudioFormat format) {
    return *std::find_if(audioFormats.begin(), audioFormats.end(),
                         [format](const AudioFormatInfo& info) { return info.format == format; });
}

std::optional<AudioFormat> formatNamed(std::string_view name) {
    for (const AudioFormatInfo& info : audioFormats)
        if (name == info.name)
            return info.format;
    return std::nullopt;
}

std::optional<AudioFormat> formatOfExtension(std::string_view extension) {
    std::string lower(extension.substr(extension.starts_with('.') ? 1 : 0));
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    // The first format of each extension is the one it stands for: 16-bit WAV and FLAC.
    for (const AudioFormatInfo& info : audioFormats)
        if (lower == info.extension)
            return info.format;
    return std::nullopt;
}

bool isMp3Bitrate(int kbps) {
    return std::find(mp3Bitrates.begin(), mp3Bitrates.end(), kbps) != mp3Bitrates.end();
}

// Half a kbit/s above the rate, so that rounding down lands on it; 320 needs level 0 exactly.
double mp3CompressionLevel(int kbps) {
    return std::clamp((320.0 - kbps - 0.5) / 288.0, 0.0, 1.0);
}

bool canWriteMp3() {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    return sf_format_check(&info) == SF_TRUE;
}

}  // namespace tromel::exchange
