// Writing a generated sample as a 16-bit mono WAV file.
#pragma once

#include "tools/samplegen/BankLevels.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tromel::samplegen {

inline constexpr int sampleRate = 22050;

// Values in [-1, 1] as the 16-bit values a file holds.
std::vector<int16_t> pcmOf(const std::vector<double>& frames);

// Values in [-1, 1]; false (with a message on stderr) when the file cannot be written.
bool writeSample(const std::filesystem::path& path, const std::vector<double>& frames);

// One file of the bank as written: its name and 16-bit values.
struct BankFile {
    std::string name;
    std::vector<int16_t> pcm;
    bool loop = false;               // how the library plays it: an instrument wave looped, a drum once
    std::vector<LevelPlace> levels;  // its levels among the values written at `levelValues`
};

// The bank as a C++ source of 16-bit arrays and the places of its levels, for a library that carries the bank
// inside itself and reads no files; the levels' values are taken from the file `levelValues` when the source is
// compiled. False (with a message on stderr) when the source cannot be written.
bool writeBankSource(const std::filesystem::path& path, const std::vector<BankFile>& files, int levelCount,
                     const std::filesystem::path& levelValues);

}  // namespace tromel::samplegen
