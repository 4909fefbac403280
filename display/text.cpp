#include "display/text.h"

#include <algorithm>
#include <cstring>

#include "display/font.h"
#include "display/lock_scope.h"

namespace display {

namespace {

constexpr unsigned char BELL = 7;
constexpr unsigned char BACKSPACE = 8;
constexpr unsigned char TAB = 9;
constexpr unsigned char LINE_FEED = 10;
constexpr unsigned char CARRIAGE_RETURN = 13;
constexpr int TAB_COLUMNS = 8;

// Writes one output into the work page, keeping the cursor within the text grid.
class TextOutput {
 public:
  explicit TextOutput(ScreenRecord& screen) : screen_(screen), cursor_(screen.cursor) {}

  void write(std::string_view bytes) {
    bool ended_with_wrap = false;
    for (const char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      ended_with_wrap = false;
      switch (byte) {
        case BELL:
          if (display_platform().bell) display_platform().bell();
          break;
        case BACKSPACE:
          if (cursor_.column > 0) --cursor_.column;
          break;
        case TAB:
          for (int n = TAB_COLUMNS - cursor_.column % TAB_COLUMNS; n > 0; --n) {
            ended_with_wrap = put_character(' ');
          }
          break;
        case LINE_FEED:
          cursor_.column = 0;
          ++cursor_.row;
          break;
        case CARRIAGE_RETURN:
          cursor_.column = 0;
          break;
        default:
          ended_with_wrap = put_character(byte);
      }
    }
    // A bottom row filled to its last column scrolls only when more output comes.
    if (!ended_with_wrap) scroll_to_cursor();
  }

 private:
  // Draws a glyph at the cursor; true when that wrapped the cursor to a new row.
  bool put_character(unsigned char byte) {
    scroll_to_cursor();
    const int x = cursor_.column * GLYPH_WIDTH_PX;
    const int y = cursor_.row * GLYPH_HEIGHT_PX;
    const auto foreground = static_cast<std::uint8_t>(screen_.foreground);
    const auto background = static_cast<std::uint8_t>(screen_.background);
    const std::uint8_t* glyph = FONT_8X16.data() + byte * GLYPH_HEIGHT_PX;
    for (int r = 0; r < GLYPH_HEIGHT_PX; ++r) {
      std::uint8_t* pixel = screen_.row_start[y + r] + x;
      for (int c = 0; c < GLYPH_WIDTH_PX; ++c) {
        pixel[c] = (glyph[r] & (0x80 >> c)) ? foreground : background;
      }
    }
    if (screen_.work_is_visible()) mark_rows(screen_, y, y + GLYPH_HEIGHT_PX - 1);
    if (++cursor_.column < TEXT_COLUMNS) return false;
    cursor_.column = 0;
    ++cursor_.row;
    return true;
  }

  // Scrolls the text view up so that the cursor is back on its bottom row.
  void scroll_to_cursor() {
    const int top = screen_.text_view_top;
    const int bottom = screen_.text_view_bottom;
    const int n = cursor_.row - bottom;
    if (n <= 0) return;
    const int row_count = bottom - top + 1;
    const std::size_t width = TEXT_COLUMNS * GLYPH_WIDTH_PX;
    const int first_px = top * GLYPH_HEIGHT_PX;
    const int end_px = (bottom + 1) * GLYPH_HEIGHT_PX;
    const int kept_px = std::max(row_count - n, 0) * GLYPH_HEIGHT_PX;
    const int shift_px = n * GLYPH_HEIGHT_PX;
    for (int y = first_px; y < first_px + kept_px; ++y) {
      std::memcpy(screen_.row_start[y], screen_.row_start[y + shift_px], width);
    }
    for (int y = first_px + kept_px; y < end_px; ++y) {
      std::memset(screen_.row_start[y], static_cast<int>(screen_.background & 0xFF), width);
    }
    if (screen_.work_is_visible()) mark_rows(screen_, first_px, end_px - 1);
    cursor_.row = bottom;
  }

  ScreenRecord& screen_;
  TextCursor& cursor_;
};

}  // namespace

void clear_screen() {
  ScreenRecord* screen = open_screen_record();
  if (screen == nullptr) {
    if (display_platform().console_clear) display_platform().console_clear();
    return;
  }
  LockScope lock(*screen);
  const std::size_t row_bytes = static_cast<std::size_t>(screen->width) * screen->bytes_per_pixel;
  for (int y = 0; y < screen->height; ++y) {
    std::memset(screen->row_start[y], static_cast<int>(screen->background & 0xFF), row_bytes);
  }
  if (screen->work_is_visible()) mark_all_rows(*screen);
  screen->cursor = {0, screen->text_view_top};
}

void print_text(std::string_view text, bool line_break) {
  ScreenRecord* screen = open_screen_record();
  if (screen == nullptr) {
    const auto& write = display_platform().console_write;
    if (!write) return;
    if (!text.empty()) write(text);
    if (line_break) write("\r\n");
    return;
  }
  LockScope lock(*screen);
  TextOutput output(*screen);
  // An empty text is no output: it does not even release a waiting scroll.
  if (!text.empty()) output.write(text);
  if (line_break) output.write("\r\n");
}

}  // namespace display
