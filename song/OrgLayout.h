// Byte layout of an Organya file, "Org-02" or the later "Org-03" (the same layout).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tromel::org {

inline constexpr std::array<unsigned char, 6> magic{'O', 'r', 'g', '-', '0', '2'};
// The later version: the same layout, and its drum channels may name drums beyond the first twelve.
inline constexpr std::array<unsigned char, 6> laterMagic{'O', 'r', 'g', '-', '0', '3'};

inline constexpr std::size_t tempoOffset = 6;         // 2 bytes, milliseconds per step
inline constexpr std::size_t stepsPerBarOffset = 8;   // 1 byte
inline constexpr std::size_t beatsPerStepOffset = 9;  // 1 byte
inline constexpr std::size_t loopBeginOffset = 10;    // 4 bytes
inline constexpr std::size_t loopEndOffset = 14;      // 4 bytes
inline constexpr std::size_t channelBlocksOffset = 18;
inline constexpr std::size_t channelBlockSize = 6;
inline constexpr std::size_t headerSize = 114;  // note data starts here

// Within a channel block (instrument channels 0..7, then drum channels 0..7).
inline constexpr std::size_t blockFrequency = 0;  // 2 bytes
inline constexpr std::size_t blockWave = 2;       // 1 byte
inline constexpr std::size_t blockPi = 3;         // 1 byte, non-zero is true
inline constexpr std::size_t blockNoteCount = 4;  // 2 bytes

// Each note takes a 4-byte position and one byte each of key, length, volume and pan,
// stored as five arrays per channel.
inline constexpr std::size_t bytesPerNote = 8;

inline constexpr unsigned piTrueByte = 255;

// The largest value each kind of field holds. The reader takes step numbers (positions and loop
// points) only below 2^31.
inline constexpr int64_t largestByte = 0xFF;
inline constexpr int64_t largestWord = 0xFFFF;
inline constexpr int64_t largestStep = 0x7FFFFFFF;

// A value beyond what its field holds, as the nearest value the field holds: never wrapped round.
constexpr int64_t fitField(int64_t value, int64_t largest) {
    return value < 0 ? 0 : value > largest ? largest : value;
}

}  // namespace tromel::org
