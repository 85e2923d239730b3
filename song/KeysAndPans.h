// The song's stored rows and pans against the file's keys and pans, and the file's keys against MIDI's: the one
// place that converts between them, for the reader and the writer, MIDI, the piano and the engine's pitch.
#pragma once

#include <concepts>
#include <cstdint>

namespace tromel {

// The file's keys 0 to 95 (57 is A4) are stored as the roll's rows, 96 down to 1 from the top.
inline constexpr int32_t fileKeyCount = 96;
// The file's pans 0 (left) to 12 (right), 6 the centre, are stored reflected likewise.
inline constexpr int32_t largestFilePan = 12;
inline constexpr int32_t semitonesPerOctave = 12;

// Any signed width, so that the writer reflects whatever a stored field holds without overflow.
template <std::signed_integral T>
constexpr T rowOfFileKey(T fileKey) {
    return static_cast<T>(fileKeyCount - fileKey);
}
template <std::signed_integral T>
constexpr T fileKeyOfRow(T row) {
    return static_cast<T>(fileKeyCount - row);
}
template <std::signed_integral T>
constexpr T storedPanOfFilePan(T filePan) {
    return static_cast<T>(largestFilePan - filePan);
}
template <std::signed_integral T>
constexpr T filePanOfStoredPan(T pan) {
    return static_cast<T>(largestFilePan - pan);
}

// A stored row that is one of the file's keys: a note's, not a pan or volume change's nor a key byte above 95.
constexpr bool isKeyRow(int64_t row) {
    return row >= 1 && row <= fileKeyCount;
}

// MIDI's keys run an octave above the file's: MIDI key 69 is file key 57, A4.
constexpr int32_t midiKeyOfFileKey(int32_t fileKey) {
    return fileKey + semitonesPerOctave;
}
constexpr int32_t fileKeyOfMidiKey(int32_t midiKey) {
    return midiKey - semitonesPerOctave;
}

// A key moved by whole octaves onto the file's keys 0 to 95; one of them stays as it is.
constexpr int32_t withinFileKeys(int32_t key) {
    if (key < 0)
        key += (semitonesPerOctave - 1 - key) / semitonesPerOctave * semitonesPerOctave;
    if (key >= fileKeyCount)
        key -= (key - fileKeyCount) / semitonesPerOctave * semitonesPerOctave + semitonesPerOctave;
    return key;
}

}  // namespace tromel
