#include "game/game.h"

#include <cmath>
#include <cstdlib>

namespace game {

namespace {

float as_coordinate(std::int32_t pixel) {
  return static_cast<float>(pixel);
}

}  // namespace

bool paddle_hit(float ball_x, float ball_y, std::int32_t paddle_x, std::int32_t paddle_y) {
  const double column = std::floor(ball_x);
  const double row = std::floor(ball_y);
  const bool in_column = column == double(std::int64_t{paddle_x} + PADDLE_HIT_OFFSET_X);
  const bool below_top = row > double(paddle_y);
  const bool above_bottom = row < double(std::int64_t{paddle_y} + PADDLE_HIT_HEIGHT);
  return in_column && below_top && above_bottom;
}

bool ball_lost(const GameState& s) {
  return s.ball_x < LOSE_LIMIT_X;
}

void turn_ball(GameState& s) {
  if (s.ball_x > RIGHT_LIMIT_X) s.ball_dx = -BALL_STEP;
  if (s.ball_y < TOP_LIMIT_Y) s.ball_dy = BALL_STEP;
  if (s.ball_y > BOTTOM_LIMIT_Y) s.ball_dy = -BALL_STEP;
  if (paddle_hit(s.ball_x, s.ball_y, s.paddle_x, s.paddle_y)) s.ball_dx = BALL_STEP;
}

void Game::run() {
  start();
  for (;;) frame();
}

void Game::start() {
  ops_.open_screen(SCREEN_MODE, SCREEN_DEPTH, SCREEN_PAGES, SCREEN_FLAGS, SCREEN_REFRESH_HZ);
  ops_.load_image(PADDLE_FILE, paddle_image_);
  ops_.load_image(BALL_FILE, ball_image_);
  ops_.load_image(BALL_ERASER_FILE, ball_eraser_);
  ops_.load_image(PADDLE_ERASER_FILE, paddle_eraser_);
  state_ = GameState{};
  // No page is chosen yet: both land on page 0, which is also shown.
  ops_.put_image(as_coordinate(state_.paddle_x), as_coordinate(state_.paddle_y), paddle_image_,
                 RASTER_XOR);
  ops_.put_image(state_.ball_x, state_.ball_y, ball_image_, RASTER_XOR);
}

void Game::frame() {
  GameState& s = state_;
  if (ball_lost(s)) end();
  turn_ball(s);

  // Draw on hidden page 0 while page 1 shows the last picture, then show page 0.
  const float paddle_x = as_coordinate(s.paddle_x);
  const float paddle_y = as_coordinate(s.paddle_y);
  ops_.set_pages(0, 1);
  ops_.put_image(paddle_x, paddle_y, paddle_image_, RASTER_XOR);  // paddle out
  ops_.put_image(s.ball_x, s.ball_y, ball_eraser_, RASTER_AND);
  s.ball_x = s.ball_x + s.ball_dx;
  s.ball_y = s.ball_y + s.ball_dy;
  ops_.put_image(s.ball_x, s.ball_y, ball_image_, RASTER_XOR);
  ops_.put_image(paddle_x, paddle_y, paddle_image_, RASTER_XOR);  // paddle back
  ops_.copy_page(0, 1);
  ops_.set_pages(1, 0);

  if (ops_.key_down(SCANCODE_UP)) move_paddle(-1);
  if (ops_.key_down(SCANCODE_DOWN)) move_paddle(+1);
}

void Game::move_paddle(int step) {
  GameState& s = state_;
  ops_.set_pages(0, 1);
  ops_.put_image(as_coordinate(s.paddle_x), as_coordinate(s.paddle_y), paddle_eraser_, RASTER_AND);
  ops_.sleep_ms(KEY_STEP_WAIT_MS);
  s.paddle_y += step;
  ops_.put_image(as_coordinate(s.paddle_x), as_coordinate(s.paddle_y), paddle_image_, RASTER_XOR);
  ops_.copy_page(0, 1);
  ops_.set_pages(1, 0);
}

void Game::end() {
  ops_.set_pages(0, 1);
  ops_.clear_screen();
  ops_.print_text(LOSE_MESSAGE, true);
  ops_.copy_page(0, 1);
  ops_.set_pages(1, 0);
  ops_.sleep_ms(ENDING_SHORT_WAIT_MS);
  ops_.sleep_ms(ENDING_WAIT_MS);
  ops_.end_program(0);
  std::abort();  // end_program does not return
}

}  // namespace game
