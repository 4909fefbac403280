// The built-in 8 by 16 text font, one glyph for every byte value in code page
// 437 order: 16 bytes a glyph, top row first, the high bit the leftmost pixel.
#pragma once

#include <array>
#include <cstdint>

namespace display {

constexpr int GLYPH_WIDTH_PX = 8;
constexpr int GLYPH_HEIGHT_PX = 16;

extern const std::array<std::uint8_t, 4096> FONT_8X16;

}  // namespace display
