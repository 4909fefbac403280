// Takes the display lock for the length of one operation, unless the game
// thread already holds it; then it neither takes it again nor releases it.
#pragma once

#include "display/screen.h"

namespace display {

class LockScope {
 public:
  explicit LockScope(ScreenRecord& screen) : screen_(screen), took_(!screen.lock_held) {
    if (took_) {
      screen_.link->lock();
      screen_.lock_held = true;
    }
  }
  ~LockScope() {
    if (took_) {
      screen_.lock_held = false;
      screen_.link->unlock();
    }
  }
  LockScope(const LockScope&) = delete;
  LockScope& operator=(const LockScope&) = delete;

 private:
  ScreenRecord& screen_;
  bool took_;
};

}  // namespace display
