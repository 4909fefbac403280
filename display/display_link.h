// What the paged screen needs from whatever shows it: the display lock and the
// presentation colours. The window side implements this; the screen owns the
// link from a successful open_screen until the screen closes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace display {

class DisplayLink {
 public:
  virtual ~DisplayLink() = default;

  // The display lock, shared with the window thread. Recursive where a window
  // thread runs; a no-op for the null back-end.
  virtual void lock() = 0;
  virtual void unlock() = 0;

  // Stores one presentation colour and flags the colours as changed. Called
  // with the lock held, for all 256 entries at each palette hand-over.
  virtual void set_colour(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) = 0;
};

struct ScreenRecord;

// The window parameters that open_screen hands to the display side.
struct DisplayRequest {
  int width_px = 0;
  int height_px = 0;
  int depth_bits = 0;
  int refresh_hz = 0;
  int flags = 0;
};

// Starts a display back-end for the screen, or returns nullptr when none starts.
using DisplayStarter =
    std::function<std::unique_ptr<DisplayLink>(const DisplayRequest&, ScreenRecord&)>;

// The services of the platform that the display facility uses. Each may be left
// empty: no starter means no back-end ever starts; an empty console hook does
// nothing.
struct DisplayPlatform {
  DisplayStarter start_display;
  std::function<void(std::function<void()>)> at_program_end;  // registers an exit action
  std::function<void()> console_clear;
  std::function<void(std::string_view)> console_write;  // bytes as given
  std::function<void()> bell;                           // 1000 Hz for 250 ms, or its stand-in
};

void set_display_platform(DisplayPlatform platform);
const DisplayPlatform& display_platform();

}  // namespace display
