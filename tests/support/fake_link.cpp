#include "tests/support/fake_link.h"

#include <algorithm>

namespace testing_support {

void ScreenTest::SetUp() {
  ASSERT_EQ(reopen(19, 8, 2), 0);
}

void ScreenTest::TearDown() {
  display::close_screen();
  display::set_display_platform({});
}

int ScreenTest::reopen(int mode, int depth, int page_count, int flags) {
  display::DisplayPlatform platform;
  platform.start_display = [this](const display::DisplayRequest& request, display::ScreenRecord&) {
    last_request = request;
    ++starts;
    return std::make_unique<FakeLink>(counts);
  };
  display::set_display_platform(std::move(platform));
  const int result = display::open_screen(mode, depth, page_count, flags, 0);
  counts.locks = counts.unlocks = 0;
  return result;
}

void ScreenTest::clear_marks() {
  std::fill(screen().redraw_marks.begin(), screen().redraw_marks.end(), 0);
}

bool ScreenTest::any_mark() const {
  return marked_rows() > 0;
}

int ScreenTest::marked_rows() const {
  const auto& marks = display::open_screen_record()->redraw_marks;
  return static_cast<int>(std::count_if(marks.begin(), marks.end(), [](auto m) { return m != 0; }));
}

int ScreenTest::lock_takes() {
  EXPECT_EQ(counts.locks, counts.unlocks) << "lock left held";
  const int takes = counts.locks;
  counts.locks = counts.unlocks = 0;
  return takes;
}

}  // namespace testing_support
