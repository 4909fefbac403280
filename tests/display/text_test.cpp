#include "display/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "display/font.h"
#include "display/screen.h"
#include "tests/support/fake_link.h"

namespace {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
constexpr int CELL_WIDTH = 8;
constexpr int CELL_HEIGHT = 16;
constexpr int COLUMNS = 100;
constexpr int BOTTOM_ROW = 36;
constexpr int GRID_HEIGHT = 592;  // pixel rows 592 to 599 belong to no cell
constexpr std::uint8_t FOREGROUND = 15;
constexpr std::uint8_t BACKGROUND = 0;
constexpr std::string_view LOSE_MESSAGE = "YOU LOST, SUCKER!!!!!!!!!!";

using Glyph = std::array<std::uint8_t, CELL_HEIGHT>;
using Page = std::vector<std::uint8_t>;

// The glyphs of every character the game prints, rows 0 to 15 from the top.
struct KnownGlyph {
  char character;
  const char* rows;
};
constexpr KnownGlyph MESSAGE_GLYPHS[] = {
    {' ', "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"},
    {'!', "00 00 18 3C 3C 3C 18 18 18 00 18 18 00 00 00 00"},
    {',', "00 00 00 00 00 00 00 00 00 18 18 18 30 00 00 00"},
    {'C', "00 00 3C 66 C2 C0 C0 C0 C0 C2 66 3C 00 00 00 00"},
    {'E', "00 00 FE 66 62 68 78 68 60 62 66 FE 00 00 00 00"},
    {'K', "00 00 E6 66 66 6C 78 78 6C 66 66 E6 00 00 00 00"},
    {'L', "00 00 F0 60 60 60 60 60 60 62 66 FE 00 00 00 00"},
    {'O', "00 00 7C C6 C6 C6 C6 C6 C6 C6 C6 7C 00 00 00 00"},
    {'R', "00 00 FC 66 66 66 7C 6C 66 66 66 E6 00 00 00 00"},
    {'S', "00 00 7C C6 C6 60 38 0C 06 C6 C6 7C 00 00 00 00"},
    {'T', "00 00 FF DB 99 18 18 18 18 18 18 3C 00 00 00 00"},
    {'U', "00 00 C6 C6 C6 C6 C6 C6 C6 C6 C6 7C 00 00 00 00"},
    {'Y', "00 00 C3 C3 C3 66 3C 18 18 18 18 3C 00 00 00 00"},
};

std::string hex_rows(const Glyph& glyph) {
  std::string text;
  for (const std::uint8_t row : glyph) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02X", row);
    if (!text.empty()) text += ' ';
    text += byte;
  }
  return text;
}

Glyph parse_rows(const char* rows) {
  Glyph glyph{};
  for (std::size_t r = 0; r < glyph.size(); ++r) {
    glyph[r] = static_cast<std::uint8_t>(std::stoul(std::string(rows + 3 * r, 2), nullptr, 16));
  }
  return glyph;
}

// The glyph the message character must show, from the table above.
Glyph message_glyph(char character) {
  for (const auto& known : MESSAGE_GLYPHS) {
    if (known.character == character) return parse_rows(known.rows);
  }
  ADD_FAILURE() << "no glyph listed for '" << character << "'";
  return {};
}

Glyph font_glyph(unsigned char byte) {
  Glyph glyph{};
  std::copy_n(display::FONT_8X16.begin() + byte * CELL_HEIGHT, CELL_HEIGHT, glyph.begin());
  return glyph;
}

// Expected pages, built pixel by pixel.

Page blank_page() {
  return Page(static_cast<std::size_t>(WIDTH) * HEIGHT, BACKGROUND);
}

// Never 0, and different from its neighbours, so that a moved, missed or
// wrongly cleared pixel shows; covers rows 592 to 599 as well.
Page patterned_page() {
  Page page(static_cast<std::size_t>(WIDTH) * HEIGHT);
  for (int y = 0; y < HEIGHT; ++y) {
    for (int x = 0; x < WIDTH; ++x) page[y * WIDTH + x] = 1 + (x * 7 + y * 13) % 251;
  }
  return page;
}

