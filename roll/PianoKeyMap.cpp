// The computer keyboard as a piano: keys by their physical place to the keys of the roll.
#include "roll/PianoKeyMap.h"

#include <algorithm>
#include <array>
#include <utility>

namespace tromel::roll {
namespace {

// X key codes (Linux input codes + 8) and the semitone each plays above C of the base octave.
constexpr std::array<std::pair<uint32_t, int>, 29> playedKeys{{
    {52, 0},   // Z
    {39, 1},   // S
    {53, 2},   // X
    {40, 3},   // D
    {54, 4},   // C
    {55, 5},   // V
    {42, 6},   // G
    {56, 7},   // B
    {43, 8},   // H
    {57, 9},   // N
    {44, 10},  // J
    {58, 11},  // M
    {24, 12},  // Q
    {11, 13},  // 2
    {25, 14},  // W
    {12, 15},  // 3
    {26, 16},  // E
    {27, 17},  // R
    {14, 18},  // 5
    {28, 19},  // T
    {15, 20},  // 6
    {29, 21},  // Y
    {16, 22},  // 7
    {30, 23},  // U
    {31, 24},  // I
    {18, 25},  // 9
    {32, 26},  // O
    {19, 27},  // 0
    {33, 28},  // P
}};

}  // namespace

std::optional<int> pianoKeyOffset(uint32_t nativeScanCode) {
    for (const auto& [code, offset] : playedKeys)
        if (code == nativeScanCode)
            return offset;
    return std::nullopt;
}

std::optional<int32_t> pianoFileKey(uint32_t nativeScanCode, int baseOctave) {
    const std::optional<int> offset = pianoKeyOffset(nativeScanCode);
    if (!offset)
        return std::nullopt;
    const int32_t key = 12 * std::clamp(baseOctave, lowestBaseOctave, highestBaseOctave) + *offset;
    if (key > highestFileKey)
        return std::nullopt;
    return key;
}

int shiftedBaseOctave(int baseOctave, int by) {
    return std::clamp(baseOctave + by, lowestBaseOctave, highestBaseOctave);
}

}  // namespace tromel::roll
