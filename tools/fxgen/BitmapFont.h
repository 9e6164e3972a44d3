// A small 5 x 7 bitmap font of our own for text in generated pictures.
#pragma once

#include <cstdint>

namespace BitmapFont {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

// Seven rows, bit 4 the leftmost column; a blank glyph for unknown characters.
const uint8_t* Glyph(char c);

}  // namespace BitmapFont
