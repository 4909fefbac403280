// load_image: which files it reads, what it writes into the caller's buffer and
// what it does to the screen palette, the redraw marks and the display lock.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "display/image.h"
#include "display/palette.h"
#include "display/screen.h"
#include "tests/support/fake_link.h"
#include "tests/support/temp_folder.h"
#include "tools/bmp_file.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using display::Palette;

// What a buffer holds before a load: anything the loader leaves alone stays this.
constexpr std::uint8_t FILL = 0xCC;
constexpr std::uint8_t PAD = 0xEE;  // padding bytes in hand-made rows, never a pixel

// The 3 by 2 bitmap most cases start from: a 2-entry colour table, 8 bits per pixel.
tools::Bitmap three_by_two(std::uint16_t bits = 8) {
  tools::Bitmap bitmap;
  bitmap.width = 3;
  bitmap.height = 2;
  bitmap.bits = bits;
  bitmap.colours = {{10, 20, 30}, {40, 50, 60}};
  bitmap.pixels = {1, 0, 1, 0, 1, 1};
  return bitmap;
}

Bytes bmp() {
  return tools::encode_bmp(three_by_two());
}

Bytes with_u16(Bytes bytes, std::size_t at, std::uint16_t value) {
  tools::put_u16(bytes, at, value);
  return bytes;
}

Bytes with_u32(Bytes bytes, std::size_t at, std::uint32_t value) {
  tools::put_u32(bytes, at, value);
  return bytes;
}

Bytes cut(Bytes bytes, std::size_t length) {
  bytes.resize(length);
  return bytes;
}

// A bit-field bitmap as the loader reads one: header, the 2-entry colour table,
// then the three masks (or only mask_bytes of them).
Bytes bit_fields(std::uint16_t bits, std::uint32_t red_mask, std::size_t mask_bytes = 12) {
  Bytes bytes = cut(bmp(), tools::BMP_HEADER_BYTES + 8);
  tools::put_u16(bytes, tools::BMP_BITS_AT, bits);
  tools::put_u32(bytes, tools::BMP_COMPRESSION_AT, 3);
  const std::uint32_t masks[3] = {red_mask, 0x0000FF00, 0x000000FF};
  for (std::size_t i = 0; i < mask_bytes; ++i) {
    bytes.push_back(static_cast<std::uint8_t>(masks[i / 4] >> (8 * (i % 4))));
  }
  return bytes;
}

Bytes record_header(int width, int height) {
  const unsigned word0 = static_cast<unsigned>(width) * 8;
  return {static_cast<std::uint8_t>(word0 & 0xFF), static_cast<std::uint8_t>(word0 >> 8),
          static_cast<std::uint8_t>(height & 0xFF), static_cast<std::uint8_t>(height >> 8)};
}

Bytes record_of(int width, int height, const Bytes& pixels) {
  Bytes record = record_header(width, height);
  record.insert(record.end(), pixels.begin(), pixels.end());
  return record;
}

// The buffer after a load that wrote `written` from its first byte on.
Bytes filled_with(const Bytes& written, std::size_t size) {
  Bytes expected(size, FILL);
  std::copy(written.begin(), written.end(), expected.begin());
  return expected;
}

std::size_t open_descriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

class LoadImageTest : public testing_support::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    clear_marks();
    counts.colour_calls = 0;
    counts.colours = {};
  }

  std::string file(const Bytes& bytes, const std::string& name = "picture.bmp") {
    return folder.write(name, bytes);
  }
  int load(const std::string& path, Bytes& destination) {
    return display::load_image(path.c_str(), destination);
  }

  // `palette` with its entries from 0 on replaced by `colours`.
  static Palette palette_with(Palette palette,
                              const std::vector<std::array<std::uint8_t, 3>>& colours) {
    for (std::size_t k = 0; k < colours.size(); ++k) {
      palette[k] = display::pack_colour(colours[k][0], colours[k][1], colours[k][2]);
    }
    return palette;
  }

  // All 256 entries reached the window side, in the screen palette's colours,
  // with the lock held.
  void expect_handed_over() {
    EXPECT_EQ(counts.colour_calls, 256);
    EXPECT_EQ(counts.colours_outside_lock, 0);
    for (int i = 0; i < 256; ++i) {
      const std::uint32_t colour = screen().palette[i];
      const std::array<std::uint8_t, 3> rgb = {display::red_of(colour), display::green_of(colour),
                                               display::blue_of(colour)};
      EXPECT_EQ(counts.colours[i], rgb) << "entry " << i;
    }
  }

  testing_support::TempFolder folder;
};

