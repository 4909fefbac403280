// Writes the picture the game's window must show at its ending: the lose
// message at the top-left in the built-in 8 by 16 font, white (palette colour
// 15) on black (colour 0), and the rest of the 800 by 600 drawing area black.
// The glyphs come from the font table itself, not from the text output code,
// so that a fault in placing or colouring text shows up.
//
// Usage: ending_picture OUT.ppm
#include <cstdint>
#include <cstdio>
#include <vector>

#include "display/font.h"
#include "game/constants.h"

namespace {

constexpr int WIDTH_PX = 800;
constexpr int HEIGHT_PX = 600;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ending_picture OUT.ppm\n");
    return 2;
  }
  std::vector<std::uint8_t> rgb(std::size_t(WIDTH_PX) * HEIGHT_PX * 3, 0);
  int left = 0;
  for (const char c : game::LOSE_MESSAGE) {
    const std::uint8_t* glyph =
        display::FONT_8X16.data() + static_cast<unsigned char>(c) * display::GLYPH_HEIGHT_PX;
    for (int r = 0; r < display::GLYPH_HEIGHT_PX; ++r) {
      for (int b = 0; b < display::GLYPH_WIDTH_PX; ++b) {
        if (glyph[r] & (0x80 >> b)) {
          std::uint8_t* pixel = &rgb[(std::size_t(r) * WIDTH_PX + left + b) * 3];
          pixel[0] = pixel[1] = pixel[2] = 255;
        }
      }
    }
    left += display::GLYPH_WIDTH_PX;
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(out, "P6\n%d %d\n255\n", WIDTH_PX, HEIGHT_PX);
  const bool written = std::fwrite(rgb.data(), 1, rgb.size(), out) == rgb.size();
  return std::fclose(out) == 0 && written ? 0 : 1;
}
