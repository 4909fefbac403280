// The default palette that open_screen loads, its word layout, and the hand-over
// of the screen palette to the presentation colours.
#include "display/palette.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "display/lock_scope.h"
#include "display/screen.h"
#include "tests/support/fake_link.h"

namespace {

using testing_support::ScreenTest;

struct Rgb {
  int index;
  std::uint8_t red, green, blue;
};

// The VGA default colours in 8 bits, as listed for the default palette.
constexpr Rgb DEFAULT_COLOURS[] = {
    // The 16 text colours.
    {0, 0, 0, 0},
    {1, 0, 0, 170},
    {2, 0, 170, 0},
    {3, 0, 170, 170},
    {4, 170, 0, 0},
    {5, 170, 0, 170},
    {6, 170, 85, 0},
    {7, 170, 170, 170},
    {8, 85, 85, 85},
    {9, 85, 85, 255},
    {10, 85, 255, 85},
    {11, 85, 255, 255},
    {12, 255, 85, 85},
    {13, 255, 85, 255},
    {14, 255, 255, 85},
    {15, 255, 255, 255},
    // The 16 greys.
    {16, 0, 0, 0},
    {17, 20, 20, 20},
    {18, 32, 32, 32},
    {19, 44, 44, 44},
    {20, 56, 56, 56},
    {21, 68, 68, 68},
    {22, 80, 80, 80},
    {23, 97, 97, 97},
    {24, 113, 113, 113},
    {25, 129, 129, 129},
    {26, 145, 145, 145},
    {27, 161, 161, 161},
    {28, 182, 182, 182},
    {29, 202, 202, 202},
    {30, 226, 226, 226},
    {31, 255, 255, 255},
    // The first ring (levels 0, 64, 125, 190, 255) in full.
    {32, 0, 0, 255},
    {33, 64, 0, 255},
    {34, 125, 0, 255},
    {35, 190, 0, 255},
    {36, 255, 0, 255},
    {37, 255, 0, 190},
    {38, 255, 0, 125},
    {39, 255, 0, 64},
    {40, 255, 0, 0},
    {41, 255, 64, 0},
    {42, 255, 125, 0},
    {43, 255, 190, 0},
    {44, 255, 255, 0},
    {45, 190, 255, 0},
    {46, 125, 255, 0},
    {47, 64, 255, 0},
    {48, 0, 255, 0},
    {49, 0, 255, 64},
    {50, 0, 255, 125},
    {51, 0, 255, 190},
    {52, 0, 255, 255},
    {53, 0, 190, 255},
    {54, 0, 125, 255},
    {55, 0, 64, 255},
    // The other eight rings: first, one in the middle, last.
    {56, 125, 125, 255},
    {65, 255, 157, 125},
    {79, 125, 157, 255},
    {80, 182, 182, 255},
    {85, 255, 182, 234},
    {103, 182, 198, 255},
    {104, 0, 0, 113},
    {117, 85, 113, 0},
    {127, 0, 28, 113},
    {128, 56, 56, 113},
    {146, 56, 113, 85},
    {151, 56, 68, 113},
    {152, 80, 80, 113},
    {163, 113, 105, 80},
    {175, 80, 89, 113},
    {176, 0, 0, 64},
    {197, 0, 48, 64},
    {199, 0, 16, 64},
    {200, 32, 32, 64},
    {202, 48, 32, 64},
    {223, 32, 40, 64},
    {224, 44, 44, 64},
    {238, 52, 64, 44},
    {247, 44, 48, 64},
    // Black to the end.
    {248, 0, 0, 0},
    {249, 0, 0, 0},
    {250, 0, 0, 0},
    {251, 0, 0, 0},
    {252, 0, 0, 0},
    {253, 0, 0, 0},
    {254, 0, 0, 0},
    {255, 0, 0, 0},
};

std::uint32_t word_of(const Rgb& c) {
  return c.red | (std::uint32_t{c.green} << 8) | (std::uint32_t{c.blue} << 16);
}

class DefaultPaletteEntryTest : public ScreenTest, public ::testing::WithParamInterface<Rgb> {};

TEST_P(DefaultPaletteEntryTest, OpenScreenLoadsAndHandsOverTheVgaColour) {
  const Rgb& c = GetParam();
  EXPECT_EQ(display::default_palette()[c.index], word_of(c));
  EXPECT_EQ(screen().palette[c.index] & 0xFFFFFFu, word_of(c));
  const auto& handed = counts.colours[c.index];
  EXPECT_EQ(handed[0], c.red);
  EXPECT_EQ(handed[1], c.green);
  EXPECT_EQ(handed[2], c.blue);
}

INSTANTIATE_TEST_SUITE_P(Entries, DefaultPaletteEntryTest, ::testing::ValuesIn(DEFAULT_COLOURS),
                         [](const auto& info) {
                           return "Entry" + std::to_string(info.param.index);
                         });

TEST(DefaultPaletteTest, WordsHoldRedLowGreenMiddleBlueHigh) {
  const display::Palette& palette = display::default_palette();
  EXPECT_EQ(palette[1], 0x00AA0000u);
  EXPECT_EQ(palette[6], 0x000055AAu);
  EXPECT_EQ(palette[14], 0x0055FFFFu);
  EXPECT_EQ(palette[15], 0x00FFFFFFu);
  EXPECT_EQ(palette[117], 0x00007155u);
}

TEST_F(ScreenTest, DefaultPaletteIsHandedOverWholeUnderTheLock) {
  EXPECT_EQ(screen().palette, display::default_palette());
  EXPECT_EQ(counts.colour_calls, 256);
  EXPECT_EQ(counts.colours_outside_lock, 0);
  EXPECT_EQ(counts.depth, 0) << "the lock is released after the load";
  EXPECT_FALSE(screen().lock_held);
}

TEST_F(ScreenTest, PaletteHandOverSendsTheScreenPaletteNotTheDefault) {
  for (int i = 0; i < 256; ++i) {
    // Bits 24-31 carry nothing.
    screen().palette[i] = 0xA5000000u | static_cast<std::uint32_t>(255 - i) |
                          (static_cast<std::uint32_t>(i) << 8) |
                          (static_cast<std::uint32_t>(i ^ 0x3C) << 16);
  }
  {
    display::LockScope lock(screen());
    display::hand_over_palette(screen());
  }
  EXPECT_EQ(counts.colour_calls, 512);
  EXPECT_EQ(counts.colours_outside_lock, 0);
  for (int i = 0; i < 256; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(counts.colours[i][0], 255 - i);
    EXPECT_EQ(counts.colours[i][1], i);
    EXPECT_EQ(counts.colours[i][2], i ^ 0x3C);
  }
}

}  // namespace