// ---------------------------------------------------------------------------
// Refusals: each condition in the order the loader tests it, then the headers
// this build does not take. None of them touches the palette, the marks or the
// lock, and the file is closed again.

struct Refusal {
  const char* name;
  std::function<Bytes()> file;  // empty: the file does not exist
  bool screen_open;
  int result;
  bool header_written;  // else the buffer is untouched
};

class LoadImageRefusalTest : public LoadImageTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(LoadImageRefusalTest, GivesItsResultAndWritesOnlyWhatItSays) {
  const Refusal& c = GetParam();
  const std::string path = c.file ? file(c.file()) : (folder.path() / "missing.bmp").string();
  if (!c.screen_open) display::close_screen();
  Bytes destination(32, FILL);
  const std::size_t descriptors = open_descriptors();

  EXPECT_EQ(load(path, destination), c.result);

  EXPECT_EQ(destination, filled_with(c.header_written ? record_header(3, 2) : Bytes{}, 32));
  EXPECT_EQ(open_descriptors(), descriptors) << "file left open";
  EXPECT_EQ(lock_takes(), 0);
  EXPECT_EQ(counts.colour_calls, 0);
  if (c.screen_open) {
    EXPECT_EQ(screen().palette, display::default_palette());
    EXPECT_FALSE(any_mark());
  }
}

const Refusal OUTCOME_TABLE[] = {
    {"MissingFile", {}, true, 2, false},
    {"EmptyFile", [] { return Bytes{}; }, true, 3, false},
    {"PngFile", [] { return Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}; }, true, 3, false},
    {"LowerCaseBm", [] { return with_u16(bmp(), 0, 'b' | ('m' << 8)); }, true, 3, false},
    {"BitmapWithNoScreen", bmp, false, 1, false},
    {"BareBWithNoScreen", [] { return Bytes{'B'}; }, false, 1, false},
    {"HeaderOf53Bytes", [] { return cut(bmp(), 53); }, true, 3, false},
    {"BA", [] { return with_u16(bmp(), 0, 'B' | ('A' << 8)); }, true, 3, false},
    {"InfoHeader12", [] { return with_u32(bmp(), tools::BMP_INFO_SIZE_AT, 12); }, true, 3, false},
    {"InfoHeader108", [] { return with_u32(bmp(), tools::BMP_INFO_SIZE_AT, 108); }, true, 3, false},
    {"InfoHeader12Before16Bits",
     [] { return with_u16(with_u32(bmp(), tools::BMP_INFO_SIZE_AT, 12), tools::BMP_BITS_AT, 16); },
     true, 3, false},
    {"Bits15", [] { return with_u16(bmp(), tools::BMP_BITS_AT, 15); }, true, 1, false},
    {"Bits16", [] { return with_u16(bmp(), tools::BMP_BITS_AT, 16); }, true, 1, false},
    {"Bits16BeforeMissingMasks", [] { return bit_fields(16, 0, 0); }, true, 1, false},
    {"MasksMissing", [] { return bit_fields(32, 0x00FF0000, 0); }, true, 3, true},
    {"MasksCutShort", [] { return bit_fields(32, 0x00FF0000, 8); }, true, 3, true},
    {"RedMaskOf565", [] { return bit_fields(32, 0x0000F800); }, true, 3, true},
    {"WrongMaskBefore24Bits", [] { return bit_fields(24, 0x000000FF); }, true, 3, true},
    {"BitFields32", [] { return bit_fields(32, 0x00FF0000); }, true, 1, true},
    {"BitFieldsOn8Bits", [] { return bit_fields(8, 0x00FF0000); }, true, 1, true},
    {"Bits24", [] { return with_u16(bmp(), tools::BMP_BITS_AT, 24); }, true, 1, true},
    {"Bits32", [] { return with_u16(bmp(), tools::BMP_BITS_AT, 32); }, true, 1, true},
};

