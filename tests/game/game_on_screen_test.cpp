// The game against the real paged screen and the committed pictures: what the
// pages hold while it plays and when it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "display/image.h"
#include "display/palette.h"
#include "display/screen.h"
#include "game/facility_operations.h"
#include "game/game.h"
#include "tests/game/recording_operations.h"
#include "tests/support/fake_link.h"

namespace {

using testing_support::GameEnded;
using Page = std::vector<std::uint8_t>;

constexpr int SNAPSHOT_FRAME = 8000;  // just after the bottom turn

class ObservedGame : public game::FacilityOperations {
 public:
  int key_down(int scancode) override {
    if (scancode == game::SCANCODE_UP && ++polls_ == SNAPSHOT_FRAME) {
      display::ScreenRecord& s = *display::open_screen_record();
      page0.assign(s.page(0), s.page(0) + 800 * 600);
      page1.assign(s.page(1), s.page(1) + 800 * 600);
      visible_is_page0 = s.visible == s.page(0);
      work_page = s.work_page;
    }
    return game::FacilityOperations::key_down(scancode);
  }
  int load_image(const char* file_name, std::span<std::uint8_t> destination) override {
    results.push_back(game::FacilityOperations::load_image(file_name, destination));
    records.emplace_back(destination.begin(), destination.end());
    return results.back();
  }
  int put_image(float x, float y, std::span<const std::uint8_t> image, int mode) override {
    if (polls_ == SNAPSHOT_FRAME - 1 && mode == game::RASTER_XOR &&
        image.size() == game::BALL_CAPACITY) {
      ball_x = x;
      ball_y = y;
    }
    return game::FacilityOperations::put_image(x, y, image, mode);
  }
  void sleep_ms(int ms) override { waits.push_back(ms); }
  [[noreturn]] void end_program(int code) override { throw GameEnded{code}; }

  std::vector<int> results;
  std::vector<Page> records;  // the four buffers as loaded
  std::vector<int> waits;
  Page page0, page1;
  bool visible_is_page0 = false;
  int work_page = -1;
  float ball_x = 0, ball_y = 0;

 private:
  int polls_ = 0;
};

// XORs a record onto a page at a whole-pixel position, clipped.
void xor_onto(Page& page, const Page& record, int left, int top) {
  const display::ImageHeader header = display::read_image_header(record);
  for (int r = 0; r < header.height; ++r) {
    for (int c = 0; c < header.width; ++c) {
      const int x = left + c;
      const int y = top + r;
      if (x >= 0 && x < 800 && y >= 0 && y < 600) {
        page[y * 800 + x] ^= record[4 + r * header.width + c];
      }
    }
  }
}

int differing_pixels(const Page& a, const Page& b) {
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

class GameOnScreen : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(PADDLEBALL_PICTURES_DIR);
    display::DisplayPlatform platform;
    platform.start_display = [](const display::DisplayRequest&, display::ScreenRecord&) {
      return std::make_unique<testing_support::FakeLink>(counts_);
    };
    display::set_display_platform(std::move(platform));
    game_ = new ObservedGame;
    auto paddleball = std::make_unique<game::Game>(*game_);
    try {
      paddleball->run();
    } catch (const GameEnded& ended) {
      exit_code_ = ended.code;
    }
    std::filesystem::current_path(previous);
  }
  static void TearDownTestSuite() {
    display::close_screen();
    display::set_display_platform({});
    delete game_;
  }

  static testing_support::LinkCounts counts_;
  static ObservedGame* game_;
  static int exit_code_;
};

testing_support::LinkCounts GameOnScreen::counts_;
ObservedGame* GameOnScreen::game_ = nullptr;
int GameOnScreen::exit_code_ = -1;

TEST_F(GameOnScreen, PicturesLoadAndKeepTheDefaultColours) {
  EXPECT_EQ(game_->results, (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(display::open_screen_record()->palette, display::default_palette());
  // The paddle is a bar on the picture's right edge; the erasers are all zero.
  const Page& paddle = game_->records[0];
  EXPECT_EQ(display::read_image_header(paddle).width, 153);
  EXPECT_EQ(display::read_image_header(paddle).height, 196);
  EXPECT_NE(paddle[4 + 152], 0);
  EXPECT_EQ(paddle[4 + 0], 0);
  for (const int eraser : {2, 3}) {
    const Page& record = game_->records[eraser];
    EXPECT_TRUE(std::all_of(record.begin() + 4, record.end(), [](auto b) { return b == 0; }));
  }
}

TEST_F(GameOnScreen, EveryFrameShowsPaddleAndBallOnBothPages) {
  ASSERT_EQ(game_->page0.size(), 800u * 600u);
  int left = 0, top = 0;
  ASSERT_TRUE(display::to_pixel_position(game_->ball_x, left));
  ASSERT_TRUE(display::to_pixel_position(game_->ball_y, top));
  Page expected(800 * 600, 0);
  xor_onto(expected, game_->records[0], 50, 300);
  xor_onto(expected, game_->records[1], left, top);
  EXPECT_EQ(differing_pixels(game_->page0, expected), 0);
  EXPECT_EQ(differing_pixels(game_->page1, expected), 0);
  EXPECT_TRUE(game_->visible_is_page0);
  EXPECT_EQ(game_->work_page, 1);
}

TEST_F(GameOnScreen, EndingShowsTheMessageAloneAndWaits) {
  EXPECT_EQ(exit_code_, 0);
  EXPECT_EQ(game_->waits, (std::vector<int>{10, 5000}));
  display::ScreenRecord& s = *display::open_screen_record();
  EXPECT_EQ(s.visible, s.page(0));
  EXPECT_EQ(std::memcmp(s.page(0), s.page(1), 800 * 600), 0);
  int lit = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      const std::uint8_t p = s.page(0)[y * 800 + x];
      if (x >= 208 || y >= 16) {
        ASSERT_EQ(p, 0) << "at " << x << ", " << y;
      } else {
        ASSERT_TRUE(p == 0 || p == 15);
        lit += p == 15;
      }
    }
  }
  EXPECT_GT(lit, 0);
  EXPECT_EQ(counts_.locks, counts_.unlocks);
}

}  // namespace
