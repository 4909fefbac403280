// The null back-end: the screen opens without a window. There is no window
// thread, so the display lock has nothing to guard and the colours go nowhere.
#pragma once

#include "display/display_link.h"

namespace window {

class NullLink final : public display::DisplayLink {
 public:
  void lock() override {}
  void unlock() override {}
  void set_colour(int, std::uint8_t, std::uint8_t, std::uint8_t) override {}
};

}  // namespace window