// Headers the record or the palette cannot hold, and depths the loader is not
// made for: all refused before anything is written.
const Refusal MISFIT_HEADERS[] = {
    {"TopDownRows",
     [] { return with_u32(bmp(), tools::BMP_HEIGHT_AT, static_cast<std::uint32_t>(-2)); }, true, 3,
     false},
    {"NegativeWidth",
     [] { return with_u32(bmp(), tools::BMP_WIDTH_AT, static_cast<std::uint32_t>(-3)); }, true, 3,
     false},
    {"Width8192", [] { return with_u32(bmp(), tools::BMP_WIDTH_AT, 8192); }, true, 3, false},
    {"Height65536", [] { return with_u32(bmp(), tools::BMP_HEIGHT_AT, 65536); }, true, 3, false},
    {"Bits0", [] { return with_u16(bmp(), tools::BMP_BITS_AT, 0); }, true, 1, false},
    {"Bits2", [] { return with_u16(bmp(), tools::BMP_BITS_AT, 2); }, true, 1, false},
    {"Bits3", [] { return with_u16(bmp(), tools::BMP_BITS_AT, 3); }, true, 1, false},
    {"Bits5", [] { return with_u16(bmp(), tools::BMP_BITS_AT, 5); }, true, 1, false},
    {"Bits6", [] { return with_u16(bmp(), tools::BMP_BITS_AT, 6); }, true, 1, false},
    {"Bits7", [] { return with_u16(bmp(), tools::BMP_BITS_AT, 7); }, true, 1, false},
    {"ColourTableOf257", [] { return with_u32(bmp(), tools::BMP_PIXEL_OFFSET_AT, 54 + 1028); },
     true, 3, false},
    {"PixelOffset53", [] { return with_u32(bmp(), tools::BMP_PIXEL_OFFSET_AT, 53); }, true, 3,
     false},
    {"PixelOffset0", [] { return with_u32(bmp(), tools::BMP_PIXEL_OFFSET_AT, 0); }, true, 3, false},
};

