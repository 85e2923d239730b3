// Playing a song offline, through the same engine as the device, into audio files.
#pragma once

#include "exchange/AudioFormat.h"
#include "files/FileSystem.h"
#include "song/Song.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tromel::audio {

class SampleCache;

// Beyond three hours a 16-bit stereo WAV nears its 4 GB limit, and nobody meant it.
inline constexpr double longestRenderSeconds = 3 * 60 * 60;
// Normalised loudness targets (LUFS, integrated) are taken from this range.
inline constexpr double quietestLoudness = -70.0;
inline constexpr double loudestLoudness = 0.0;
// The true-peak ceiling of a normalised export, in dBTP.
inline constexpr double truePeakCeiling = -1.0;
// A ringing end lasts at most this long, and ends once its sound is this far below its peak.
inline constexpr double longestRingSeconds = 10.0;
inline constexpr double ringDepthDb = 60.0;

struct RenderRequest {
    std::filesystem::path sampleFolder;
    std::filesystem::path output;
    std::filesystem::path songFile;  // the song's own file, which the output may not replace; may be empty
    std::vector<std::filesystem::path> openSongFiles;  // songs open elsewhere, which it may not replace either
    // From the start to the loop end, then the loop `loops` times (once by default); or exactly
    // `seconds` long. At most one of the two.
    std::optional<long long> loops;
    std::optional<double> seconds;

    // What tromel-cli render's options add; as they are here, the render is a plain 16-bit WAV.
    exchange::AudioEncoding encoding;
    double fadeSeconds = 0.0;                         // over the end, the gain falls as a quarter cosine to 0
    bool ring = false;                                // after the last step, the sounding notes play out
    std::optional<double> loudness;                   // normalised to this integrated loudness (LUFS)
    bool loopPoints = false;                          // the last pass marked as the file's loop
    bool stems = false;                               // a file per channel that holds notes, not the mix
    std::string software = "Tromel " TROMEL_VERSION;  // written into the file where its format carries it
    bool measure = false;                // report the loudness of what was written even when not normalised
    files::FileSystem* files = nullptr;  // the seam the files are written through; null: the system's
    // [render thread] Told of each temporary file as it is made, before anything is written into it.
    std::function<void(const std::filesystem::path&)> temporaryMade;
    // Prepared samples shared with other renders, as they stay valid while their files are unchanged;
    // null: prepared for this render alone.
    std::shared_ptr<SampleCache> samples;

    files::FileSystem& fileSystem() const { return files ? *files : files::systemFileSystem(); }
};

// Why a render may not write where it was asked to.
inline constexpr const char* songItselfText = "this is the song itself; choose another output file";
inline constexpr const char* openSongText =
    "this is the file of a song open in another window; choose another output file";

// A written file's loudness by EBU R 128: integrated (LUFS), range (LU) and true peak (dBTP).
struct LoudnessFigures {
    double integrated = 0.0;
    double range = 0.0;
    double truePeak = 0.0;
};

struct RenderOutcome {
    enum class Status { Written, Refused, Cancelled, Failed };
    Status status = Status::Written;
    // Why it was refused or failed, a line each; a line about a file begins with its path.
    std::vector<std::string> problems;
    std::vector<std::filesystem::path> files;  // what was written
    // What was written measured (normalised or asked to measure; for stems, their sum).
    std::optional<LoudnessFigures> loudness;

    bool written() const { return status == Status::Written; }
};

// Called from the rendering thread after every block with the frames written and the frames in
// all; returning false cancels the render.
using RenderProgress = std::function<bool(int64_t done, int64_t total)>;

// "Integrated loudness -14.0 LUFS, loudness range 5.2 LU, true peak -1.0 dBTP".
std::string describeLoudness(const LoudnessFigures& figures);

// The frames a render lasts (before any ringing end), or why it would be absurdly long.
std::variant<int64_t, std::string> renderLength(const Song& song, const RenderRequest& request);

// Refuses a song that cannot play, options that do not go together, an output that is the song's
// own file or that of a song open elsewhere, an output folder that does not exist, an absurd length and a missing
// sample folder or a missing or unreadable sample of a channel that plays a note, each named; otherwise puts back the
// stems a killed export left aside in the output's folder and removes its stale temporary files, then renders into
// temporary files and renames them over the outputs once all are whole (see RenderFiles). The first step sounds at
// frame 0, and the n-th step played (from 0) at frame floor(n * tempo * 44100 / 1000). A cancelled or failed render
// leaves no file behind.
// [any thread: the render has audio layers of its own]
RenderOutcome renderSong(const Song& song, const RenderRequest& request, const RenderProgress& progress = {});

}  // namespace tromel::audio
