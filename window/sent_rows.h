// What the window last received of the visible page: a copy of each row's
// palette indices as sent, and whether the window still shows that row. A
// cycle sends only the marked rows whose bytes differ from the copy; after
// anything that may have changed the window behind the copy's back (new
// colours, a repaint request, activation, a new window) the copy is forgotten
// and every marked row is sent again.
#pragma once

#include <cstdint>
#include <vector>

#include "display/screen.h"
#include "window/backend.h"

namespace window {

class SentRows {
 public:
  // The next narrowing keeps every marked row.
  void forget_all() { known_.assign(known_.size(), 0); }

  // Clears the mark of each marked row that the window already shows as it
  // is now, and takes the rest into the copy as sent.
  void keep_changed_rows(display::ScreenRecord& screen);

 private:
  std::vector<std::uint8_t> rows_;
  std::vector<std::uint8_t> known_;  // per row: the copy is what the window shows
  int width_ = 0;
};

// One cycle's presentation: narrows the marks to the rows that changed, has
// the back-end show them and clears all marks.
void present_changed_rows(WindowBackend& backend, SentRows& sent, display::ScreenRecord& screen);

// Converts count palette indices into 32-bit pixels through table.
void convert_indices(const std::uint8_t* indices, std::uint32_t* pixels, const std::uint32_t* table,
                     int count);

}  // namespace window