std::string refusal_name(const ::testing::TestParamInfo<Refusal>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(OutcomeTable, LoadImageRefusalTest, ::testing::ValuesIn(OUTCOME_TABLE),
                         refusal_name);
INSTANTIATE_TEST_SUITE_P(MisfitHeaders, LoadImageRefusalTest, ::testing::ValuesIn(MISFIT_HEADERS),
                         refusal_name);

// ---------------------------------------------------------------------------
// Pixel decoding, checked against hand-made file rows.

struct Decoding {
  const char* name;
  std::uint16_t bits;
  int width;
  int height;
  Bytes file_rows;  // as stored: bottom row first, padding included
  Bytes pixels;     // the record's pixels: top row first
};

const Decoding DECODINGS[] = {
    {"EightBitsWidth3PadsOneByte", 8, 3, 2, {7, 8, 9, PAD, 1, 2, 3, PAD}, {1, 2, 3, 7, 8, 9}},
    {"EightBitsWidth4HasNoPadding", 8, 4, 2, {5, 6, 7, 8, 1, 2, 3, 4}, {1, 2, 3, 4, 5, 6, 7, 8}},
    {"EightBitsWidth1PadsThree",
     8,
     1,
     3,
     {0xF3, PAD, PAD, PAD, 0, PAD, PAD, PAD, 200, PAD, PAD, PAD},
     {200, 0, 0xF3}},
    {"FourBitsHighNibbleFirst",
     4,
     3,
     2,
     {0x5A, 0xF3, PAD, PAD, 0x12, 0x3F, PAD, PAD},
     {1, 2, 3, 5, 10, 15}},
    {"FourBitsWidth9PadsThree",
     4,
     9,
     2,
     {0xFE, 0xDC, 0xBA, 0x98, 0x7F, PAD, PAD, PAD, 0x01, 0x23, 0x45, 0x67, 0x89, PAD, PAD, PAD},
     {0, 1, 2, 3, 4, 5, 6, 7, 8, 15, 14, 13, 12, 11, 10, 9, 8, 7}},
    {"OneBitWidth10Bit7First",
     1,
     10,
     2,
     {0xB0, 0x40, 0xFF, 0xFF, 0x01, 0xFF, PAD, PAD},
     {0, 0, 0, 0, 0, 0, 0, 1, 1, 1, /* bottom: */ 1, 0, 1, 1, 0, 0, 0, 0, 0, 1}},
};

class LoadImageDecodingTest : public LoadImageTest,
                              public ::testing::WithParamInterface<Decoding> {};

TEST_P(LoadImageDecodingTest, StoresRowsTopFirstWithoutGaps) {
  const Decoding& c = GetParam();
  tools::Bitmap bitmap = three_by_two(c.bits);
  bitmap.width = c.width;
  bitmap.height = c.height;
  bitmap.pixels.assign(static_cast<std::size_t>(c.width) * c.height, 0);
  Bytes bytes = tools::encode_bmp(bitmap);
  const std::size_t rows_at = tools::BMP_HEADER_BYTES + 8;
  ASSERT_EQ(bytes.size() - rows_at, c.file_rows.size()) << "hand-made rows have the wrong size";
  std::copy(c.file_rows.begin(), c.file_rows.end(), bytes.begin() + rows_at);
  Bytes destination(64, FILL);

  EXPECT_EQ(load(file(bytes), destination), 0);

  // The record is exactly 4 + W * H bytes: nothing after it is written.
  EXPECT_EQ(destination, filled_with(record_of(c.width, c.height, c.pixels), 64));
}

INSTANTIATE_TEST_SUITE_P(HandMadeRows, LoadImageDecodingTest, ::testing::ValuesIn(DECODINGS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadImageTest, EncodedBitmapsOfEveryWidthLoadBack) {
  for (const std::uint16_t bits : {1, 4, 8}) {
    for (int width = 1; width <= 9; ++width) {
      SCOPED_TRACE(testing::Message() << bits << " bits, width " << width);
      tools::Bitmap bitmap = three_by_two(bits);
      bitmap.width = width;
      bitmap.height = 3;
      bitmap.pixels.clear();
      for (int i = 0; i < width * 3; ++i) {
        bitmap.pixels.push_back(static_cast<std::uint8_t>((i * 37 + 11) % (1 << bits)));
      }
      Bytes destination(4 + width * 3, FILL);
      EXPECT_EQ(load(file(tools::encode_bmp(bitmap)), destination), 0);
      EXPECT_EQ(destination, record_of(width, 3, bitmap.pixels));
    }
  }
}

TEST_F(LoadImageTest, EveryOtherFirstByteIsRefusedUntouched) {
  for (int first = 0; first < 256; ++first) {
    if (first == 0x42 || first == 0xFE || first == 0xFD) continue;
    SCOPED_TRACE(testing::Message() << "first byte " << first);
    // The rest would be a good bitmap, or a short dump.
    Bytes bytes = with_u16(bmp(), 0, static_cast<std::uint16_t>(first | ('M' << 8)));
    Bytes destination(16, FILL);

    EXPECT_EQ(load(file(bytes), destination), 3);

    EXPECT_EQ(destination, Bytes(16, FILL));
  }
  EXPECT_EQ(lock_takes(), 0);
  EXPECT_EQ(screen().palette, display::default_palette());
}

TEST_F(LoadImageTest, WidestRecordLoads) {
  tools::Bitmap bitmap = three_by_two();
  bitmap.width = 8191;
  bitmap.height = 1;
  bitmap.pixels.assign(8191, 0);
  bitmap.pixels.front() = 7;
  bitmap.pixels.back() = 9;
  Bytes destination(4 + 8191, FILL);

  EXPECT_EQ(load(file(tools::encode_bmp(bitmap)), destination), 0);

  EXPECT_EQ(destination, record_of(8191, 1, bitmap.pixels));
}

TEST_F(LoadImageTest, ZeroHeightWritesOnlyTheHeader) {
  Bytes destination(16, FILL);

  EXPECT_EQ(load(file(cut(with_u32(bmp(), tools::BMP_HEIGHT_AT, 0), 62)), destination), 0);

  EXPECT_EQ(destination, filled_with(record_header(3, 0), 16));
}

TEST_F(LoadImageTest, RowsStartRightAfterTheColourTableWhateverTheOffsetSays) {
  // Offset 65 means 2 colour entries; the 3 bytes up to 65 are already pixels.
  const Bytes bytes = with_u32(bmp(), tools::BMP_PIXEL_OFFSET_AT, 65);
  Bytes destination(16, FILL);

  EXPECT_EQ(load(file(bytes), destination), 0);

  const Bytes expected = record_of(3, 2, {1, 0, 1, 0, 1, 1});
  EXPECT_EQ(destination, filled_with(expected, 16));
}

TEST_F(LoadImageTest, ColourTableOf256FitsEvenWithThreeStrayOffsetBytes) {
  tools::Bitmap bitmap = three_by_two();
  bitmap.colours.resize(256);
  for (int k = 0; k < 256; ++k) {
    bitmap.colours[k] = {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(255 - k), 7};
  }
  const Bytes bytes = with_u32(tools::encode_bmp(bitmap), tools::BMP_PIXEL_OFFSET_AT, 54 + 1027);
  Bytes destination(10, FILL);

  EXPECT_EQ(load(file(bytes), destination), 0);

  EXPECT_EQ(destination, record_of(3, 2, bitmap.pixels));
  EXPECT_EQ(screen().palette, palette_with(Palette{}, bitmap.colours));
}

TEST_F(LoadImageTest, FileNameDoesNotChooseTheKind) {
  Bytes dump_destination(8, FILL);
  Bytes bitmap_destination(16, FILL);

  EXPECT_EQ(load(file({0xFE, 2, 0, 0, 0, 0x42, 0x4D}, "looks.bmp"), dump_destination), 0);
  EXPECT_EQ(load(file(bmp(), "looks.raw"), bitmap_destination), 0);

  EXPECT_EQ(dump_destination, filled_with({0x42, 0x4D}, 8));
  EXPECT_EQ(bitmap_destination, filled_with(record_of(3, 2, {1, 0, 1, 0, 1, 1}), 16));
}

// ---------------------------------------------------------------------------
// Rows that end early: the bottom rows read so far stay, the rest of the buffer
// keeps what it held, and the palette has already been changed.

struct Truncation {
  const char* name;
  std::uint16_t bits;
  int width;
  int height;
  std::size_t row_bytes_kept;  // of the pixel rows, padding included
  int result;
  int rows_filled;  // counted from the bottom
};

const Truncation TRUNCATIONS[] = {
    {"EightBitsNoRowAtAll", 8, 3, 4, 0, 3, 0},
    {"EightBitsInsideARow", 8, 3, 4, 2 * 4 + 2, 3, 2},
    {"EightBitsInsidePadding", 8, 3, 4, 3 * 4 + 3, 3, 3},
    {"FourBitsInsideARow", 4, 3, 4, 4 + 1, 3, 1},
    {"OneBitInsideARow", 1, 10, 3, 4 + 4 + 1, 3, 2},
    {"OneBitAtAMiddleRowsPadding", 1, 10, 3, 4 + 2, 3, 2},
    // Padding after the last row may be missing.
    {"FourBitsLastPaddingMissing", 4, 3, 4, 3 * 4 + 2, 0, 4},
    {"OneBitLastPaddingPartlyMissing", 1, 10, 3, 2 * 4 + 3, 0, 3},
};

class LoadImageTruncationTest : public LoadImageTest,
                                public ::testing::WithParamInterface<Truncation> {};

TEST_P(LoadImageTruncationTest, KeepsTheBottomRowsReadAndTheNewPalette) {
  const Truncation& c = GetParam();
  tools::Bitmap bitmap = three_by_two(c.bits);
  bitmap.width = c.width;
  bitmap.height = c.height;
  bitmap.colours = {{1, 2, 3}, {4, 5, 6}};
  bitmap.pixels.clear();
  for (int i = 0; i < c.width * c.height; ++i) {
    bitmap.pixels.push_back(static_cast<std::uint8_t>((i * 5 + 1) % (1 << c.bits)));
  }
  const Bytes bytes =
      cut(tools::encode_bmp(bitmap), tools::BMP_HEADER_BYTES + 8 + c.row_bytes_kept);
  const std::size_t size = 4 + static_cast<std::size_t>(c.width) * c.height;
  Bytes destination(size + 4, FILL);

  EXPECT_EQ(load(file(bytes), destination), c.result);

  Bytes expected = filled_with(record_header(c.width, c.height), size + 4);
  for (int row = c.height - c.rows_filled; row < c.height; ++row) {
    for (int column = 0; column < c.width; ++column) {
      const std::size_t at = static_cast<std::size_t>(row) * c.width + column;
      expected[4 + at] = bitmap.pixels[at];
    }
  }
  EXPECT_EQ(destination, expected);
  EXPECT_EQ(screen().palette, palette_with(display::default_palette(), bitmap.colours));
  expect_handed_over();
  EXPECT_EQ(marked_rows(), 600);
  EXPECT_EQ(lock_takes(), 1);
}

INSTANTIATE_TEST_SUITE_P(CutFiles, LoadImageTruncationTest, ::testing::ValuesIn(TRUNCATIONS),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoadImageTest, ColourTableCutShortKeepsTheCurrentColoursAndFailsTheRows) {
  tools::Bitmap first = three_by_two();
  first.colours.assign(16, {0, 0, 0});
  for (int k = 0; k < 16; ++k) first.colours[k] = {static_cast<std::uint8_t>(100 + k), 1, 2};
  tools::Bitmap second = three_by_two();
  second.colours.assign(16, {9, 8, 7});
  // Five whole entries and half of the sixth.
  const Bytes bytes = cut(tools::encode_bmp(second), tools::BMP_HEADER_BYTES + 5 * 4 + 2);
  Bytes first_destination(10, FILL);
  ASSERT_EQ(load(file(tools::encode_bmp(first), "first.bmp"), first_destination), 0);
  const Palette before = screen().palette;
  counts.colour_calls = 0;
  clear_marks();
  lock_takes();
  Bytes destination(12, FILL);

  EXPECT_EQ(load(file(bytes), destination), 3);

  EXPECT_EQ(destination, filled_with(record_header(3, 2), 12));
  second.colours.resize(5);
  EXPECT_EQ(screen().palette, palette_with(before, second.colours));
  EXPECT_EQ(screen().palette[5], display::pack_colour(105, 1, 2));
  expect_handed_over();
  EXPECT_EQ(marked_rows(), 600);
  EXPECT_EQ(lock_takes(), 1);
}

// ---------------------------------------------------------------------------
// The palette side effect.

TEST_F(LoadImageTest, SixteenEntryTableReplacesEntries0To15Only) {
  tools::Bitmap bitmap = three_by_two();
  bitmap.colours.clear();
  for (int k = 0; k < 16; ++k) {
    bitmap.colours.push_back({static_cast<std::uint8_t>(k * 16), static_cast<std::uint8_t>(255 - k),
                              static_cast<std::uint8_t>(k * 3 + 1)});
  }
  const Bytes bytes = tools::encode_bmp(bitmap);
  ASSERT_EQ(bytes[tools::BMP_PIXEL_OFFSET_AT], 118);
  Bytes destination(10, FILL);

  EXPECT_EQ(load(file(bytes), destination), 0);

  Palette expected = display::default_palette();
  for (int k = 0; k < 16; ++k) {
    expected[k] =
        display::pack_colour(bitmap.colours[k][0], bitmap.colours[k][1], bitmap.colours[k][2]);
  }
  EXPECT_EQ(screen().palette, expected);
  expect_handed_over();
}

TEST_F(LoadImageTest, TableEntriesAreBlueGreenRedAndASkippedByte) {
  Bytes bytes = bmp();
  const std::array<std::uint8_t, 8> table = {0x11, 0x22, 0x33, 0xFF, 0x44, 0x55, 0x66, 0x80};
  std::copy(table.begin(), table.end(), bytes.begin() + tools::BMP_HEADER_BYTES);
  Bytes destination(10, FILL);

  EXPECT_EQ(load(file(bytes), destination), 0);

  EXPECT_EQ(screen().palette[0], 0x00112233u);  // blue 0x11, green 0x22, red 0x33
  EXPECT_EQ(screen().palette[1], 0x00445566u);
  EXPECT_EQ(screen().palette[2], display::default_palette()[2]);
  EXPECT_EQ(counts.colours[0], (std::array<std::uint8_t, 3>{0x33, 0x22, 0x11}));
}

TEST_F(LoadImageTest, LaterShorterTableKeepsTheEarlierColoursAboveIt) {
  tools::Bitmap full = three_by_two();
  full.colours.clear();
  for (int k = 0; k < 256; ++k) {
    full.colours.push_back({static_cast<std::uint8_t>(k), 77, static_cast<std::uint8_t>(255 - k)});
  }
  tools::Bitmap four = three_by_two(4);
  four.colours = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}};
  Bytes destination(10, FILL);

  ASSERT_EQ(load(file(tools::encode_bmp(full), "full.bmp"), destination), 0);
  counts.colour_calls = 0;
  EXPECT_EQ(load(file(tools::encode_bmp(four), "four.bmp"), destination), 0);

  EXPECT_EQ(screen().palette, palette_with(palette_with(Palette{}, full.colours), four.colours));
  expect_handed_over();
}

