// The screen palette: 256 colours, each one 32-bit word with red in bits 0-7,
// green in 8-15 and blue in 16-23.
#pragma once

#include <array>
#include <cstdint>

namespace display {

struct ScreenRecord;

using Palette = std::array<std::uint32_t, 256>;

constexpr std::uint32_t pack_colour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return red | (std::uint32_t{green} << 8) | (std::uint32_t{blue} << 16);
}
constexpr std::uint8_t red_of(std::uint32_t colour) {
  return colour & 0xFF;
}
constexpr std::uint8_t green_of(std::uint32_t colour) {
  return (colour >> 8) & 0xFF;
}
constexpr std::uint8_t blue_of(std::uint32_t colour) {
  return (colour >> 16) & 0xFF;
}

// The standard VGA default 256-colour palette, widened from 6 to 8 bits.
const Palette& default_palette();

// Gives all 256 entries of the screen palette, in order, to the presentation
// colours. The caller holds the display lock.
void hand_over_palette(ScreenRecord& screen);

}  // namespace display
