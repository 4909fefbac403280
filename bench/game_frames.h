// The game's frame as the game makes it, for timing: the same operations in
// the same order, with no key held.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "game/constants.h"
#include "game/game.h"

namespace bench {

struct GamePictures {
  std::array<std::uint8_t, game::PADDLE_CAPACITY> paddle{};
  std::array<std::uint8_t, game::BALL_CAPACITY> ball{};
  std::array<std::uint8_t, game::BALL_CAPACITY> ball_eraser{};
  std::array<std::uint8_t, game::PADDLE_CAPACITY> paddle_eraser{};
  // Loads the four pictures from the source tree; false when one is missing.
  bool load();
};

// Plays on the open screen.
class GameFrames {
 public:
  explicit GameFrames(const GamePictures& pictures) : pictures_(pictures) {}
  void start();  // the game's first drawing
  bool frame();  // one frame; false when the ball is lost (then nothing is drawn)
  int frames() const { return frames_; }

 private:
  const GamePictures& pictures_;
  game::GameState state_;
  int frames_ = 0;
  int keys_held_ = 0;  // keeps the key polls
};

}  // namespace bench
