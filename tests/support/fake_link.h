// A display link for tests: counts how often the display lock is taken and
// released, and keeps the colours handed over.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "display/display_link.h"
#include "display/screen.h"

namespace testing_support {

struct LinkCounts {
  int locks = 0;
  int unlocks = 0;
  int depth = 0;  // locks minus unlocks
  int colour_calls = 0;
  int colours_outside_lock = 0;  // hand-overs made without the lock held
  std::array<std::array<std::uint8_t, 3>, 256> colours{};
};

class FakeLink final : public display::DisplayLink {
 public:
  explicit FakeLink(LinkCounts& counts) : counts_(counts) {}
  void lock() override {
    ++counts_.locks;
    ++counts_.depth;
  }
  void unlock() override {
    ++counts_.unlocks;
    --counts_.depth;
  }
  void set_colour(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) override {
    ++counts_.colour_calls;
    if (counts_.depth == 0) ++counts_.colours_outside_lock;
    counts_.colours[index] = {red, green, blue};
  }

 private:
  LinkCounts& counts_;
};

// Opens the game's screen (800 by 600, 8 bits, two pages) on a FakeLink, with
// no console hooks, and closes it again afterwards.
class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Reopens with other arguments; returns open_screen's result.
  int reopen(int mode, int depth, int page_count, int flags = 0);

  display::ScreenRecord& screen() { return *display::open_screen_record(); }
  std::uint8_t* page(int number) { return screen().page(number); }
  std::uint8_t pixel(int page_number, int x, int y) { return page(page_number)[y * 800 + x]; }
  void clear_marks();
  bool any_mark() const;
  int marked_rows() const;
  // Locks and unlocks since the last call, both checked equal.
  int lock_takes();

  LinkCounts counts;
  display::DisplayRequest last_request;
  int starts = 0;
};

}  // namespace testing_support
