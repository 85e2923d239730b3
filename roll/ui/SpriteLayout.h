// Where each piece of roll artwork sits on the sprite sheet, shared by the roll and its generator.
#pragma once

#include <array>
#include <cstdint>

namespace tromel::roll::sprite {

struct Rect {
    int x;
    int y;
    int width;
    int height;
};

inline constexpr int sheetWidth = 257;
inline constexpr int sheetHeight = 356;

inline constexpr Rect whiteKey{0, 0, 65, 12};
inline constexpr Rect blackKey{0, 12, 65, 12};
inline constexpr Rect blackKeyLane{0, 24, 256, 12};
inline constexpr Rect whiteKeyLane{0, 36, 256, 12};
inline constexpr Rect panelTile{0, 48, 256, 144};
inline constexpr Rect panelLabel{0, 192, 65, 144};
inline constexpr Rect mark{65, 192, 16, 5};
inline constexpr Rect cursorTile{161, 10, 12, 11};

// Note boxes: bright for the current channel, dark for the others.
constexpr Rect noteBox(int channel, bool current) {
    return {(current ? 65 : 161) + 12 * channel, 0, 12, 10};
}
// The middle of a note box without its side edges, joining two boxes of one note.
constexpr Rect bridge(int channel, bool current) {
    return {(current ? 66 : 162) + 12 * channel, 0, 6, 10};
}
// A selected note of the current channel: its box lighter and outlined, and the bridge to match.
constexpr Rect selectedNoteBox(int channel) {
    return {65 + 12 * channel, 336, 12, 10};
}
constexpr Rect selectedBridge(int channel) {
    return {66 + 12 * channel, 336, 6, 10};
}
// The source x of a digit is 65 + 4 * digit; the roll asks for digit 7 - b of octave block b.
constexpr Rect digit(int value) {
    return {65 + 4 * value, 12, 4, 10};
}

// Main colours of the note boxes, 0xRRGGBB, per channel.
inline constexpr std::array<uint32_t, 8> brightNoteColours{0x006699, 0x990000, 0x339900, 0xFF9933,
                                                           0xCC66CC, 0x99CC99, 0x996600, 0xFF33CC};
inline constexpr std::array<uint32_t, 8> darkNoteColours{0x1F2C52, 0x521F1F, 0x1F521F, 0x9D521F,
                                                         0x782C78, 0x527852, 0x522C1F, 0x9D1F78};

inline constexpr uint32_t blackLaneGround = 0x1F1F1F;
inline constexpr uint32_t whiteLaneGround = 0x333333;
inline constexpr uint32_t blackLaneLine = 0x4C7159;
inline constexpr uint32_t whiteLaneLine = 0x7E9F77;
inline constexpr uint32_t rowSeparator = 0x222B32;
inline constexpr uint32_t labelGround = 0x22272B;  // behind the panel label's words
inline constexpr uint32_t cursorRed = 0xFF0000;
inline constexpr uint32_t selectedOutline = 0xFFFFFF;
inline constexpr uint32_t bandOutline = 0xF0F0F0;
// The loop's two ends, in a colour no note, grid line or cursor has.
inline constexpr uint32_t loopLine = 0x40E0E0;
// Step entry's edit cursor, over the notes: again a colour of its own.
inline constexpr uint32_t editCursorLine = 0xFFE040;
inline constexpr int editCursorWidth = 2;

// An octave read from its highest key down: true for a black key.
inline constexpr std::array<bool, 12> octaveIsBlack{false, true,  false, true,  false, true,
                                                    false, false, true,  false, true,  false};

}  // namespace tromel::roll::sprite
