#include "display/screen.h"

#include <algorithm>
#include <cstring>

#include "display/lock_scope.h"
#include "display/palette.h"

namespace display {

namespace {

struct ModeRow {
  int width;
  int height;
  int depth;
  int window_rows_per_page_row;
  int text_rows;
};

// Only the 800 by 600 mode has a row in this build; every other number is refused.
constexpr ModeRow MODE_19 = {800, 600, 8, 1, 37};

const ModeRow* mode_row(int mode) {
  return mode == SCREEN_MODE_800X600 ? &MODE_19 : nullptr;
}

// The depth the screen gets for a requested depth, by the mode-table rule.
int effective_depth(int mode, const ModeRow& row, int requested, int flags) {
  int depth = row.depth;
  if (mode > 13) {
    if (requested == 8 || requested == 16 || requested == 32) depth = requested;
    if (requested == 15) depth = 16;
    if (requested == 24) depth = 32;
  }
  if (flags >= 0 && (flags & FLAG_OPENGL) && depth < 16) depth = 16;
  return depth;
}

std::unique_ptr<ScreenRecord>& screen_storage() {
  static std::unique_ptr<ScreenRecord> screen;
  return screen;
}

bool close_registered = false;

void point_rows_at(ScreenRecord& screen, int page_number) {
  std::uint8_t* page = screen.page(page_number);
  for (int y = 0; y < screen.height; ++y) {
    screen.row_start[y] = page + static_cast<std::size_t>(y) * screen.pitch;
  }
}

std::unique_ptr<ScreenRecord> make_screen(int mode, const ModeRow& row, int page_count) {
  auto screen = std::make_unique<ScreenRecord>();
  screen->mode = mode;
  screen->width = row.width;
  screen->height = row.height;
  screen->depth = row.depth;
  screen->bytes_per_pixel = 1;
  screen->pitch = row.width;
  screen->page_count = page_count;
  screen->pages.assign(page_count,
                       std::vector<std::uint8_t>(static_cast<std::size_t>(row.height) * row.width));
  screen->row_start.resize(row.height);
  point_rows_at(*screen, 0);
  screen->work_page = 0;
  screen->visible = screen->page(0);
  screen->redraw_marks.assign(row.height, 0);
  screen->view = {0, 0, row.width, row.height};
  return screen;
}

}  // namespace

ScreenRecord* open_screen_record() {
  return screen_storage().get();
}

void mark_rows(ScreenRecord& screen, int first, int last) {
  std::fill(screen.redraw_marks.begin() + first, screen.redraw_marks.begin() + last + 1, 1);
}

void mark_all_rows(ScreenRecord& screen) {
  mark_rows(screen, 0, screen.height - 1);
}

void close_screen() {
  auto& screen = screen_storage();
  if (!screen) return;
  screen->link.reset();  // stops the back-end first: the window closes, its thread ends
  screen.reset();
}

int open_screen(int mode, int depth, int page_count, int flags, int refresh_hz) {
  if (mode < 0 || mode > 21 || (mode >= 3 && mode <= 6)) return 1;
  const ModeRow* row = mode_row(mode);
  if (mode != 0 && row == nullptr) return 1;
  // Pages hold one byte per pixel: deeper screens are not drawn by this facility.
  if (row != nullptr && effective_depth(mode, *row, depth, flags) != row->depth) return 1;
  page_count = std::max(page_count, 1);

  close_screen();
  if (mode == 0) return 0;

  auto screen = make_screen(mode, *row, page_count);
  const DisplayPlatform& platform = display_platform();
  if (platform.start_display) {
    const DisplayRequest request{row->width, row->height * row->window_rows_per_page_row,
                                 row->depth, refresh_hz, flags};
    screen->link = platform.start_display(request, *screen);
  }
  if (!screen->link) return 1;

  {
    LockScope lock(*screen);
    screen->palette = default_palette();
    hand_over_palette(*screen);
    mark_all_rows(*screen);
  }
  screen->foreground = 15;
  screen->background = 0;
  if (!close_registered && platform.at_program_end) {
    close_registered = true;
    platform.at_program_end(close_screen);
  }
  screen->text_view_top = 0;
  screen->text_view_bottom = row->text_rows - 1;
  screen->cursor = {0, 0};
  screen_storage() = std::move(screen);
  return 0;
}

void set_pages(int work, int visible) {
  ScreenRecord* screen = open_screen_record();
  if (screen == nullptr) return;
  if (work < 0 && visible < 0) work = visible = 0;
  if (work >= 0 && work < screen->page_count) {
    point_rows_at(*screen, work);
    screen->work_page = work;
  }
  if (visible >= 0 && visible < screen->page_count && screen->page(visible) != screen->visible) {
    LockScope lock(*screen);
    screen->visible = screen->page(visible);
    mark_all_rows(*screen);
  }
}

void copy_page(int source, int destination) {
  ScreenRecord* screen = open_screen_record();
  if (screen == nullptr) return;
  if (source >= screen->page_count || destination >= screen->page_count) return;
  std::uint8_t* from = source < 0 ? screen->page(screen->work_page) : screen->page(source);
  std::uint8_t* to = destination < 0 ? screen->visible : screen->page(destination);
  if (from == to) return;

  const ViewRect& view = screen->view;
  const auto copy_rows = [&] {
    const std::size_t row_bytes = static_cast<std::size_t>(view.width) * screen->bytes_per_pixel;
    for (int y = view.top; y < view.top + view.height; ++y) {
      const std::size_t offset = static_cast<std::size_t>(y) * screen->pitch;
      std::memcpy(to + offset, from + offset, row_bytes);
    }
  };
  if (to != screen->visible) {
    copy_rows();
    return;
  }
  LockScope lock(*screen);
  copy_rows();
  mark_rows(*screen, view.top, view.top + view.height - 1);
}

}  // namespace display