void draw_cell(Page& page, int column, int row, const Glyph& glyph) {
  for (int r = 0; r < CELL_HEIGHT; ++r) {
    for (int c = 0; c < CELL_WIDTH; ++c) {
      const bool set = (glyph[r] >> (7 - c)) & 1;
      page[(row * CELL_HEIGHT + r) * WIDTH + column * CELL_WIDTH + c] =
          set ? FOREGROUND : BACKGROUND;
    }
  }
}

void draw_text(Page& page, int column, int row, std::string_view text) {
  for (const char c : text)
    draw_cell(page, column++, row, font_glyph(static_cast<unsigned char>(c)));
}

// Moves the text grid up by text_rows rows and blanks the rows that come free.
void scroll_up(Page& page, int text_rows) {
  const int shift = text_rows * CELL_HEIGHT;
  for (int y = 0; y < GRID_HEIGHT; ++y) {
    for (int x = 0; x < WIDTH; ++x) {
      page[y * WIDTH + x] = y + shift < GRID_HEIGHT ? page[(y + shift) * WIDTH + x] : BACKGROUND;
    }
  }
}

::testing::AssertionResult page_matches(const std::uint8_t* actual, const Page& expected) {
  int differing = 0;
  int first = -1;
  int left = WIDTH, right = -1, top = HEIGHT, bottom = -1;
  for (int i = 0; i < WIDTH * HEIGHT; ++i) {
    if (actual[i] == expected[i]) continue;
    if (first < 0) first = i;
    ++differing;
    left = std::min(left, i % WIDTH);
    right = std::max(right, i % WIDTH);
    top = std::min(top, i / WIDTH);
    bottom = std::max(bottom, i / WIDTH);
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  const int x = first % WIDTH;
  const int y = first / WIDTH;
  return ::testing::AssertionFailure()
         << differing << " pixels differ within x " << left << "-" << right << ", y " << top << "-"
         << bottom << "; first at (" << x << ", " << y << ") in cell (" << x / CELL_WIDTH << ", "
         << y / CELL_HEIGHT << "): " << int(actual[first]) << " instead of "
         << int(expected[first]);
}

// The marked rows as ranges, e.g. "32-47 80-95"; empty when none is marked.
std::string marked_ranges(const std::vector<std::uint8_t>& marks) {
  std::string ranges;
  for (int y = 0; y < static_cast<int>(marks.size()); ++y) {
    if (!marks[y]) continue;
    int last = y;
    while (last + 1 < static_cast<int>(marks.size()) && marks[last + 1]) ++last;
    if (!ranges.empty()) ranges += ' ';
    ranges += std::to_string(y) + "-" + std::to_string(last);
    y = last;
  }
  return ranges;
}

// The game's screen with a bell that only records how deep the lock is held.
class TextTest : public testing_support::ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    if (HasFatalFailure()) return;
    display::DisplayPlatform platform = display::display_platform();
    platform.bell = [this] { bell_lock_depths.push_back(counts.depth); };
    display::set_display_platform(std::move(platform));
  }

  void load(int page_number, const Page& content) {
    std::copy(content.begin(), content.end(), page(page_number));
  }
  void place_cursor(int column, int row) { screen().cursor = {column, row}; }
  void expect_cursor(int column, int row) {
    EXPECT_EQ(screen().cursor.column, column) << "cursor column";
    EXPECT_EQ(screen().cursor.row, row) << "cursor row";
  }
  // Makes the pages the work and visible page, then forgets the marks and
  // lock takes that caused.
  void select_pages(int work, int visible) {
    display::set_pages(work, visible);
    clear_marks();
    lock_takes();
  }

  std::vector<int> bell_lock_depths;
};

TEST(TextFont, MessageCharactersHaveTheirVgaGlyphs) {
  for (const auto& known : MESSAGE_GLYPHS) {
    EXPECT_EQ(hex_rows(font_glyph(static_cast<unsigned char>(known.character))), known.rows)
        << "glyph of '" << known.character << "'";
  }
  for (const char c : LOSE_MESSAGE) {
    const bool listed = std::any_of(std::begin(MESSAGE_GLYPHS), std::end(MESSAGE_GLYPHS),
                                    [c](const KnownGlyph& known) { return known.character == c; });
    EXPECT_TRUE(listed) << "'" << c << "' of the message has no listed glyph";
  }
}

