// Inputs the picture fuzzer (fuzz/picture_fuzzer.cpp) found faults with: each
// is loaded into its buffer and drawn as the fuzzer did it. The faults were
// undefined behaviour that only the sanitizer build (tools/sanitize.sh) sees
// fail; the results and the buffer are checked in every build.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "display/image.h"
#include "tests/support/fake_link.h"
#include "tests/support/temp_folder.h"
#include "tools/bmp_file.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint8_t FILL = 0xCC;

Bytes bitmap_of_width_zero(std::uint16_t bits, int height) {
  tools::Bitmap bitmap;
  bitmap.width = 0;
  bitmap.height = height;
  bitmap.bits = bits;
  bitmap.colours = {{1, 2, 3}};
  return tools::encode_bmp(bitmap);
}

struct Found {
  const char* name;
  Bytes file;
  std::size_t capacity;
  int load_result;
  Bytes header;  // the buffer's first bytes after the load; the rest keeps FILL
  float x;
  float y;
  int mode;
  int draw_result;
};

class PictureFuzzRegression : public testing_support::ScreenTest,
                              public ::testing::WithParamInterface<Found> {
 protected:
  testing_support::TempFolder folder;
};

TEST_P(PictureFuzzRegression, LoadsAndDrawsAsTheRecordSays) {
  const Found& c = GetParam();
  const std::string path = folder.write("picture.bmp", c.file);
  Bytes buffer(c.capacity, FILL);
  std::fill(page(0), page(0) + 800 * 600, 0x5A);

  EXPECT_EQ(display::load_image(path.c_str(), buffer), c.load_result);
  Bytes expected(c.capacity, FILL);
  std::copy(c.header.begin(), c.header.end(), expected.begin());
  EXPECT_EQ(buffer, expected);

  EXPECT_EQ(display::put_image(c.x, c.y, buffer, c.mode), c.draw_result);
  EXPECT_EQ(std::count(page(0), page(0) + 800 * 600, 0x5A), 800 * 600) << "an empty picture drew";
}

// A bitmap 0 pixels wide: its rows are empty, and copying an empty row passed
// a null pointer to memcpy.
const Found FOUND[] = {
    {"EightBitsWidthZero",
     bitmap_of_width_zero(8, 5),
     3215,
     display::RESULT_DONE,
     {0, 0, 5, 0},
     -2.5f,
     598.25f,
     display::RASTER_XOR,
     display::RESULT_DONE},
    {"FourBitsWidthZero",
     bitmap_of_width_zero(4, 300),
     30143,
     display::RESULT_DONE,
     {0, 0, 44, 1},
     10,
     10,
     display::RASTER_AND,
     display::RESULT_DONE},
    {"OneBitWidthZero",
     bitmap_of_width_zero(1, 1),
     3215,
     display::RESULT_DONE,
     {0, 0, 1, 0},
     0,
     0,
     display::RASTER_XOR,
     display::RESULT_DONE},
};

INSTANTIATE_TEST_SUITE_P(Found, PictureFuzzRegression, ::testing::ValuesIn(FOUND),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
