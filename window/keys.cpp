#include "window/keys.h"

#include <chrono>
#include <thread>

#include "display/lock_scope.h"
#include "display/screen.h"
#include "window/console_input.h"

namespace window {

namespace {

constexpr int WAIT_STEP_MS = 50;
constexpr int SHORTEST_CHECKED_WAIT_MS = 100;
constexpr int WAIT_FOR_KEY = -1;

void pause_ms(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool key_check() {
  display::ScreenRecord* screen = display::open_screen_record();
  if (screen == nullptr) return console_key_check();
  display::LockScope lock(*screen);
  return screen->key_queue.take_pressed();
}

}  // namespace

int key_down(int scancode) {
  if (scancode < 0 || scancode > 127) return 0;
  display::ScreenRecord* screen = display::open_screen_record();
  if (screen == nullptr) return 0;  // a terminal reports no held keys
  display::LockScope lock(*screen);
  return screen->key_state[scancode] ? 1 : 0;
}

void run_wait(int ms, const std::function<bool()>& check, const std::function<void(int)>& pause) {
  if (ms == WAIT_FOR_KEY) {
    while (!check()) pause(WAIT_STEP_MS);
    return;
  }
  if (ms >= SHORTEST_CHECKED_WAIT_MS) {
    for (; ms > WAIT_STEP_MS; ms -= WAIT_STEP_MS) {
      if (check()) return;
      pause(WAIT_STEP_MS);
    }
  }
  if (ms > 0) pause(ms);
}

void sleep_ms(int ms) {
  run_wait(ms, key_check, pause_ms);
}

}  // namespace window
