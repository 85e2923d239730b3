// The bank's prepared levels, made at build time so that a program carrying the bank starts playing without
// making them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tromel::samplegen {

// Where one level of one file lies among the values written.
struct LevelPlace {
    int64_t offset;  // floats from the start
    int64_t length;  // as SampleLevel::length
    double framesPerSourceFrame;
};

// Levels 0 to `count` - 1 of 16-bit values played looped or once, made as the engine makes them from the
// values a WAV reader reads; their values are appended to `values`, their places returned in level order.
std::vector<LevelPlace> appendLevels(const std::vector<int16_t>& pcm, bool loop, int count, std::vector<float>& values);

// The values as raw floats of this machine; false (with a message on stderr) when they cannot be written.
bool writeLevelValues(const std::filesystem::path& path, const std::vector<float>& values);
// Closes a file the generator wrote; false, said on the standard error, when it could not be written whole.
bool closeWritten(std::ofstream& out, const std::filesystem::path& path);

}  // namespace tromel::samplegen