TEST_F(LoadImageTest, NoColourTableStillHandsAllColoursOver) {
  tools::Bitmap bitmap = three_by_two();
  bitmap.colours.clear();
  Bytes destination(10, FILL);

  EXPECT_EQ(load(file(tools::encode_bmp(bitmap)), destination), 0);

  EXPECT_EQ(screen().palette, display::default_palette());
  expect_handed_over();
  EXPECT_EQ(marked_rows(), 600);
}

// ---------------------------------------------------------------------------
// Redraw marks and the display lock.

struct PagePair {
  int work;
  int visible;
  bool marks_all;
};

TEST_F(LoadImageTest, MarksAllRowsOnlyWhenTheWorkPageIsShown) {
  const PagePair pairs[] = {{0, 0, true}, {0, 1, false}, {1, 0, false}, {1, 1, true}};
  for (const PagePair& pair : pairs) {
    SCOPED_TRACE(testing::Message() << "work " << pair.work << ", visible " << pair.visible);
    display::set_pages(pair.work, pair.visible);
    clear_marks();
    Bytes destination(10, FILL);

    EXPECT_EQ(load(file(bmp()), destination), 0);

    EXPECT_EQ(marked_rows(), pair.marks_all ? 600 : 0);
  }
}

TEST_F(LoadImageTest, BitmapTakesTheLockOnceAndADumpNever) {
  Bytes destination(10, FILL);

  ASSERT_EQ(load(file(bmp()), destination), 0);
  EXPECT_EQ(lock_takes(), 1);
  EXPECT_EQ(counts.colours_outside_lock, 0);

  ASSERT_EQ(load(file({0xFE, 1, 0, 0, 0, 5}, "dump"), destination), 0);
  EXPECT_EQ(lock_takes(), 0);
}