TEST_F(TextTest, EndingLeavesOnlyTheMessageOnPageZero) {
  load(0, patterned_page());
  select_pages(0, 1);
  place_cursor(40, 20);

  display::clear_screen();
  display::print_text(LOSE_MESSAGE, true);

  // Cells (0, 0) to (25, 0): x 0 to 207, y 0 to 15, index 15 on index 0.
  Page expected = blank_page();
  for (int column = 0; column < static_cast<int>(LOSE_MESSAGE.size()); ++column) {
    draw_cell(expected, column, 0, message_glyph(LOSE_MESSAGE[column]));
  }
  EXPECT_TRUE(page_matches(page(0), expected));
  expect_cursor(0, 1);
  EXPECT_EQ(marked_ranges(screen().redraw_marks), "") << "page 0 is hidden";
  EXPECT_EQ(lock_takes(), 2);
}

TEST_F(TextTest, ClearScreenBlanksTheWholeWorkPageOnly) {
  struct Case {
    int work;
    int visible;
  };
  for (const Case& c : {Case{0, 0}, Case{1, 0}, Case{0, 1}}) {
    SCOPED_TRACE("work page " + std::to_string(c.work) + ", visible page " +
                 std::to_string(c.visible));
    load(0, patterned_page());
    load(1, patterned_page());
    select_pages(c.work, c.visible);
    place_cursor(57, 30);

    display::clear_screen();

    EXPECT_TRUE(page_matches(page(c.work), blank_page())) << "work page, rows 592-599 included";
    EXPECT_TRUE(page_matches(page(1 - c.work), patterned_page())) << "the other page";
    expect_cursor(0, 0);
    EXPECT_EQ(marked_ranges(screen().redraw_marks), c.work == c.visible ? "0-599" : "");
    EXPECT_EQ(lock_takes(), 1);
  }
}

