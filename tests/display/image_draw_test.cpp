// put_image: which work-page bytes it changes and how, which rows it marks, and
// when it takes the display lock.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "display/image.h"
#include "display/screen.h"
#include "tests/support/fake_link.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int PAGE_WIDTH = 800;
constexpr int PAGE_HEIGHT = 600;
constexpr int XOR = display::RASTER_XOR;
constexpr int AND = display::RASTER_AND;

Bytes record(int width, int height, const Bytes& pixels, int code = 0) {
  const unsigned word0 = static_cast<unsigned>(width) * 8 + static_cast<unsigned>(code);
  Bytes bytes(4 + pixels.size());
  bytes[0] = static_cast<std::uint8_t>(word0 & 0xFF);
  bytes[1] = static_cast<std::uint8_t>(word0 >> 8);
  bytes[2] = static_cast<std::uint8_t>(height & 0xFF);
  bytes[3] = static_cast<std::uint8_t>(height >> 8);
  std::copy(pixels.begin(), pixels.end(), bytes.begin() + 4);
  return bytes;
}

// Pixel (c, r) of a numbered picture: never 0, and neighbours differ.
std::uint8_t numbered(int width, int c, int r) {
  return static_cast<std::uint8_t>(1 + (r * width + c) % 251);
}

Bytes numbered_picture(int width, int height, int code = 0) {
  Bytes pixels;
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < width; ++c) pixels.push_back(numbered(width, c, r));
  }
  return record(width, height, pixels, code);
}

class PutImageTest : public testing_support::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    clear_marks();
  }

  Bytes page_bytes(int number) {
    return Bytes(page(number), page(number) + PAGE_WIDTH * PAGE_HEIGHT);
  }

  // A background with every byte value and no long runs.
  void fill_pattern(int number) {
    for (int y = 0; y < PAGE_HEIGHT; ++y) {
      for (int x = 0; x < PAGE_WIDTH; ++x) {
        page(number)[y * PAGE_WIDTH + x] = static_cast<std::uint8_t>(x * 3 + y * 7 + 1);
      }
    }
  }

  // The first few page bytes that differ from `expected`, or "" when none do.
  std::string differences(int number, const Bytes& expected) {
    std::ostringstream out;
    int shown = 0;
    for (int i = 0; i < PAGE_WIDTH * PAGE_HEIGHT && shown < 6; ++i) {
      if (page(number)[i] != expected[i]) {
        out << "(" << i % PAGE_WIDTH << ", " << i / PAGE_WIDTH << ") is " << int{page(number)[i]}
            << ", want " << int{expected[i]} << "; ";
        ++shown;
      }
    }
    return out.str();
  }

  // The marks as a list of marked rows.
  std::vector<int> marked() {
    std::vector<int> rows;
    for (int y = 0; y < PAGE_HEIGHT; ++y) {
      if (screen().redraw_marks[y] != 0) rows.push_back(y);
    }
    return rows;
  }

  static std::vector<int> rows_from(int first, int count) {
    std::vector<int> rows;
    for (int y = first; y < first + count; ++y) rows.push_back(y);
    return rows;
  }
};

// ---------------------------------------------------------------------------
// Clipping: a numbered picture XORed onto the all-zero page shows exactly the
// part given by hand, marks exactly those rows and takes the lock once.

struct Clip {
  const char* name;
  float x, y;
  int width, height;
  // Where the visible part lands and which part of the picture it is.
  int page_column, page_row, columns, rows, skip_columns, skip_rows;
};

const Clip CLIPS[] = {
    {"Inside", 5, 7, 3, 2, 5, 7, 3, 2, 0, 0},
    {"LeftAtMinus10", -10, 3, 12, 2, 0, 3, 2, 2, 10, 0},
    {"OneColumnLeft", -11, 3, 12, 2, 0, 3, 1, 2, 11, 0},
    {"Top", 4, -1, 3, 2, 4, 0, 3, 1, 0, 1},
    {"Right", 798, 5, 3, 2, 798, 5, 2, 2, 0, 0},
    {"BottomAt590", 6, 590, 2, 20, 6, 590, 2, 10, 0, 0},
    {"BottomRightPixel", 799, 599, 3, 2, 799, 599, 1, 1, 0, 0},
    {"TopLeftPixel", -2, -1, 3, 2, 0, 0, 1, 1, 2, 1},
    {"WiderThanThePage", -1, 9, 802, 1, 0, 9, 800, 1, 1, 0},
    {"TallerThanThePage", 3, -1, 1, 602, 3, 0, 1, 600, 0, 1},
    {"WholePage", 0, 0, 800, 600, 0, 0, 800, 600, 0, 0},
    {"WidestRecord", -8000, 0, 8191, 1, 0, 0, 191, 1, 8000, 0},
    {"TallestRecord", 0, -65000, 1, 65535, 0, 0, 1, 535, 0, 65000},
};