TEST_F(LoadImageTest, LockAlreadyHeldIsNeitherTakenNorReleased) {
  screen().lock_held = true;
  Bytes destination(10, FILL);

  EXPECT_EQ(load(file(bmp()), destination), 0);

  EXPECT_EQ(lock_takes(), 0);
  EXPECT_TRUE(screen().lock_held);
  EXPECT_EQ(destination, record_of(3, 2, {1, 0, 1, 0, 1, 1}));
}

// ---------------------------------------------------------------------------
// Raw dumps: L bytes copied verbatim, fewer when the file ends first.

struct Dump {
  const char* name;
  Bytes file;
  int result;
  Bytes written;
};

Bytes dump_of(Bytes header, std::size_t data_bytes) {
  for (std::size_t i = 0; i < data_bytes; ++i) header.push_back(static_cast<std::uint8_t>(i * 7));
  return header;
}

const Dump DUMPS[] = {
    {"FeCopiesLBytes", {0xFE, 5, 0, 0, 0, 1, 2, 3, 4, 5, 9, 9}, 0, {1, 2, 3, 4, 5}},
    {"FeLongerThanTheFile", {0xFE, 10, 0, 0, 0, 1, 2, 3}, 0, {1, 2, 3}},
    {"FeOfLengthZero", {0xFE, 0, 0, 0, 0, 1, 2}, 0, {}},
    {"FeLengthIsLittleEndian", dump_of({0xFE, 0x01, 0x01, 0, 0}, 300), 0, dump_of({}, 257)},
    {"FdSkipsFourBytes", {0xFD, 0xAA, 0xBB, 0xCC, 0xDD, 3, 0, 7, 8, 9, 6}, 0, {7, 8, 9}},
    {"FdLongerThanTheFile", {0xFD, 0, 0, 0, 0, 5, 0, 7}, 0, {7}},
    {"FdLengthIsLittleEndian", dump_of({0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x01}, 300), 0,
     dump_of({}, 257)},
    {"FeLengthCutShort", {0xFE, 5, 0}, 3, {}},
    {"FeNoLength", {0xFE}, 3, {}},
    {"FdLengthCutShort", {0xFD, 0, 0, 0, 0, 5}, 3, {}},
};

