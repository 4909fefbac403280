// The game's window icon: the yellow ball on a transparent square.
#include "window/program_icon.h"

#include <array>

namespace {

constexpr int ICON_SIZE_PX = 32;

constexpr std::array<std::uint32_t, ICON_SIZE_PX * ICON_SIZE_PX> make_ball() {
  std::array<std::uint32_t, ICON_SIZE_PX * ICON_SIZE_PX> pixels{};
  for (int y = 0; y < ICON_SIZE_PX; ++y) {
    for (int x = 0; x < ICON_SIZE_PX; ++x) {
      const int dx = 2 * x + 1 - ICON_SIZE_PX;
      const int dy = 2 * y + 1 - ICON_SIZE_PX;
      if (dx * dx + dy * dy <= ICON_SIZE_PX * ICON_SIZE_PX) {
        pixels[y * ICON_SIZE_PX + x] = 0xFFFFFF55u;  // opaque yellow, palette colour 14
      }
    }
  }
  return pixels;
}

constexpr auto BALL = make_ball();

}  // namespace

extern "C" const ProgramIcon QZ_PROGRAM_ICON = {ICON_SIZE_PX, ICON_SIZE_PX, BALL.data()};
