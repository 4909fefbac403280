// Key polling and waiting for the game thread.
#pragma once

#include <functional>

namespace window {

// 1 while the key with that set-1 scancode is held, else 0; 0 outside 0 to 127.
int key_down(int scancode);

// Waits ms milliseconds; a wait of 100 ms or more ends early after a key press,
// and -1 waits for one.
void sleep_ms(int ms);

// The schedule of a wait: key checks and pauses in the order sleep_ms makes
// them. key_check reads and clears the key-press flag.
void run_wait(int ms, const std::function<bool()>& key_check,
              const std::function<void(int)>& pause);

}  // namespace window
