// The calls the game makes, in order, with their arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/game/recording_operations.h"

namespace {

using testing_support::Call;
using testing_support::Op;
using testing_support::RecordingOperations;

std::vector<std::string> describe(const std::vector<Call>& calls, std::size_t from,
                                  std::size_t count) {
  std::vector<std::string> lines;
  for (std::size_t i = from; i < from + count && i < calls.size(); ++i) {
    lines.push_back(calls[i].describe());
  }
  return lines;
}

// Index of the n-th call (0 first) of a kind.
std::size_t nth(const std::vector<Call>& calls, Op op, int n) {
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].op == op && n-- == 0) return i;
  }
  ADD_FAILURE() << "no such call";
  return calls.size();
}

const std::vector<std::string> START = {
    "open_screen(19, 8, 2, 0, 0)",
    "load_image(penis.bmp into 30143 bytes)",
    "load_image(ball.bmp into 3215 bytes)",
    "load_image(black.bmp into 3215 bytes)",
    "load_image(black2.bmp into 30143 bytes)",
    "put_image(penis.bmp, 50, 300, 5)",
    "put_image(ball.bmp, 300, 250, 5)",
};

TEST(GameProtocol, StartsWithScreenPicturesAndFirstDrawings) {
  RecordingOperations ops;
  ops.stop_at_frame = 1;
  play(ops);
  EXPECT_EQ(describe(ops.calls, 0, START.size()), START);
}

TEST(GameProtocol, FrameWithoutKeysDrawsOnHiddenPageThenShowsIt) {
  RecordingOperations ops;
  ops.stop_at_frame = 2;
  play(ops);
  const std::vector<std::string> frame = {
      "set_pages(0, 1)",
      "put_image(penis.bmp, 50, 300, 5)",
      "put_image(black.bmp, 300, 250, 3)",
      "put_image(ball.bmp, 300.05, 250.05, 5)",
      "put_image(penis.bmp, 50, 300, 5)",
      "copy_page(0, 1)",
      "set_pages(1, 0)",
      "key_down(72)",
      "key_down(80)",
  };
  EXPECT_EQ(describe(ops.calls, START.size(), frame.size()), frame);
  // The second frame erases the ball where the first one drew it.
  const Call& erase = ops.calls[START.size() + frame.size() + 2];
  EXPECT_EQ(erase.picture, "black.bmp");
  EXPECT_EQ(erase.x, 300.0f + 0.05f);
  EXPECT_EQ(erase.y, 250.0f + 0.05f);
  for (const Call& call : ops.calls) EXPECT_NE(call.op, Op::sleep_ms);  // no wait without a key
}

struct KeyCase {
  const char* name;
  bool up;
  bool down;
  std::vector<std::string> after_polls;  // the calls that follow the frame's drawing
};

class GameKeySteps : public ::testing::TestWithParam<KeyCase> {};

TEST_P(GameKeySteps, EachHeldKeyErasesWaitsMovesAndShowsThePaddle) {
  const KeyCase& c = GetParam();
  RecordingOperations ops;
  ops.keys = [&](int frame, int scancode) {
    return frame == 0 && ((scancode == 72 && c.up) || (scancode == 80 && c.down));
  };
  ops.stop_at_frame = 1;
  play(ops);
  const std::size_t first_poll = nth(ops.calls, Op::key_down, 0);
  EXPECT_EQ(describe(ops.calls, first_poll, c.after_polls.size()), c.after_polls);
  // The next frame starts right after.
  EXPECT_EQ(ops.calls[first_poll + c.after_polls.size()].describe(), "set_pages(0, 1)");
}

const std::vector<std::string> UP_STEP = {
    "set_pages(0, 1)", "put_image(black2.bmp, 50, 300, 3)",
    "sleep_ms(1)",     "put_image(penis.bmp, 50, 299, 5)",
    "copy_page(0, 1)", "set_pages(1, 0)",
};

INSTANTIATE_TEST_SUITE_P(
    Keys, GameKeySteps,
    ::testing::Values(KeyCase{"Up", true, false,
                              [] {
                                std::vector<std::string> v = {"key_down(72)"};
                                v.insert(v.end(), UP_STEP.begin(), UP_STEP.end());
                                v.push_back("key_down(80)");
                                return v;
                              }()},
                      KeyCase{"Down",
                              false,
                              true,
                              {"key_down(72)", "key_down(80)", "set_pages(0, 1)",
                               "put_image(black2.bmp, 50, 300, 3)", "sleep_ms(1)",
                               "put_image(penis.bmp, 50, 301, 5)", "copy_page(0, 1)",
                               "set_pages(1, 0)"}},
                      // Up then down in the same frame: the paddle ends where it was.
                      KeyCase{"Both", true, true,
                              [] {
                                std::vector<std::string> v = {"key_down(72)"};
                                v.insert(v.end(), UP_STEP.begin(), UP_STEP.end());
                                v.insert(v.end(),
                                         {"key_down(80)", "set_pages(0, 1)",
                                          "put_image(black2.bmp, 50, 299, 3)", "sleep_ms(1)",
                                          "put_image(penis.bmp, 50, 300, 5)", "copy_page(0, 1)",
                                          "set_pages(1, 0)"});
                                return v;
                              }()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GameProtocol, PaddleHasNoBounds) {
  RecordingOperations ops;
  ops.keys = [](int, int scancode) { return scancode == 72; };
  ops.stop_at_frame = 302;
  play(ops);
  // After 301 frames with cursor up held the paddle's top is row -1, and the
  // next frame draws it there. Each such frame selects pages four times.
  const Call& last_frame_paddle = ops.calls[nth(ops.calls, Op::set_pages, 4 * 301) + 1];
  EXPECT_EQ(last_frame_paddle.picture, "penis.bmp");
  EXPECT_EQ(last_frame_paddle.y, -1.0f);
}

TEST(GameProtocol, EndingClearsPrintsShowsWaitsAndEnds) {
  RecordingOperations ops;
  play(ops);
  ASSERT_FALSE(ops.calls.empty());
  const std::vector<std::string> ending = {
      "set_pages(0, 1)", "clear_screen()",  "print_text(\"YOU LOST, SUCKER!!!!!!!!!!\", 1)",
      "copy_page(0, 1)", "set_pages(1, 0)", "sleep_ms(10)",
      "sleep_ms(5000)",  "end_program(0)",
  };
  const std::size_t clear = nth(ops.calls, Op::clear_screen, 0);
  EXPECT_EQ(describe(ops.calls, clear - 1, ops.calls.size() - clear + 1), ending);
  // The ending follows the last frame's key polls directly.
  EXPECT_EQ(ops.calls[clear - 2].describe(), "key_down(80)");
}

}  // namespace
