// The ball's path and the game's rules, played with no key held.
#include <gtest/gtest.h>

#include <cmath>

#include "display/image.h"
#include "game/game.h"
#include "tests/game/recording_operations.h"

namespace {

using testing_support::RecordingOperations;

class GameTrajectory : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    recorder_ = new RecordingOperations;
    recorder_->trajectory_only = true;
    play(*recorder_);
  }
  static void TearDownTestSuite() { delete recorder_; }

  // The ball's position after `move` moves (0: where it starts).
  static RecordingOperations::Position after(std::size_t move) {
    return recorder_->ball_moves.at(move);
  }
  static std::size_t moves() { return recorder_->ball_moves.size() - 1; }

  // The first move after which the next move goes back on that axis.
  template <typename Axis>
  static std::size_t first_turn(std::size_t from, Axis axis) {
    for (std::size_t k = from + 1; k + 1 <= moves(); ++k) {
      const float before = axis(after(k - 1));
      const float now = axis(after(k));
      const float next = axis(after(k + 1));
      if ((now - before) * (next - now) < 0) return k;
    }
    return 0;
  }

  static RecordingOperations* recorder_;
};

RecordingOperations* GameTrajectory::recorder_ = nullptr;

float x_of(RecordingOperations::Position p) {
  return p.x;
}
float y_of(RecordingOperations::Position p) {
  return p.y;
}

TEST_F(GameTrajectory, FirstTurnIsAtTheBottom) {
  const std::size_t turn = first_turn(0, y_of);
  EXPECT_EQ(turn, 7002u);
  EXPECT_EQ(after(turn).y, 600.016357421875f);
  EXPECT_EQ(after(turn).x, 650.0145263671875f);
  EXPECT_LT(first_turn(0, y_of), first_turn(0, x_of));
}

TEST_F(GameTrajectory, ThenTheRightLimitThenTheTop) {
  const std::size_t right = first_turn(0, x_of);
  EXPECT_EQ(right, 9203u);
  EXPECT_EQ(after(right).x, 760.0376586914062f);
  EXPECT_EQ(after(right).y, 489.99322509765625f);

  const std::size_t top = first_turn(7002, y_of);
  EXPECT_EQ(top, 18804u);
  EXPECT_EQ(after(top).y, 9.989359855651855f);
  EXPECT_EQ(after(top).x, 280.1048583984375f);
}

TEST_F(GameTrajectory, BallMissesThePaddleAndIsLostAfter24206Moves) {
  EXPECT_EQ(moves(), 24206u);
  EXPECT_EQ(after(moves()).x, 9.999735832214355f);
  EXPECT_EQ(after(moves()).y, 280.094482421875f);
  // It crossed the paddle's hit column 203 far above rows 301 to 496.
  for (std::size_t k = 18804; k <= moves(); ++k) {
    if (std::floor(after(k).x) == 203) {
      EXPECT_GE(std::floor(after(k).y), 86);
      EXPECT_LE(std::floor(after(k).y), 87);
    }
  }
}

TEST_F(GameTrajectory, BallIsWhollyBelowTheScreenFor21FramesAroundTheBottomTurn) {
  std::vector<std::size_t> hidden;
  for (std::size_t k = 0; k <= moves(); ++k) {
    int row = 0;
    ASSERT_TRUE(display::to_pixel_position(after(k).y, row));
    if (row >= 600) hidden.push_back(k);
  }
  ASSERT_EQ(hidden.size(), 21u);
  EXPECT_EQ(hidden.front(), 6992u);
  EXPECT_EQ(hidden.back(), 7012u);
}

struct LimitCase {
  const char* name;
  float x;
  float y;
  float dx;
  float dy;
  bool lost;
  float expected_dx;
  float expected_dy;
};

constexpr float S = game::BALL_STEP;

class GameLimits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(GameLimits, LimitsAreStrict) {
  const LimitCase& c = GetParam();
  game::GameState state;
  state.ball_x = c.x;
  state.ball_y = c.y;
  state.ball_dx = c.dx;
  state.ball_dy = c.dy;
  EXPECT_EQ(game::ball_lost(state), c.lost);
  game::turn_ball(state);
  EXPECT_EQ(state.ball_dx, c.expected_dx);
  EXPECT_EQ(state.ball_dy, c.expected_dy);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, GameLimits,
    ::testing::Values(
        LimitCase{"LeftAtTen", 10.0f, 300.0f, -S, S, false, -S, S},
        LimitCase{"LeftBelowTen", std::nextafter(10.0f, 0.0f), 300.0f, -S, S, true, -S, S},
        LimitCase{"RightAt760", 760.0f, 300.0f, S, S, false, S, S},
        LimitCase{"RightPast760", std::nextafter(760.0f, 800.0f), 300.0f, S, S, false, -S, S},
        LimitCase{"BottomAt600", 400.0f, 600.0f, S, S, false, S, S},
        LimitCase{"BottomPast600", 400.0f, std::nextafter(600.0f, 700.0f), S, S, false, S, -S},
        LimitCase{"TopAtTen", 400.0f, 10.0f, S, -S, false, S, -S},
        LimitCase{"TopBelowTen", 400.0f, 9.99f, S, -S, false, S, S}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GameRules, BallStepIsTheFloatNearestToFiveHundredths) {
  EXPECT_EQ(std::bit_cast<std::uint32_t>(game::BALL_STEP), 0x3D4CCCCDu);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(-game::BALL_STEP), 0xBD4CCCCDu);
}

struct HitCase {
  float ball_x;
  float ball_y;
  std::int32_t paddle_y;
  bool hit;
};

TEST(GameRules, PaddleHitColumnAndRows) {
  const HitCase cases[] = {
      {203.0f, 301.0f, 300, true},    // top row just below the paddle's top
      {203.0f, 300.99f, 300, false},  // floor equals paddle_y
      {203.0f, 496.5f, 300, true},    // paddle_y + 196
      {203.0f, 497.0f, 300, false},   // paddle_y + 197
      {203.99f, 400.0f, 300, true},  {202.99f, 400.0f, 300, false}, {204.0f, 400.0f, 300, false},
      {203.0f, 0.5f, -10, true},    // an unbounded paddle above the screen
      {203.0f, -9.5f, -10, false},  // floor(-9.5) = -10 = paddle_y
      {203.0f, -8.5f, -10, true},
  };
  for (const HitCase& c : cases) {
    EXPECT_EQ(game::paddle_hit(c.ball_x, c.ball_y, 50, c.paddle_y), c.hit)
        << "ball (" << c.ball_x << ", " << c.ball_y << "), paddle_y " << c.paddle_y;
  }
}

TEST(GameRules, RaisedPaddleSendsTheBallBack) {
  // With cursor up held for the first 250 frames the paddle's hit rows are
  // 51 to 246, and the ball crosses column 203 near row 86.
  RecordingOperations ops;
  ops.trajectory_only = true;
  ops.keys = [](int frame, int scancode) { return frame < 250 && scancode == 72; };
  ops.stop_at_frame = 30000;
  play(ops);
  EXPECT_EQ(ops.frames(), 30000) << "the game was lost";
  std::size_t turn = 0;
  for (std::size_t k = 18805; k + 1 < ops.ball_moves.size(); ++k) {
    if (ops.ball_moves[k + 1].x > ops.ball_moves[k].x) {
      turn = k;
      break;
    }
  }
  ASSERT_NE(turn, 0u);
  EXPECT_EQ(std::floor(ops.ball_moves[turn].x), 203.0f);
}

}  // namespace
