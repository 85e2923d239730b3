// The shape of a sample file for a small picture: one period of a wave, or a drum's envelope.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

namespace tromel::audio {

// The first frames of a WAV file, the channels averaged, at most `maxFrames` of them; nothing
// when the file cannot be read. [any thread but the audio thread]
std::optional<std::vector<float>> readSampleFrames(const std::filesystem::path& path, int64_t maxFrames);

// `points` values of the frames' first period of `periodFrames` frames, read between frames by
// straight lines; fewer frames than a period give what there is.
std::vector<float> firstPeriod(const std::vector<float>& frames, double periodFrames, int points);

// The loudest absolute value in each of `points` equal stretches of the frames.
std::vector<float> peakEnvelope(const std::vector<float>& frames, int points);

}  // namespace tromel::audio
