// The paged screen: 800 by 600 pixels of 8-bit palette indices, kept as pages in
// memory. Drawing goes to the work page; the window shows the visible page and
// learns which of its rows changed through the redraw marks.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "display/display_link.h"
#include "display/key_queue.h"

namespace display {

constexpr int SCREEN_MODE_800X600 = 19;

// open_screen's flags as the window side reads them.
constexpr int FLAG_FULL_SCREEN = 1;
constexpr int FLAG_OPENGL = 2;
constexpr int FLAG_NO_SWITCH = 4;
constexpr int FLAGS_NO_WINDOW = -1;

struct ViewRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct TextCursor {
  int column = 0;
  int row = 0;
};

struct ScreenRecord {
  int mode = 0;
  int width = 0;
  int height = 0;
  int depth = 0;
  int bytes_per_pixel = 0;
  int pitch = 0;
  int page_count = 0;
  std::vector<std::vector<std::uint8_t>> pages;
  int work_page = 0;
  std::vector<std::uint8_t*> row_start;  // row y of the work page
  std::uint8_t* visible = nullptr;       // the page buffer the window shows
  std::vector<std::uint8_t> redraw_marks;
  std::array<std::uint32_t, 256> palette{};  // red bits 0-7, green 8-15, blue 16-23
  std::uint32_t foreground = 0;
  std::uint32_t background = 0;
  ViewRect view;

  // Lock state: whether an operation of the game thread holds the display lock.
  bool lock_held = false;

  TextCursor cursor;
  int text_view_top = 0;     // first text row that output uses
  int text_view_bottom = 0;  // last text row that output uses

  // Written by the window thread, read by the key operations, under the lock.
  std::array<std::uint8_t, 128> key_state{};
  KeyQueue key_queue;

  std::unique_ptr<DisplayLink> link;

  bool work_is_visible() const { return row_start.front() == visible; }
  std::uint8_t* page(int number) { return pages[static_cast<std::size_t>(number)].data(); }
};

// 0 when the screen is open, 1 when it was refused.
int open_screen(int mode, int depth, int page_count, int flags, int refresh_hz);
void set_pages(int work, int visible);
void copy_page(int source, int destination);

// Stops the display back-end and releases the screen; nothing when none is open.
void close_screen();

// The open screen, or nullptr.
ScreenRecord* open_screen_record();

// Sets the redraw marks of rows first to last, inclusive.
void mark_rows(ScreenRecord& screen, int first, int last);
void mark_all_rows(ScreenRecord& screen);

}  // namespace display
