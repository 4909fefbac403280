#include "bench/game_frames.h"

#include <string>

#include "display/image.h"
#include "display/screen.h"
#include "window/keys.h"

namespace bench {

namespace {

bool load_one(const char* name, std::span<std::uint8_t> into) {
  const std::string path = std::string(PADDLEBALL_PICTURES_DIR) + "/" + name;
  return display::load_image(path.c_str(), into) == display::RESULT_DONE;
}

float at(std::int32_t pixel) {
  return static_cast<float>(pixel);
}

}  // namespace

bool GamePictures::load() {
  return load_one(game::PADDLE_FILE, paddle) && load_one(game::BALL_FILE, ball) &&
         load_one(game::BALL_ERASER_FILE, ball_eraser) &&
         load_one(game::PADDLE_ERASER_FILE, paddle_eraser);
}

void GameFrames::start() {
  state_ = game::GameState{};
  frames_ = 0;
  display::put_image(at(state_.paddle_x), at(state_.paddle_y), pictures_.paddle, game::RASTER_XOR);
  display::put_image(state_.ball_x, state_.ball_y, pictures_.ball, game::RASTER_XOR);
}

bool GameFrames::frame() {
  game::GameState& s = state_;
  if (game::ball_lost(s)) return false;
  game::turn_ball(s);
  const float paddle_x = at(s.paddle_x);
  const float paddle_y = at(s.paddle_y);
  display::set_pages(0, 1);
  display::put_image(paddle_x, paddle_y, pictures_.paddle, game::RASTER_XOR);
  display::put_image(s.ball_x, s.ball_y, pictures_.ball_eraser, game::RASTER_AND);
  s.ball_x = s.ball_x + s.ball_dx;
  s.ball_y = s.ball_y + s.ball_dy;
  display::put_image(s.ball_x, s.ball_y, pictures_.ball, game::RASTER_XOR);
  display::put_image(paddle_x, paddle_y, pictures_.paddle, game::RASTER_XOR);
  display::copy_page(0, 1);
  display::set_pages(1, 0);
  keys_held_ += window::key_down(game::SCANCODE_UP);
  keys_held_ += window::key_down(game::SCANCODE_DOWN);
  ++frames_;
  return true;
}

}  // namespace bench