TEST_F(TextTest, ControlsMoveTheCursorAndDrawNothing) {
  struct Case {
    const char* what;
    std::string_view bytes;
    int column;  // start and end on row 5 unless the end row says otherwise
    int end_column;
    int end_row;
    int bells;
  };
  const Case cases[] = {
      {"bell", "\a", 7, 7, 5, 1},
      {"two bells", "\a\a", 0, 0, 5, 2},
      {"backspace", "\b", 7, 6, 5, 0},
      {"backspace at column 99", "\b", 99, 98, 5, 0},
      {"backspace at column 0", "\b", 0, 0, 5, 0},
      {"backspaces past column 0", "\b\b\b\b", 2, 0, 5, 0},
      {"line feed", "\n", 7, 0, 6, 0},
      {"two line feeds", "\n\n", 7, 0, 7, 0},
      {"carriage return", "\r", 7, 0, 5, 0},
      {"line break", "\r\n", 99, 0, 6, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    load(0, patterned_page());
    clear_marks();
    bell_lock_depths.clear();
    place_cursor(c.column, 5);

    display::print_text(c.bytes, false);

    EXPECT_TRUE(page_matches(page(0), patterned_page()));
    expect_cursor(c.end_column, c.end_row);
    EXPECT_EQ(bell_lock_depths, std::vector<int>(c.bells, 1)) << "one bell each, lock held";
    EXPECT_EQ(marked_ranges(screen().redraw_marks), "");
  }
}

TEST_F(TextTest, TabPaintsSpacesUpToTheNextMultipleOfEight) {
  struct Case {
    int column;
    int end_column;
  };
  for (const Case& c : {Case{5, 8}, Case{8, 16}, Case{0, 8}, Case{15, 16}, Case{89, 96}}) {
    SCOPED_TRACE("tab at column " + std::to_string(c.column));
    load(0, patterned_page());
    place_cursor(c.column, 3);

    display::print_text("\t", false);

    Page expected = patterned_page();
    for (int column = c.column; column < c.end_column; ++column) {
      draw_cell(expected, column, 3, message_glyph(' '));
    }
    EXPECT_TRUE(page_matches(page(0), expected));
    expect_cursor(c.end_column, 3);
  }
}

TEST_F(TextTest, EveryOtherByteDrawsItsGlyph) {
  for (const unsigned char byte : {0, 1, 11, 12, 27, 65, 127, 128, 219, 255}) {
    SCOPED_TRACE("byte " + std::to_string(byte));
    load(0, patterned_page());
    place_cursor(10, 5);
    const char text[] = {static_cast<char>(byte)};

    display::print_text(std::string_view(text, 1), false);

    Page expected = patterned_page();
    draw_cell(expected, 10, 5, font_glyph(byte));
    EXPECT_TRUE(page_matches(page(0), expected));
    expect_cursor(11, 5);
  }
}

TEST_F(TextTest, WrapsAfterColumn99) {
  load(0, patterned_page());
  place_cursor(98, 4);

  display::print_text("AB C", false);

  Page expected = patterned_page();
  draw_text(expected, 98, 4, "AB");
  draw_text(expected, 0, 5, " C");
  EXPECT_TRUE(page_matches(page(0), expected));
  expect_cursor(2, 5);
}

// Changes made to an expected page, in order.
using Edit = std::function<void(Page&)>;
Edit text_at(int column, int row, std::string text) {
  return [=](Page& page) { draw_text(page, column, row, text); };
}
Edit scrolled(int text_rows) {
  return [=](Page& page) { scroll_up(page, text_rows); };
}

TEST_F(TextTest, ScrollsTheTextViewAtTheBottomRow) {
  struct Output {
    std::string text;
    bool line_break = false;
  };
  // Prints the outputs from the cursor cell on the patterned page and compares
  // with that page changed by the edits; end_column < 0 leaves the cursor unchecked.
  const auto check = [this](const char* what, int column, int row,
                            const std::vector<Output>& outputs, const std::vector<Edit>& edits,
                            int end_column) {
    SCOPED_TRACE(what);
    load(0, patterned_page());
    place_cursor(column, row);
    for (const Output& output : outputs) display::print_text(output.text, output.line_break);

    Page expected = patterned_page();
    for (const Edit& edit : edits) edit(expected);
    EXPECT_TRUE(page_matches(page(0), expected)) << "rows 592-599 keep their bytes";
    if (end_column >= 0) expect_cursor(end_column, BOTTOM_ROW);
  };
  const std::string full_row(COLUMNS, 'A');
  const Edit filled_bottom = text_at(0, BOTTOM_ROW, full_row);

  check("a line feed on the bottom row scrolls one row", 3, BOTTOM_ROW, {{"\n"}}, {scrolled(1)}, 0);
  check("a line break on the bottom row scrolls one row", 0, BOTTOM_ROW, {{"", true}},
        {scrolled(1)}, 0);
  check("a line feed above the bottom row scrolls nothing", 0, 35, {{"\nX"}},
        {text_at(0, BOTTOM_ROW, "X")}, 1);
  check("three line feeds from row 35 scroll two rows at the end", 4, 35, {{"\n\n\n"}},
        {scrolled(2)}, 0);
  check("line feeds scroll before the next character", 0, BOTTOM_ROW, {{"\n\nZ"}},
        {scrolled(2), text_at(0, BOTTOM_ROW, "Z")}, 1);
  check("more line feeds than rows blank the whole view", 0, BOTTOM_ROW, {{std::string(40, '\n')}},
        {scrolled(40)}, 0);
  check("a wrap on the bottom row scrolls before the next character", 99, BOTTOM_ROW, {{"AB"}},
        {text_at(99, BOTTOM_ROW, "A"), scrolled(1), text_at(0, BOTTOM_ROW, "B")}, 1);
  check("a bottom row filled to column 99 does not scroll yet", 0, BOTTOM_ROW, {{full_row}},
        {filled_bottom}, -1);
  check("an empty output leaves that scroll waiting", 0, BOTTOM_ROW, {{full_row}, {""}},
        {filled_bottom}, -1);
  check("the next output scrolls first", 0, BOTTOM_ROW, {{full_row}, {"B"}},
        {filled_bottom, scrolled(1), text_at(0, BOTTOM_ROW, "B")}, 1);
  check("a line break after the filled row moves on by two rows", 0, BOTTOM_ROW, {{full_row, true}},
        {filled_bottom, scrolled(2)}, 0);
}

TEST_F(TextTest, MarksOnlyTheChangedRowsOfTheVisiblePage) {
  struct Case {
    const char* what;
    std::string_view text;
    int column;
    int row;
    const char* marked;  // when the work page is visible
  };
  const Case cases[] = {
      {"one character on row 2", "A", 0, 2, "32-47"},
      {"a wrap from row 2 to row 3", "AB", 99, 2, "32-63"},
      {"a tab on row 5", "\t", 3, 5, "80-95"},
      {"characters on the bottom row", "AB", 0, BOTTOM_ROW, "576-591"},
      {"a scroll", "\n", 0, BOTTOM_ROW, "0-591"},
      {"controls that draw nothing", "\a\b\r\n", 3, 3, ""},
  };
  for (const Case& c : cases) {
    for (const int visible : {0, 1}) {
      SCOPED_TRACE(std::string(c.what) + (visible == 0 ? ", page 0 visible" : ", page 1 visible"));
      load(0, patterned_page());
      load(1, patterned_page());
      select_pages(0, visible);
      place_cursor(c.column, c.row);

      display::print_text(c.text, false);

      EXPECT_EQ(marked_ranges(screen().redraw_marks), visible == 0 ? c.marked : "");
      EXPECT_TRUE(page_matches(page(1), patterned_page())) << "page 1 is not the work page";
    }
  }
}

TEST_F(TextTest, EachCallTakesTheLockOnceUnlessItIsHeld) {
  struct Case {
    const char* what;
    std::function<void()> call;
  };
  const Case cases[] = {
      {"clear_screen", [] { display::clear_screen(); }},
      {"text with a line break", [] { display::print_text("AB", true); }},
      {"empty text with a line break", [] { display::print_text("", true); }},
      {"a bell", [] { display::print_text("\a", false); }},
      {"a scroll", [] { display::print_text(std::string(40, '\n'), true); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    lock_takes();
    place_cursor(0, BOTTOM_ROW);
    c.call();
    EXPECT_EQ(lock_takes(), 1);

    screen().lock_held = true;
    c.call();
    EXPECT_EQ(lock_takes(), 0) << "lock already held";
    EXPECT_TRUE(screen().lock_held) << "the holder's lock was released";
    screen().lock_held = false;
  }
}

// No screen open: both operations go to the console hooks.
class TextConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display::close_screen();
    display::DisplayPlatform platform;
    platform.console_clear = [this] { ++clears; };
    platform.console_write = [this](std::string_view bytes) { writes.emplace_back(bytes); };
    platform.bell = [this] { ++bells; };
    display::set_display_platform(std::move(platform));
  }
  void TearDown() override { display::set_display_platform({}); }

  int clears = 0;
  int bells = 0;
  std::vector<std::string> writes;
};

TEST_F(TextConsoleTest, ClearScreenClearsTheConsole) {
  display::clear_screen();
  EXPECT_EQ(clears, 1);
  EXPECT_TRUE(writes.empty());
}

TEST_F(TextConsoleTest, PrintTextWritesTheTextThenTheLineBreakSeparately) {
  using Writes = std::vector<std::string>;
  struct Case {
    std::string text;
    bool line_break;
    Writes expected;
  };
  const Case cases[] = {
      {std::string(LOSE_MESSAGE), true, {std::string(LOSE_MESSAGE), "\r\n"}},
      {"abc", false, {"abc"}},
      {"", true, {"\r\n"}},
      {"", false, {}},
      {std::string("\a\b\t\n\r\0\xB0\xFF", 8), false, {std::string("\a\b\t\n\r\0\xB0\xFF", 8)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text) + (c.line_break ? " with line break" : ""));
    writes.clear();
    display::print_text(c.text, c.line_break);
    EXPECT_EQ(writes, c.expected);
  }
  EXPECT_EQ(bells, 0) << "the console sounds its own bell";
  EXPECT_EQ(clears, 0);
}

}  // namespace