class LoadImageDumpTest : public LoadImageTest, public ::testing::WithParamInterface<Dump> {};

TEST_P(LoadImageDumpTest, CopiesTheBytesPresentAndLeavesTheScreenAlone) {
  const Dump& c = GetParam();
  Bytes destination(320, FILL);

  EXPECT_EQ(load(file(c.file, "picture.bmp"), destination), c.result);

  EXPECT_EQ(destination, filled_with(c.written, 320));
  EXPECT_EQ(screen().palette, display::default_palette());
  EXPECT_EQ(counts.colour_calls, 0);
  EXPECT_FALSE(any_mark());
  EXPECT_EQ(lock_takes(), 0);
}

TEST_P(LoadImageDumpTest, NeedsNoScreen) {
  const Dump& c = GetParam();
  display::close_screen();
  Bytes destination(320, FILL);

  EXPECT_EQ(load(file(c.file), destination), c.result);

  EXPECT_EQ(destination, filled_with(c.written, 320));
}

INSTANTIATE_TEST_SUITE_P(Dumps, LoadImageDumpTest, ::testing::ValuesIn(DUMPS),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// The destination's capacity: a picture that does not fit is refused whole,
// and nothing is ever written outside the span.

struct Capacity {
  const char* name;
  std::function<Bytes()> file;
  std::size_t capacity;
  int result;
  Bytes written;
};

const Capacity CAPACITIES[] = {
    {"BitmapOneByteShort", bmp, 9, 1, {}},
    {"BitmapExactFit", bmp, 10, 0, record_of(3, 2, {1, 0, 1, 0, 1, 1})},
    {"BitmapIntoNothing", bmp, 0, 1, {}},
    {"HeaderOnlyBitmapFitsFourBytes", [] { return with_u16(bmp(), tools::BMP_BITS_AT, 24); }, 4, 1,
     record_header(3, 2)},
    {"HeaderOnlyBitmapInThreeBytes",
     [] { return with_u16(bmp(), tools::BMP_BITS_AT, 24); },
     3,
     1,
     {}},
    {"CutBitmapStillNeedsItsWholeRecord", [] { return cut(bmp(), 62 + 4); }, 9, 1, {}},
    {"FeOneByteShort", [] { return Bytes{0xFE, 6, 0, 0, 0, 1, 2, 3, 4, 5, 6}; }, 5, 1, {}},
    {"FeExactFit",
     [] { return Bytes{0xFE, 6, 0, 0, 0, 1, 2, 3, 4, 5, 6}; },
     6,
     0,
     {1, 2, 3, 4, 5, 6}},
    {"FeLengthHighByteCounts", [] { return Bytes{0xFE, 3, 0, 0, 1, 1, 2, 3}; }, 10, 1, {}},
    {"FeLengthBeyondSpanAndFile", [] { return Bytes{0xFE, 100, 0, 0, 0, 1, 2, 3}; }, 10, 1, {}},
    {"FdOneByteShort", [] { return Bytes{0xFD, 0, 0, 0, 0, 6, 0, 1, 2, 3, 4, 5, 6}; }, 5, 1, {}},
    {"FdExactFit",
     [] { return Bytes{0xFD, 0, 0, 0, 0, 6, 0, 1, 2, 3, 4, 5, 6}; },
     6,
     0,
     {1, 2, 3, 4, 5, 6}},
};

class LoadImageCapacityTest : public LoadImageTest,
                              public ::testing::WithParamInterface<Capacity> {};

TEST_P(LoadImageCapacityTest, NeverWritesOutsideTheSpan) {
  const Capacity& c = GetParam();
  constexpr std::size_t GUARD = 8;
  Bytes buffer(GUARD + c.capacity + GUARD, FILL);
  const std::span<std::uint8_t> destination(buffer.data() + GUARD, c.capacity);

  EXPECT_EQ(display::load_image(file(c.file()).c_str(), destination), c.result);

  Bytes expected(buffer.size(), FILL);
  std::copy(c.written.begin(), c.written.end(), expected.begin() + GUARD);
  EXPECT_EQ(buffer, expected);
  if (c.result != 0) {
    EXPECT_EQ(screen().palette, display::default_palette());
    EXPECT_EQ(counts.colour_calls, 0);
    EXPECT_EQ(lock_takes(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Spans, LoadImageCapacityTest, ::testing::ValuesIn(CAPACITIES),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
