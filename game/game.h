// The paddle-and-ball game: its state, its frame and its ending.
#pragma once

#include <array>
#include <cstdint>

#include "game/constants.h"
#include "game/operations.h"

namespace game {

struct GameState {
  std::int32_t paddle_x = PADDLE_START_X;
  std::int32_t paddle_y = PADDLE_START_Y;
  float ball_x = BALL_START_X;
  float ball_y = BALL_START_Y;
  float ball_dx = BALL_STEP;
  float ball_dy = BALL_STEP;
};

// True when the ball's left edge is in the paddle's hit column and its top row
// lies strictly between the paddle's top and its top plus PADDLE_HIT_HEIGHT.
bool paddle_hit(float ball_x, float ball_y, std::int32_t paddle_x, std::int32_t paddle_y);

// True when the ball has passed the left limit: the game is lost.
bool ball_lost(const GameState& state);

// Turns the ball at the right, top and bottom limits and at the paddle.
void turn_ball(GameState& state);

class Game {
 public:
  explicit Game(Operations& operations) : ops_(operations) {}

  // Opens the screen, loads the pictures and plays until the ball is lost;
  // ends the program.
  [[noreturn]] void run();

 private:
  void start();
  void frame();
  void move_paddle(int step);
  [[noreturn]] void end();

  Operations& ops_;
  GameState state_;
  std::array<std::uint8_t, PADDLE_CAPACITY> paddle_image_{};
  std::array<std::uint8_t, BALL_CAPACITY> ball_image_{};
  std::array<std::uint8_t, BALL_CAPACITY> ball_eraser_{};
  std::array<std::uint8_t, PADDLE_CAPACITY> paddle_eraser_{};
};

}  // namespace game
