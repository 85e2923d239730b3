// Writing a generated sample as a 16-bit mono WAV file.
#pragma once

#include <filesystem>
#include <vector>

namespace tromel::samplegen {

inline constexpr int sampleRate = 22050;

// Values in [-1, 1]; false (with a message on stderr) when the file cannot be written.
bool writeSample(const std::filesystem::path& path, const std::vector<double>& frames);

}  // namespace tromel::samplegen
