// Writes the game's four pictures into a folder: 8-bit bitmaps whose colour
// table is the whole default palette, so loading any of them leaves the
// colours as they were.
//
// Usage: make_pictures FOLDER
#include <cstdio>
#include <string>

#include "display/palette.h"
#include "tools/bmp_file.h"

namespace {

constexpr int PADDLE_WIDTH_PX = 153;
constexpr int PADDLE_HEIGHT_PX = 196;
constexpr int PADDLE_BAR_WIDTH_PX = 12;
constexpr int BALL_SIZE_PX = 40;
constexpr std::uint8_t PADDLE_COLOUR = 15;  // white
constexpr std::uint8_t BALL_COLOUR = 14;    // yellow

tools::Bitmap blank(int width, int height) {
  tools::Bitmap bitmap;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.bits = 8;
  for (const std::uint32_t colour : display::default_palette()) {
    bitmap.colours.push_back(
        {display::red_of(colour), display::green_of(colour), display::blue_of(colour)});
  }
  bitmap.pixels.assign(static_cast<std::size_t>(width) * height, 0);
  return bitmap;
}

// A vertical bar along the right edge; the rest is index 0, which XOR leaves alone.
tools::Bitmap paddle() {
  tools::Bitmap bitmap = blank(PADDLE_WIDTH_PX, PADDLE_HEIGHT_PX);
  for (int y = 0; y < PADDLE_HEIGHT_PX; ++y) {
    for (int x = PADDLE_WIDTH_PX - PADDLE_BAR_WIDTH_PX; x < PADDLE_WIDTH_PX; ++x) {
      bitmap.pixels[y * PADDLE_WIDTH_PX + x] = PADDLE_COLOUR;
    }
  }
  return bitmap;
}

// A disc filling the square: pixels whose centre lies inside the circle.
tools::Bitmap ball() {
  tools::Bitmap bitmap = blank(BALL_SIZE_PX, BALL_SIZE_PX);
  const int radius_x2 = BALL_SIZE_PX;  // doubled, so that pixel centres are whole numbers
  for (int y = 0; y < BALL_SIZE_PX; ++y) {
    for (int x = 0; x < BALL_SIZE_PX; ++x) {
      const int dx = 2 * x + 1 - BALL_SIZE_PX;
      const int dy = 2 * y + 1 - BALL_SIZE_PX;
      if (dx * dx + dy * dy <= radius_x2 * radius_x2)
        bitmap.pixels[y * BALL_SIZE_PX + x] = BALL_COLOUR;
    }
  }
  return bitmap;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_pictures FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const struct {
    const char* name;
    tools::Bitmap bitmap;
  } pictures[] = {
      {"penis.bmp", paddle()},
      {"ball.bmp", ball()},
      {"black.bmp", blank(BALL_SIZE_PX, BALL_SIZE_PX)},
      {"black2.bmp", blank(PADDLE_WIDTH_PX, PADDLE_HEIGHT_PX)},
  };
  for (const auto& picture : pictures) {
    const std::string path = folder + "/" + picture.name;
    if (!tools::write_file(path, tools::encode_bmp(picture.bitmap))) {
      std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
