// The paged screen: what open_screen creates or refuses, how set_pages and
// copy_page move the work page, the visible page and the redraw marks, and when
// they take the display lock.
#include "display/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

#include "tests/support/fake_link.h"

namespace {

using testing_support::ScreenTest;

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
constexpr std::size_t PAGE_BYTES = std::size_t{WIDTH} * HEIGHT;

bool all_zero(const std::vector<std::uint8_t>& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

// Whether every entry of the row start table locates that row of the page.
bool rows_point_at(display::ScreenRecord& screen, int page_number) {
  const std::uint8_t* page = screen.page(page_number);
  for (int y = 0; y < HEIGHT; ++y) {
    if (screen.row_start[y] != page + static_cast<std::size_t>(y) * WIDTH) return false;
  }
  return true;
}

TEST_F(ScreenTest, GameScreenOpensInItsInitialState) {
  display::ScreenRecord& s = screen();
  EXPECT_EQ(s.mode, 19);
  EXPECT_EQ(s.width, 800);
  EXPECT_EQ(s.height, 600);
  EXPECT_EQ(s.depth, 8);
  EXPECT_EQ(s.bytes_per_pixel, 1);
  EXPECT_EQ(s.pitch, 800);
  EXPECT_EQ(s.page_count, 2);
  ASSERT_EQ(s.pages.size(), 2u);
  for (const auto& page : s.pages) {
    EXPECT_EQ(page.size(), PAGE_BYTES);
    EXPECT_TRUE(all_zero(page));
  }
  EXPECT_EQ(s.work_page, 0);
  EXPECT_EQ(s.visible, page(0));
  ASSERT_EQ(s.row_start.size(), 600u);
  EXPECT_TRUE(rows_point_at(s, 0));
  ASSERT_EQ(s.redraw_marks.size(), 600u);
  EXPECT_EQ(marked_rows(), 600);
  EXPECT_EQ(s.view.left, 0);
  EXPECT_EQ(s.view.top, 0);
  EXPECT_EQ(s.view.width, 800);
  EXPECT_EQ(s.view.height, 600);
  EXPECT_EQ(s.foreground, 15u);
  EXPECT_EQ(s.background, 0u);
  EXPECT_EQ(s.cursor.column, 0);
  EXPECT_EQ(s.cursor.row, 0);
  EXPECT_EQ(s.text_view_top, 0);
  EXPECT_EQ(s.text_view_bottom, 36);
  EXPECT_TRUE(std::all_of(s.key_state.begin(), s.key_state.end(), [](auto k) { return k == 0; }));
  EXPECT_FALSE(s.key_queue.take_pressed());
  EXPECT_FALSE(s.lock_held);
  EXPECT_EQ(starts, 1);
}

TEST_F(ScreenTest, StarterReceivesTheWindowParameters) {
  EXPECT_EQ(last_request.width_px, 800);
  EXPECT_EQ(last_request.height_px, 600);
  EXPECT_EQ(last_request.depth_bits, 8);
  EXPECT_EQ(last_request.refresh_hz, 0);
  EXPECT_EQ(last_request.flags, 0);

  const int full_screen_no_switch = display::FLAG_FULL_SCREEN | display::FLAG_NO_SWITCH;
  ASSERT_EQ(display::open_screen(19, 8, 2, full_screen_no_switch, 75), 0);
  EXPECT_EQ(starts, 2);
  EXPECT_EQ(last_request.width_px, 800);
  EXPECT_EQ(last_request.height_px, 600);
  EXPECT_EQ(last_request.depth_bits, 8);
  EXPECT_EQ(last_request.refresh_hz, 75);
  EXPECT_EQ(last_request.flags, full_screen_no_switch);
}

TEST_F(ScreenTest, ReopeningKeepsNothingOfTheOldScreen) {
  display::set_pages(1, 1);
  page(0)[1234] = 9;
  page(1)[PAGE_BYTES - 1] = 7;
  screen().key_state[72] = 1;
  screen().key_queue.add(display::KEY_CODE_CLOSE_REQUEST);
  screen().foreground = 3;
  screen().cursor = {5, 6};

  ASSERT_EQ(reopen(19, 8, 2), 0);
  EXPECT_EQ(starts, 2);
  EXPECT_TRUE(all_zero(screen().pages[0]));
  EXPECT_TRUE(all_zero(screen().pages[1]));
  EXPECT_EQ(screen().work_page, 0);
  EXPECT_EQ(screen().visible, page(0));
  EXPECT_TRUE(rows_point_at(screen(), 0));
  EXPECT_EQ(screen().key_state[72], 0);
  EXPECT_FALSE(screen().key_queue.take_pressed());
  EXPECT_EQ(screen().foreground, 15u);
  EXPECT_EQ(screen().cursor.column, 0);
  EXPECT_EQ(screen().cursor.row, 0);
}

TEST_F(ScreenTest, ModeZeroClosesTheScreen) {
  EXPECT_EQ(reopen(0, 8, 2), 0);
  EXPECT_EQ(display::open_screen_record(), nullptr);
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(reopen(0, 8, 2), 0) << "mode 0 with no screen open";
  EXPECT_EQ(display::open_screen_record(), nullptr);
}

TEST_F(ScreenTest, ScreenStaysClosedWhenNoBackEndStarts) {
  struct Case {
    const char* name;
    display::DisplayStarter starter;
  };
  const Case cases[] = {
      {"starter gives nothing",
       [](const display::DisplayRequest&, display::ScreenRecord&) {
         return std::unique_ptr<display::DisplayLink>();
       }},
      {"no starter", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(reopen(19, 8, 2), 0);
    display::DisplayPlatform failing;
    failing.start_display = c.starter;
    display::set_display_platform(std::move(failing));
    EXPECT_EQ(display::open_screen(19, 8, 2, 0, 0), 1);
    EXPECT_EQ(display::open_screen_record(), nullptr);
  }
}

// Arguments that open_screen refuses while the game's screen is open.
struct Refused {
  const char* name;
  int mode;
  int depth;
  int flags;
};

class OpenScreenRefusalTest : public ScreenTest, public ::testing::WithParamInterface<Refused> {};

TEST_P(OpenScreenRefusalTest, LeavesTheOpenScreenAsItWas) {
  display::set_pages(1, 1);
  page(0)[4321] = 5;
  clear_marks();
  lock_takes();
  display::ScreenRecord* before = display::open_screen_record();

  const Refused& r = GetParam();
  EXPECT_EQ(display::open_screen(r.mode, r.depth, 2, r.flags, 0), 1);

  EXPECT_EQ(display::open_screen_record(), before);
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(screen().work_page, 1);
  EXPECT_EQ(screen().visible, page(1));
  EXPECT_EQ(page(0)[4321], 5);
  EXPECT_FALSE(any_mark());
  EXPECT_EQ(lock_takes(), 0);
  EXPECT_EQ(counts.colour_calls, 256);
}

// Modes 3 to 6 and those outside 0 to 21 have no row. This build has only the
// 800 by 600 mode with one byte per pixel, so the other modes, and depths that
// resolve above 8 bits, are refused as well.
INSTANTIATE_TEST_SUITE_P(
    Arguments, OpenScreenRefusalTest,
    ::testing::Values(
        Refused{"Mode3", 3, 8, 0}, Refused{"Mode4", 4, 8, 0}, Refused{"Mode5", 5, 8, 0},
        Refused{"Mode6", 6, 8, 0}, Refused{"Mode22", 22, 8, 0}, Refused{"ModeMinus1", -1, 8, 0},
        Refused{"ModeIntMax", INT_MAX, 8, 0}, Refused{"ModeIntMin", INT_MIN, 8, 0},
        Refused{"Mode1", 1, 8, 0}, Refused{"Mode2", 2, 8, 0}, Refused{"Mode7", 7, 8, 0},
        Refused{"Mode13", 13, 8, 0}, Refused{"Mode18", 18, 8, 0}, Refused{"Mode20", 20, 8, 0},
        Refused{"Mode21", 21, 8, 0}, Refused{"Depth15", 19, 15, 0}, Refused{"Depth16", 19, 16, 0},
        Refused{"Depth24", 19, 24, 0}, Refused{"Depth32", 19, 32, 0},
        Refused{"OpenGLFlag", 19, 8, display::FLAG_OPENGL},
        Refused{"OpenGLFlagAndOtherBits", 19, 8, display::FLAG_OPENGL | display::FLAG_NO_SWITCH}),
    [](const auto& info) { return std::string(info.param.name); });

// Depth and flag arguments that leave mode 19 at its own 8 bits.
struct EightBitRequest {
  const char* name;
  int depth;
  int flags;
};

class OpenScreenDepthTest : public ScreenTest,
                            public ::testing::WithParamInterface<EightBitRequest> {};

TEST_P(OpenScreenDepthTest, OpensWithOneBytePerPixel) {
  ASSERT_EQ(reopen(19, GetParam().depth, 2, GetParam().flags), 0);
  EXPECT_EQ(screen().depth, 8);
  EXPECT_EQ(screen().bytes_per_pixel, 1);
  EXPECT_EQ(screen().pitch, 800);
  EXPECT_EQ(last_request.depth_bits, 8);
  EXPECT_EQ(last_request.flags, GetParam().flags);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, OpenScreenDepthTest,
    ::testing::Values(EightBitRequest{"Depth8", 8, 0}, EightBitRequest{"Depth0", 0, 0},
                      EightBitRequest{"Depth4", 4, 0}, EightBitRequest{"Depth12", 12, 0},
                      EightBitRequest{"DepthMinus3", -3, 0},
                      EightBitRequest{"FullScreenFlag", 8, display::FLAG_FULL_SCREEN},
                      EightBitRequest{"NoSwitchFlag", 8, display::FLAG_NO_SWITCH},
                      // Negative flags never raise the depth, whatever bits they carry.
                      EightBitRequest{"NoWindowFlags", 8, display::FLAGS_NO_WINDOW},
                      EightBitRequest{"NegativeFlagsWithOpenGLBit", 8, -2}),
    [](const auto& info) { return std::string(info.param.name); });

struct PageCount {
  const char* name;
  int requested;
  int pages;
};

class OpenScreenPageCountTest : public ScreenTest,
                                public ::testing::WithParamInterface<PageCount> {};

TEST_P(OpenScreenPageCountTest, MakesThatManyBlankPages) {
  ASSERT_EQ(reopen(19, 8, GetParam().requested), 0);
  EXPECT_EQ(screen().page_count, GetParam().pages);
  ASSERT_EQ(screen().pages.size(), static_cast<std::size_t>(GetParam().pages));
  for (const auto& page : screen().pages) {
    EXPECT_EQ(page.size(), PAGE_BYTES);
    EXPECT_TRUE(all_zero(page));
  }
  EXPECT_EQ(screen().work_page, 0);
  EXPECT_EQ(screen().visible, page(0));
}

INSTANTIATE_TEST_SUITE_P(Counts, OpenScreenPageCountTest,
                         ::testing::Values(PageCount{"Zero", 0, 1}, PageCount{"Minus5", -5, 1},
                                           PageCount{"IntMin", INT_MIN, 1}, PageCount{"One", 1, 1},
                                           PageCount{"Two", 2, 2}, PageCount{"Three", 3, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScreenTest, ThirdPageServesAsWorkAndVisiblePage) {
  ASSERT_EQ(reopen(19, 8, 3), 0);
  clear_marks();
  display::set_pages(2, 2);
  EXPECT_EQ(screen().work_page, 2);
  EXPECT_TRUE(rows_point_at(screen(), 2));
  EXPECT_EQ(screen().visible, page(2));
  EXPECT_EQ(marked_rows(), 600);
  EXPECT_EQ(lock_takes(), 1);
}

struct PagesCase {
  const char* name;
  int work_before, visible_before;
  int work, visible;  // the arguments
  int work_after, visible_after;
  int marked_rows;
  int lock_takes;
};

class SetPagesTest : public ScreenTest, public ::testing::WithParamInterface<PagesCase> {};

TEST_P(SetPagesTest, SelectsPagesAndMarksAChangeOfVisiblePage) {
  const PagesCase& c = GetParam();
  display::set_pages(c.work_before, c.visible_before);
  ASSERT_EQ(screen().work_page, c.work_before);
  ASSERT_EQ(screen().visible, page(c.visible_before));
  clear_marks();
  lock_takes();

  display::set_pages(c.work, c.visible);

  EXPECT_EQ(screen().work_page, c.work_after);
  EXPECT_TRUE(rows_point_at(screen(), c.work_after));
  EXPECT_EQ(screen().visible, page(c.visible_after));
  EXPECT_EQ(marked_rows(), c.marked_rows);
  EXPECT_EQ(lock_takes(), c.lock_takes);
  EXPECT_FALSE(screen().lock_held);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, SetPagesTest,
    ::testing::Values(PagesCase{"ShowHiddenPage", 0, 0, 0, 1, 0, 1, 600, 1},
                      PagesCase{"VisiblePageAlreadyShown", 0, 1, 0, 1, 0, 1, 0, 0},
                      PagesCase{"SwapPages", 0, 1, 1, 0, 1, 0, 600, 1},
                      PagesCase{"WorkPageChangeAloneTakesNoLock", 0, 0, 1, 0, 1, 0, 0, 0},
                      PagesCase{"WorkOntoTheShownPage", 0, 1, 1, 1, 1, 1, 0, 0},
                      PagesCase{"BothNegativeShowPageZero", 1, 1, -1, -1, 0, 0, 600, 1},
                      PagesCase{"BothNegativeWithPageZeroShown", 1, 0, -5, -2, 0, 0, 0, 0},
                      PagesCase{"WorkPastLastPageKeepsWorkPage", 1, 0, 2, 1, 1, 1, 600, 1},
                      PagesCase{"NegativeVisibleKeepsVisiblePage", 1, 0, 0, -1, 0, 0, 0, 0},
                      PagesCase{"NegativeWorkKeepsWorkPage", 1, 1, -1, 0, 1, 0, 600, 1},
                      PagesCase{"VisiblePastLastPageKeepsVisiblePage", 1, 1, 0, 2, 0, 1, 0, 0},
                      PagesCase{"ExtremeNumbersChangeNothing", 1, 1, INT_MIN, INT_MAX, 1, 1, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Two page contents that differ in every byte.
std::uint8_t pattern_a(std::size_t i) {
  return static_cast<std::uint8_t>((i % WIDTH) * 7 + (i / WIDTH) * 3);
}
std::uint8_t pattern_b(std::size_t i) {
  return pattern_a(i) ^ 0x5A;
}

struct CopyCase {
  const char* name;
  int work, visible;              // set before the copy
  int source, destination;        // the arguments
  char page0_after, page1_after;  // 'A' or 'B': the content each page ends with
  int marked_rows;
  int lock_takes;
};

class CopyPageTest : public ScreenTest, public ::testing::WithParamInterface<CopyCase> {
 protected:
  static void fill(std::uint8_t* page, std::uint8_t (*pattern)(std::size_t)) {
    for (std::size_t i = 0; i < PAGE_BYTES; ++i) page[i] = pattern(i);
  }
  static bool holds(const std::uint8_t* page, char content) {
    const auto pattern = content == 'A' ? pattern_a : pattern_b;
    for (std::size_t i = 0; i < PAGE_BYTES; ++i) {
      if (page[i] != pattern(i)) return false;
    }
    return true;
  }
};

TEST_P(CopyPageTest, CopiesWholePagesAndMarksOnlyTheVisiblePage) {
  const CopyCase& c = GetParam();
  display::set_pages(c.work, c.visible);
  fill(page(0), pattern_a);
  fill(page(1), pattern_b);
  clear_marks();
  lock_takes();

  display::copy_page(c.source, c.destination);

  EXPECT_TRUE(holds(page(0), c.page0_after)) << "page 0 should hold " << c.page0_after;
  EXPECT_TRUE(holds(page(1), c.page1_after)) << "page 1 should hold " << c.page1_after;
  EXPECT_EQ(marked_rows(), c.marked_rows);
  EXPECT_EQ(lock_takes(), c.lock_takes);
  EXPECT_EQ(screen().work_page, c.work);
  EXPECT_EQ(screen().visible, page(c.visible));
}

// Page 0 starts as A, page 1 as B.
INSTANTIATE_TEST_SUITE_P(
    Pages, CopyPageTest,
    ::testing::Values(CopyCase{"OntoVisiblePage", 0, 1, 0, 1, 'A', 'A', 600, 1},
                      CopyCase{"OntoHiddenPage", 0, 0, 0, 1, 'A', 'A', 0, 0},
                      CopyCase{"HiddenOntoVisiblePage", 0, 0, 1, 0, 'B', 'B', 600, 1},
                      CopyCase{"SamePage", 0, 1, 1, 1, 'A', 'B', 0, 0},
                      CopyCase{"DestinationPastLastPage", 0, 1, 0, 2, 'A', 'B', 0, 0},
                      CopyCase{"SourcePastLastPage", 0, 1, 2, 1, 'A', 'B', 0, 0},
                      CopyCase{"NegativeSourcePastLastDestination", 0, 1, -1, 2, 'A', 'B', 0, 0},
                      CopyCase{"NegativeSourceIsWorkPage", 0, 1, -1, 1, 'A', 'A', 600, 1},
                      CopyCase{"AnyNegativeSourceIsWorkPage", 1, 0, -7, 0, 'B', 'B', 600, 1},
                      CopyCase{"NegativeSourceOntoItself", 1, 0, -1, 1, 'A', 'B', 0, 0},
                      CopyCase{"NegativeDestinationIsVisiblePage", 1, 1, 0, -1, 'A', 'A', 600, 1},
                      CopyCase{"NegativeDestinationOntoItself", 0, 1, 1, -1, 'A', 'B', 0, 0},
                      CopyCase{"WorkPageOntoVisiblePage", 0, 1, -1, -1, 'A', 'A', 600, 1},
                      CopyCase{"WorkPageIsVisiblePage", 0, 0, -1, -1, 'A', 'B', 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScreenTest, PageOperationsUnderAHeldLockLeaveItHeld) {
  screen().lock_held = true;
  clear_marks();

  display::set_pages(0, 1);
  EXPECT_EQ(screen().visible, page(1));
  EXPECT_EQ(marked_rows(), 600);
  EXPECT_EQ(lock_takes(), 0);
  EXPECT_TRUE(screen().lock_held);

  clear_marks();
  page(0)[777] = 42;
  display::copy_page(0, 1);
  EXPECT_EQ(page(1)[777], 42);
  EXPECT_EQ(marked_rows(), 600);
  EXPECT_EQ(lock_takes(), 0);
  EXPECT_TRUE(screen().lock_held);

  screen().lock_held = false;
}

TEST_F(ScreenTest, PageOperationsWithoutAScreenDoNothing) {
  display::close_screen();
  ASSERT_EQ(display::open_screen_record(), nullptr);
  display::set_pages(0, 1);
  display::set_pages(-1, -1);
  display::copy_page(0, 1);
  display::copy_page(-1, -1);
  EXPECT_EQ(display::open_screen_record(), nullptr);
  EXPECT_EQ(counts.locks, 0);
  EXPECT_EQ(counts.unlocks, 0);
}

}  // namespace
