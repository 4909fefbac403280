// The contract between the window thread and a window back-end. Every call
// comes from the window thread, which holds the display lock for all but
// open and close at start and end, so a back-end needs no locking of its own.
//
// A new back-end is one new file implementing this class, and a row in the
// back-end list (backends.cpp).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "display/screen.h"

namespace window {

struct WindowSettings {
  std::string title;
  int width_px = 0;
  int height_px = 0;
  int refresh_hz = 0;  // 0: the display's own
  int flags = 0;       // display::FLAG_FULL_SCREEN and the rest
};

// 256 colours as red, green, blue, handed over from the screen palette.
using PresentationColours = std::array<std::array<std::uint8_t, 3>, 256>;

class WindowBackend {
 public:
  virtual ~WindowBackend() = default;

  // Makes the window, or the full-screen display when settings.flags asks for
  // it. Returns false, with nothing left open, when it cannot.
  virtual bool open(const WindowSettings& settings) = 0;

  // Closes what open made, leaving full screen first.
  virtual void close() = 0;

  // The SDL id of the window open now, 0 when none is.
  virtual std::uint32_t window_id() const = 0;

  // True while the window shows the full-screen display.
  virtual bool full_screen() const = 0;

  // True when the presentation surface shows palette indices as they are and
  // takes its colours from the presentation colours.
  virtual bool shows_indices() const = 0;
  virtual void load_colours(const PresentationColours& colours) = 0;

  // Shows the rows of the visible page that carry redraw marks.
  virtual void present(const display::ScreenRecord& screen) = 0;

  // The window system asks for the window to be drawn again.
  virtual void repaint(display::ScreenRecord& screen) = 0;

  // Reads the keyboard's held keys into the 128-entry key-state table.
  virtual void sample_keys(std::array<std::uint8_t, 128>& key_state) = 0;
};

}  // namespace window
