// The game's fixed values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace game {

// 0.05 narrowed to the nearest float, 0x3D4CCCCD.
constexpr float BALL_STEP = static_cast<float>(0.05);

constexpr std::int32_t PADDLE_START_X = 50;
constexpr std::int32_t PADDLE_START_Y = 300;
constexpr float BALL_START_X = 300.0f;
constexpr float BALL_START_Y = 250.0f;

constexpr float LOSE_LIMIT_X = 10.0f;
constexpr float RIGHT_LIMIT_X = 760.0f;
constexpr float TOP_LIMIT_Y = 10.0f;
constexpr float BOTTOM_LIMIT_Y = 600.0f;  // the screen height, tested against the ball's top

constexpr std::int32_t PADDLE_HIT_OFFSET_X = 153;
constexpr std::int32_t PADDLE_HIT_HEIGHT = 197;

constexpr int SCANCODE_UP = 72;
constexpr int SCANCODE_DOWN = 80;

constexpr std::string_view LOSE_MESSAGE = "YOU LOST, SUCKER!!!!!!!!!!";

// Picture buffers: an 8-bit record of 4 header bytes and one byte per pixel.
constexpr std::size_t PADDLE_CAPACITY = 30143;
constexpr std::size_t BALL_CAPACITY = 3215;

constexpr const char* PADDLE_FILE = "penis.bmp";
constexpr const char* BALL_FILE = "ball.bmp";
constexpr const char* BALL_ERASER_FILE = "black.bmp";
constexpr const char* PADDLE_ERASER_FILE = "black2.bmp";

// How the game opens its screen: 800 by 600, 8 bits, two pages, a window, the
// display's own refresh rate.
constexpr int SCREEN_MODE = 19;
constexpr int SCREEN_DEPTH = 8;
constexpr int SCREEN_PAGES = 2;
constexpr int SCREEN_FLAGS = 0;
constexpr int SCREEN_REFRESH_HZ = 0;

constexpr int RASTER_AND = 3;
constexpr int RASTER_XOR = 5;

constexpr int ENDING_SHORT_WAIT_MS = 10;
constexpr int ENDING_WAIT_MS = 5000;
constexpr int KEY_STEP_WAIT_MS = 1;

}  // namespace game
