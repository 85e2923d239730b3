// Playing a song offline, through the same engine as the device, into a 16-bit stereo WAV file.
#pragma once

#include "song/Song.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tromel::audio {

// Beyond three hours a 16-bit stereo WAV nears its 4 GB limit, and nobody meant it.
inline constexpr double longestRenderSeconds = 3 * 60 * 60;

struct RenderRequest {
    std::filesystem::path sampleFolder;
    std::filesystem::path output;
    std::filesystem::path songFile;  // the song's own file, which the output may not replace; may be empty
    // From the start to the loop end, then the loop `loops` times (once by default); or exactly
    // `seconds` long. At most one of the two.
    std::optional<long long> loops;
    std::optional<double> seconds;
};

struct RenderOutcome {
    enum class Status { Written, Refused, Cancelled, Failed };
    Status status = Status::Written;
    // Why it was refused or failed, a line each; a line about a file begins with its path.
    std::vector<std::string> problems;

    bool written() const { return status == Status::Written; }
};

// Called from the rendering thread after every block with the frames written and the frames in
// all; returning false cancels the render.
using RenderProgress = std::function<bool(int64_t done, int64_t total)>;

// The frames a render lasts, or why it would be absurdly long.
std::variant<int64_t, std::string> renderLength(const Song& song, const RenderRequest& request);

// Where a render is written before it is renamed over its output: OUTPUT.tmp-PID.
std::filesystem::path temporaryRenderPath(const std::filesystem::path& output);

// True when both paths name one existing file, through links or other spellings too.
bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Refuses a song that cannot play, an output that is the song's own file, an absurd length and
// a missing sample folder or a missing or unreadable sample of a channel that plays a note, each
// named; otherwise renders into the temporary file and renames it over the output once whole.
// Frame 0 of the file is the moment Play is pressed, so the note at file step s starts at frame
// floor((s + 1) * tempo * 44100 / 1000). A cancelled or failed render leaves no file behind.
// [any thread: the render has an audio layer of its own]
RenderOutcome renderSong(const Song& song, const RenderRequest& request, const RenderProgress& progress = {});

}  // namespace tromel::audio
