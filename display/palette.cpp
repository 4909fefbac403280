#include "display/palette.h"

#include "display/screen.h"

namespace display {

namespace {

// The VGA's 6-bit levels widened to 8 bits.
constexpr std::uint8_t widen(int level_6bit) {
  return level_6bit * 255 / 63;
}

constexpr std::uint32_t colour6(int red, int green, int blue) {
  return pack_colour(widen(red), widen(green), widen(blue));
}

// Each ring runs from blue through magenta, red, yellow, green and cyan back
// towards blue, built from five levels a < b < c < d < e.
constexpr int RING_PATTERN[24][3] = {
    {0, 0, 4}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1},
    {4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0}, {2, 4, 0}, {1, 4, 0},
    {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4},
};

// Levels of the nine rings: three brightnesses, each at full, pale and paler
// saturation.
constexpr int RING_LEVELS[9][5] = {
    {0, 16, 31, 47, 63}, {31, 39, 47, 55, 63}, {45, 49, 54, 58, 63},
    {0, 7, 14, 21, 28},  {14, 17, 21, 24, 28}, {20, 22, 24, 26, 28},
    {0, 4, 8, 12, 16},   {8, 10, 12, 14, 16},  {11, 12, 13, 15, 16},
};

constexpr int GREY_LEVELS[16] = {0, 5, 8, 11, 14, 17, 20, 24, 28, 32, 36, 40, 45, 50, 56, 63};

constexpr Palette make_default_palette() {
  Palette palette{};
  // The 16 text colours: bit 0 blue, bit 1 green, bit 2 red, bit 3 bright;
  // colour 6 is brown, its green at half level.
  for (int i = 0; i < 16; ++i) {
    const int bright = (i & 8) ? 21 : 0;
    const int red = ((i & 4) ? 42 : 0) + bright;
    int green = ((i & 2) ? 42 : 0) + bright;
    const int blue = ((i & 1) ? 42 : 0) + bright;
    if (i == 6) green = 21;
    palette[i] = colour6(red, green, blue);
  }
  for (int i = 0; i < 16; ++i) {
    palette[16 + i] = colour6(GREY_LEVELS[i], GREY_LEVELS[i], GREY_LEVELS[i]);
  }
  for (int ring = 0; ring < 9; ++ring) {
    for (int k = 0; k < 24; ++k) {
      const int* levels = RING_LEVELS[ring];
      palette[32 + ring * 24 + k] = colour6(levels[RING_PATTERN[k][0]], levels[RING_PATTERN[k][1]],
                                            levels[RING_PATTERN[k][2]]);
    }
  }
  // Entries 248 to 255 stay black.
  return palette;
}

constexpr Palette DEFAULT_PALETTE = make_default_palette();

}  // namespace

const Palette& default_palette() {
  return DEFAULT_PALETTE;
}

void hand_over_palette(ScreenRecord& screen) {
  for (int i = 0; i < 256; ++i) {
    const std::uint32_t colour = screen.palette[i];
    screen.link->set_colour(i, red_of(colour), green_of(colour), blue_of(colour));
  }
}

}  // namespace display
