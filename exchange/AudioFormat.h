// The audio file formats an export writes, their names on the command line and their options.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tromel::exchange {

enum class AudioFormat { Wav16, Wav24, Float, Flac16, Flac24, Ogg, Mp3 };

struct AudioFormatInfo {
    AudioFormat format;
    const char* name;       // as --format takes it
    const char* extension;  // without the dot
    const char* label;      // as the export dialog lists it
    int pcmBits;            // 16 or 24 for integer samples; 0 for float and the lossy formats
};

inline constexpr std::array<AudioFormatInfo, 7> audioFormats{{
    {AudioFormat::Wav16, "wav16", "wav", "WAV 16-bit", 16},
    {AudioFormat::Wav24, "wav24", "wav", "WAV 24-bit", 24},
    {AudioFormat::Float, "float", "wav", "WAV 32-bit float", 0},
    {AudioFormat::Flac16, "flac16", "flac", "FLAC 16-bit", 16},
    {AudioFormat::Flac24, "flac24", "flac", "FLAC 24-bit", 24},
    {AudioFormat::Ogg, "ogg", "ogg", "Ogg Vorbis", 0},
    {AudioFormat::Mp3, "mp3", "mp3", "MP3", 0},
}};

const AudioFormatInfo& infoOf(AudioFormat format);
std::optional<AudioFormat> formatNamed(std::string_view name);
// The format a file name's extension stands for (.wav, .flac, .ogg, .mp3, in any case).
std::optional<AudioFormat> formatOfExtension(std::string_view extension);

// Ogg Vorbis quality, 0 (smallest) to 10 (best).
inline constexpr int lowestOggQuality = 0;
inline constexpr int highestOggQuality = 10;
inline constexpr int defaultOggQuality = 6;

// The constant bit rates LAME offers at 44100 Hz, in kbit/s.
inline constexpr std::array<int, 14> mp3Bitrates{32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
inline constexpr int defaultMp3Bitrate = 256;
bool isMp3Bitrate(int kbps);
// libsndfile chooses a constant bit rate as 320 - level * 288 kbit/s, rounded down; this is the
// compression level that gives exactly `kbps`.
double mp3CompressionLevel(int kbps);
// Whether this system's libsndfile can write MP3 (it needs to have been built with LAME).
bool canWriteMp3();

// How a file is encoded: the format and, where the format has one, its quality or bit rate.
struct AudioEncoding {
    AudioFormat format = AudioFormat::Wav16;
    int oggQuality = defaultOggQuality;
    int mp3Bitrate = defaultMp3Bitrate;
};

}  // namespace tromel::exchange
