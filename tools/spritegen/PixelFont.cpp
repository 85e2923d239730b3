// Glyphs of the sprite sheet's pixel font: digits 0-7 and the letters of Right, Pan, Left and Volume.
#include "tools/spritegen/PixelFont.h"

#include <array>
#include <string_view>

namespace tromel::spritegen {
namespace {

struct Glyph {
    char letter;
    std::array<std::string_view, 8> rows;  // '#' is ink; row 7 is the descender
};

// clang-format off
constexpr Glyph glyphs[] = {
    {'0', {"###", "#.#", "#.#", "#.#", "#.#", "#.#", "###", "..."}},
    {'1', {".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###", "..."}},
    {'2', {"###", "..#", "..#", "###", "#..", "#..", "###", "..."}},
    {'3', {"###", "..#", "..#", ".##", "..#", "..#", "###", "..."}},
    {'4', {"#.#", "#.#", "#.#", "###", "..#", "..#", "..#", "..."}},
    {'5', {"###", "#..", "#..", "###", "..#", "..#", "###", "..."}},
    {'6', {"###", "#..", "#..", "###", "#.#", "#.#", "###", "..."}},
    {'7', {"###", "..#", "..#", ".#.", ".#.", ".#.", ".#.", "..."}},
    {'R', {"###.", "#..#", "#..#", "###.", "#.#.", "#..#", "#..#", "...."}},
    {'P', {"###.", "#..#", "#..#", "###.", "#...", "#...", "#...", "...."}},
    {'L', {"#...", "#...", "#...", "#...", "#...", "#...", "####", "...."}},
    {'V', {"#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#..", "....."}},
    {'i', {"#", ".", "#", "#", "#", "#", "#", "."}},
    {'l', {"#", "#", "#", "#", "#", "#", "#", "."}},
    {'g', {"....", "....", ".###", "#..#", "#..#", ".###", "...#", "###."}},
    {'h', {"#...", "#...", "###.", "#..#", "#..#", "#..#", "#..#", "...."}},
    {'t', {".#.", ".#.", "###", ".#.", ".#.", ".#.", "..#", "..."}},
    {'a', {"....", "....", ".###", "#..#", "#..#", "#..#", ".###", "...."}},
    {'n', {"....", "....", "###.", "#..#", "#..#", "#..#", "#..#", "...."}},
    {'e', {"....", "....", ".##.", "#..#", "####", "#...", ".###", "...."}},
    {'f', {".##", "#..", "###", "#..", "#..", "#..", "#..", "..."}},
    {'o', {"....", "....", ".##.", "#..#", "#..#", "#..#", ".##.", "...."}},
    {'u', {"....", "....", "#..#", "#..#", "#..#", "#..#", ".###", "...."}},
    {'m', {".....", ".....", "####.", "#.#.#", "#.#.#", "#.#.#", "#.#.#", "....."}},
};
// clang-format on

const Glyph* findGlyph(QChar letter) {
    for (const Glyph& glyph : glyphs) {
        if (glyph.letter == letter)
            return &glyph;
    }
    return nullptr;
}

int advance(QChar letter) {
    const Glyph* glyph = findGlyph(letter);
    return glyph ? static_cast<int>(glyph->rows[0].size()) + 1 : 3;  // unknown letters print as a gap
}

void drawGlyph(QImage& image, int x, int y, const Glyph& glyph, QRgb colour) {
    for (int row = 0; row < static_cast<int>(glyph.rows.size()); ++row) {
        for (int column = 0; column < static_cast<int>(glyph.rows[row].size()); ++column) {
            if (glyph.rows[row][column] == '#' && image.valid(x + column, y + row))
                image.setPixel(x + column, y + row, colour);
        }
    }
}

}  // namespace

int drawPixelText(QImage& image, int x, int y, const QString& text, QRgb colour) {
    for (QChar letter : text) {
        if (const Glyph* glyph = findGlyph(letter))
            drawGlyph(image, x, y, *glyph, colour);
        x += advance(letter);
    }
    return x;
}

int pixelTextWidth(const QString& text) {
    int width = 0;
    for (QChar letter : text)
        width += advance(letter);
    return width > 0 ? width - 1 : 0;
}

}  // namespace tromel::spritegen
