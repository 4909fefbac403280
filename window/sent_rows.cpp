#include "window/sent_rows.h"

#include <cstring>

namespace window {

void SentRows::keep_changed_rows(display::ScreenRecord& screen) {
  const std::size_t width = static_cast<std::size_t>(screen.width) * screen.bytes_per_pixel;
  const std::size_t height = static_cast<std::size_t>(screen.height);
  if (width_ != static_cast<int>(width) || known_.size() != height) {
    width_ = static_cast<int>(width);
    rows_.assign(width * height, 0);
    known_.assign(height, 0);
  }
  for (std::size_t y = 0; y < height; ++y) {
    if (!screen.redraw_marks[y]) continue;
    const std::uint8_t* row = screen.visible + y * screen.pitch;
    std::uint8_t* copy = rows_.data() + y * width;
    if (known_[y] && std::memcmp(row, copy, width) == 0) {
      screen.redraw_marks[y] = 0;
      continue;
    }
    std::memcpy(copy, row, width);
    known_[y] = 1;
  }
}

void present_changed_rows(WindowBackend& backend, SentRows& sent, display::ScreenRecord& screen) {
  sent.keep_changed_rows(screen);
  backend.present(screen);
  std::memset(screen.redraw_marks.data(), 0, screen.redraw_marks.size());
}

void convert_indices(const std::uint8_t* __restrict indices, std::uint32_t* __restrict pixels,
                     const std::uint32_t* __restrict table, int count) {
  int x = 0;
  // Eight indices per load; the lookups are independent of one another.
  for (; x + 8 <= count; x += 8) {
    std::uint64_t eight = 0;
    std::memcpy(&eight, indices + x, sizeof eight);
    pixels[x] = table[eight & 0xFF];
    pixels[x + 1] = table[(eight >> 8) & 0xFF];
    pixels[x + 2] = table[(eight >> 16) & 0xFF];
    pixels[x + 3] = table[(eight >> 24) & 0xFF];
    pixels[x + 4] = table[(eight >> 32) & 0xFF];
    pixels[x + 5] = table[(eight >> 40) & 0xFF];
    pixels[x + 6] = table[(eight >> 48) & 0xFF];
    pixels[x + 7] = table[eight >> 56];
  }
  for (; x < count; ++x) pixels[x] = table[indices[x]];
}

}  // namespace window
