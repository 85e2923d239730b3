// The computer keyboard as a piano: keys by their physical place to the keys of the roll.
#pragma once

#include <cstdint>
#include <optional>

namespace tromel::roll {

// The octave the lower row starts from: Z is C of the base octave, file key 12 × octave.
inline constexpr int lowestBaseOctave = 0;
inline constexpr int highestBaseOctave = 6;
inline constexpr int startingBaseOctave = 4;  // Z is file key 48, C4
inline constexpr int32_t highestFileKey = 95;

// Semitones above C of the base octave of the key with this native scan code, or nothing for a
// key that plays no note. Scan codes are the X keyboard's key codes (the Linux input event code
// plus 8, under X11 and Wayland alike), which name the place of a key, not its letter, so every
// layout plays the same shape: the lower row Z S X D C V G B H N J M from C of the base octave,
// the upper row Q 2 W 3 E R 5 T 6 Y 7 U I 9 O 0 P from the C above.
std::optional<int> pianoKeyOffset(uint32_t nativeScanCode);

// The file key (0 to 95) the key plays from `baseOctave`, or nothing: a key that plays no note,
// or one that would be above the roll's highest key.
std::optional<int32_t> pianoFileKey(uint32_t nativeScanCode, int baseOctave);

// A base octave moved by `by` octaves, kept within lowestBaseOctave..highestBaseOctave.
int shiftedBaseOctave(int baseOctave, int by);

}  // namespace tromel::roll