class PutImageClipTest : public PutImageTest, public ::testing::WithParamInterface<Clip> {};

TEST_P(PutImageClipTest, ShowsOnlyThePartOnThePage) {
  const Clip& c = GetParam();
  const Bytes image = numbered_picture(c.width, c.height);

  EXPECT_EQ(display::put_image(c.x, c.y, image, XOR), 0);

  Bytes expected(PAGE_WIDTH * PAGE_HEIGHT, 0);
  for (int r = 0; r < c.rows; ++r) {
    for (int k = 0; k < c.columns; ++k) {
      expected[(c.page_row + r) * PAGE_WIDTH + c.page_column + k] =
          numbered(c.width, c.skip_columns + k, c.skip_rows + r);
    }
  }
  EXPECT_EQ(differences(0, expected), "");
  EXPECT_EQ(differences(1, Bytes(expected.size(), 0)), "");
  EXPECT_EQ(marked(), rows_from(c.page_row, c.rows));
  EXPECT_EQ(lock_takes(), 1);
}

INSTANTIATE_TEST_SUITE_P(Edges, PutImageClipTest, ::testing::ValuesIn(CLIPS),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Calls that draw nothing: no page byte, no mark and no lock take.

struct Nothing {
  const char* name;
  float x, y;
  Bytes image;
  int mode;
  int result;
};

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr float INF = std::numeric_limits<float>::infinity();

const Nothing NOTHINGS[] = {
    {"RightEdgeAtColumn0", -12, 0, numbered_picture(12, 2), XOR, 0},
    {"StartsAtColumn800", 800, 0, numbered_picture(3, 2), XOR, 0},
    {"StartsAtRow600", 0, 600, numbered_picture(3, 2), AND, 0},
    {"BottomEdgeAtRow0", 5, -2, numbered_picture(3, 2), AND, 0},
    {"RoundsOntoColumn800", 799.5f, 0, numbered_picture(3, 2), AND, 0},
    {"Width0", 5, 5, record(0, 5, {}), AND, 0},
    {"Height0", 5, 5, record(5, 0, {}), AND, 0},
    {"Code2", 5, 5, numbered_picture(3, 2, 2), XOR, 1},
    {"Code4", 5, 5, numbered_picture(3, 2, 4), AND, 1},
    {"Code7", 5, 5, numbered_picture(3, 2, 7), XOR, 1},
    {"Code2OnAnEmptyPicture", 5, 5, record(0, 0, {}, 2), XOR, 1},
    {"Mode0", 5, 5, numbered_picture(3, 2), 0, 1},
    {"Mode1", 5, 5, numbered_picture(3, 2), 1, 1},
    {"Mode4", 5, 5, numbered_picture(3, 2), 4, 1},
    {"Mode6", 5, 5, numbered_picture(3, 2), 6, 1},
    {"ModeMinus5", 5, 5, numbered_picture(3, 2), -5, 1},
    // The header claims more pixels than the span holds.
    {"OnePixelMissing", 5, 5, record(3, 2, {1, 2, 3, 4, 5}), XOR, 1},
    {"OnlyAHeader", 5, 5, record(3, 2, {}), AND, 1},
    {"HalfAHeader", 5, 5, {0x18, 0x00}, XOR, 1},
    {"NoBytes", 5, 5, {}, XOR, 1},
    // Coordinates no pixel position holds.
    {"NaNX", NaN, 5, numbered_picture(3, 2), XOR, 0},
    {"NaNY", 5, NaN, numbered_picture(3, 2), AND, 0},
    {"InfiniteX", INF, 5, numbered_picture(3, 2), XOR, 0},
    {"MinusInfiniteY", 5, -INF, numbered_picture(3, 2), XOR, 0},
    {"HugeX", 1e30f, 5, numbered_picture(3, 2), XOR, 0},
    {"HugeNegativeX", -1e30f, 5, numbered_picture(3, 2), XOR, 0},
    {"XBeyond32Bits", 3e9f, 5, numbered_picture(3, 2), XOR, 0},
    {"LowestIntX", -2147483648.0f, 5, numbered_picture(3, 2), XOR, 0},
    {"HighFloatBelow2To31Y", 5, 2147483520.0f, numbered_picture(3, 2), XOR, 0},
    {"HugeNegativeYTallPicture", 5, -1e30f, numbered_picture(1, 700), XOR, 0},
};

class PutImageNothingTest : public PutImageTest, public ::testing::WithParamInterface<Nothing> {};

TEST_P(PutImageNothingTest, LeavesPagesMarksAndLockAlone) {
  const Nothing& c = GetParam();
  fill_pattern(0);
  fill_pattern(1);
  const Bytes before = page_bytes(0);
  // Exactly the bytes of the case: nothing after them to read by mistake.
  const Bytes image(c.image);

  EXPECT_EQ(display::put_image(c.x, c.y, image, c.mode), c.result);

  EXPECT_EQ(differences(0, before), "");
  EXPECT_EQ(differences(1, before), "");
  EXPECT_EQ(marked(), std::vector<int>{});
  EXPECT_EQ(lock_takes(), 0);
}

INSTANTIATE_TEST_SUITE_P(Refused, PutImageNothingTest, ::testing::ValuesIn(NOTHINGS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PutImageTest, NoScreenGivesOne) {
  display::close_screen();

  EXPECT_EQ(display::put_image(5, 5, numbered_picture(3, 2), XOR), 1);
  EXPECT_EQ(lock_takes(), 0);
}

// ---------------------------------------------------------------------------
// Coordinates are rounded half away from zero, whatever the float's sum in
// single precision would be.

struct Rounding {
  const char* name;
  float x, y;
  int column, row;
};

const Rounding ROUNDINGS[] = {
    {"X2_05", 2.05f, 10, 2, 10},
    {"X2_49", 2.49f, 10, 2, 10},
    {"X2_5", 2.5f, 10, 3, 10},
    {"X1_5", 1.5f, 10, 2, 10},
    {"X0_49", 0.49f, 10, 0, 10},
    {"XLargestBelowHalf", std::nextafter(0.5f, 0.0f), 10, 0, 10},
    {"X0_5", 0.5f, 10, 1, 10},
    {"X0", 0.0f, 10, 0, 10},
    {"XMinusZero", -0.0f, 10, 0, 10},
    {"XMinus0_49", -0.49f, 10, 0, 10},
    {"XMinusLargestBelowHalf", -std::nextafter(0.5f, 0.0f), 10, 0, 10},
    {"XMinus0_5", -0.5f, 10, -1, 10},
    {"XMinus1_5", -1.5f, 10, -2, 10},
    {"XMinus2_5", -2.5f, 10, -3, 10},
    {"XMinus2_49", -2.49f, 10, -2, 10},
    {"Y2_5", 20, 2.5f, 20, 3},
    {"Y2_49", 20, 2.49f, 20, 2},
    {"YMinus0_5", 20, -0.5f, 20, -1},
    {"YLargestBelowHalf", 20, std::nextafter(0.5f, 0.0f), 20, 0},
    {"Y596_5", 20, 596.5f, 20, 597},
};

class PutImageRoundingTest : public PutImageTest, public ::testing::WithParamInterface<Rounding> {};

TEST_P(PutImageRoundingTest, PlacesThePictureAtTheRoundedPosition) {
  const Rounding& c = GetParam();
  constexpr int W = 5;
  constexpr int H = 3;

  EXPECT_EQ(display::put_image(c.x, c.y, numbered_picture(W, H), XOR), 0);

  Bytes expected(PAGE_WIDTH * PAGE_HEIGHT, 0);
  for (int r = 0; r < H; ++r) {
    for (int k = 0; k < W; ++k) {
      const int x = c.column + k;
      const int y = c.row + r;
      if (x >= 0 && y >= 0 && x < PAGE_WIDTH && y < PAGE_HEIGHT) {
        expected[y * PAGE_WIDTH + x] = numbered(W, k, r);
      }
    }
  }
  EXPECT_EQ(differences(0, expected), "");
}

INSTANTIATE_TEST_SUITE_P(HalfAwayFromZero, PutImageRoundingTest, ::testing::ValuesIn(ROUNDINGS),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The raster operations work on the index bytes; no index is transparent.

struct Raster {
  const char* name;
  int mode;
  int code;
  Bytes result;  // over page bytes 0xCA
};

const Bytes RASTER_PICTURE = {0x00, 0xFF, 0x0F, 0xF0, 0x55, 0xAA};

const Raster RASTERS[] = {
    {"Xor", XOR, 0, {0xCA, 0x35, 0xC5, 0x3A, 0x9F, 0x60}},
    {"XorWithCode1", XOR, 1, {0xCA, 0x35, 0xC5, 0x3A, 0x9F, 0x60}},
    {"And", AND, 0, {0x00, 0xCA, 0x0A, 0xC0, 0x40, 0x8A}},
    {"AndWithCode1", AND, 1, {0x00, 0xCA, 0x0A, 0xC0, 0x40, 0x8A}},
};

class PutImageRasterTest : public PutImageTest, public ::testing::WithParamInterface<Raster> {};

TEST_P(PutImageRasterTest, CombinesEachIndexByte) {
  const Raster& c = GetParam();
  fill_pattern(0);
  for (int r = 0; r < 2; ++r) {
    for (int k = 0; k < 3; ++k) page(0)[(20 + r) * PAGE_WIDTH + 10 + k] = 0xCA;
  }
  Bytes expected = page_bytes(0);

  EXPECT_EQ(display::put_image(10, 20, record(3, 2, RASTER_PICTURE, c.code), c.mode), 0);

  for (int i = 0; i < 6; ++i) expected[(20 + i / 3) * PAGE_WIDTH + 10 + i % 3] = c.result[i];
  EXPECT_EQ(differences(0, expected), "");
}

INSTANTIATE_TEST_SUITE_P(Modes, PutImageRasterTest, ::testing::ValuesIn(RASTERS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PutImageTest, XorTwiceRestoresThePage) {
  const struct { float x, y; } places[] = {{10, 20}, {-1, 598}, {797.4f, -1.6f}};
  fill_pattern(0);
  const Bytes before = page_bytes(0);
  const Bytes image = numbered_picture(4, 3);
  for (const auto& place : places) {
    SCOPED_TRACE(testing::Message() << "at " << place.x << ", " << place.y);
    EXPECT_EQ(display::put_image(place.x, place.y, image, XOR), 0);
    EXPECT_NE(differences(0, before), "");
    EXPECT_EQ(display::put_image(place.x, place.y, image, XOR), 0);
    EXPECT_EQ(differences(0, before), "");
  }
}

TEST_F(PutImageTest, AndWithAnAllZeroPictureClearsTheClippedRectangle) {
  fill_pattern(0);
  Bytes expected = page_bytes(0);

  EXPECT_EQ(display::put_image(798, -1, record(3, 2, Bytes(6, 0)), AND), 0);
  EXPECT_EQ(display::put_image(100, 200, record(4, 3, Bytes(12, 0)), AND), 0);

  expected[798] = expected[799] = 0;
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 4; ++k) expected[(200 + r) * PAGE_WIDTH + 100 + k] = 0;
  }
  EXPECT_EQ(differences(0, expected), "");
}

TEST_F(PutImageTest, XorOverIndexZeroLeavesThePictureIndices) {
  const Bytes pixels = {0, 7, 255, 1, 0, 128};

  EXPECT_EQ(display::put_image(30, 40, record(3, 2, pixels), XOR), 0);

  Bytes expected(PAGE_WIDTH * PAGE_HEIGHT, 0);
  for (int i = 0; i < 6; ++i) expected[(40 + i / 3) * PAGE_WIDTH + 30 + i % 3] = pixels[i];
  EXPECT_EQ(differences(0, expected), "");
}

// ---------------------------------------------------------------------------
// Work page, marks and lock.

TEST_F(PutImageTest, DrawsOnTheWorkPageAndMarksOnlyWhenItIsShown) {
  const struct {
    int work, visible;
    bool marks;
  } pairs[] = {{0, 0, true}, {0, 1, false}, {1, 0, false}, {1, 1, true}};
  const Bytes image = numbered_picture(3, 2);
  for (const auto& pair : pairs) {
    SCOPED_TRACE(testing::Message() << "work " << pair.work << ", visible " << pair.visible);
    std::fill(page(0), page(0) + PAGE_WIDTH * PAGE_HEIGHT, 0);
    std::fill(page(1), page(1) + PAGE_WIDTH * PAGE_HEIGHT, 0);
    display::set_pages(pair.work, pair.visible);
    clear_marks();
    lock_takes();

    EXPECT_EQ(display::put_image(4, 598, image, XOR), 0);

    Bytes drawn(PAGE_WIDTH * PAGE_HEIGHT, 0);
    for (int i = 0; i < 6; ++i)
      drawn[(598 + i / 3) * PAGE_WIDTH + 4 + i % 3] = numbered(3, i % 3, i / 3);
    const Bytes blank(PAGE_WIDTH * PAGE_HEIGHT, 0);
    EXPECT_EQ(differences(pair.work, drawn), "");
    EXPECT_EQ(differences(1 - pair.work, blank), "");
    const std::vector<int> marks_wanted =
        pair.marks ? std::vector<int>{598, 599} : std::vector<int>{};
    EXPECT_EQ(marked(), marks_wanted);
    EXPECT_EQ(lock_takes(), 1);
  }
}

TEST_F(PutImageTest, LockAlreadyHeldIsNeitherTakenNorReleased) {
  screen().lock_held = true;

  EXPECT_EQ(display::put_image(1, 2, record(1, 1, {9}), XOR), 0);

  EXPECT_EQ(lock_takes(), 0);
  EXPECT_TRUE(screen().lock_held);
  EXPECT_EQ(pixel(0, 1, 2), 9);
  EXPECT_EQ(marked(), std::vector<int>{2});
}

}  // namespace
