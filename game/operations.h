// The ten operations the game calls. The program passes the display facility;
// tests pass a recording fake.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace game {

class Operations {
 public:
  virtual ~Operations() = default;

  virtual int open_screen(int mode, int depth, int page_count, int flags, int refresh_hz) = 0;
  virtual int load_image(const char* file_name, std::span<std::uint8_t> destination) = 0;
  virtual int put_image(float x, float y, std::span<const std::uint8_t> image, int mode) = 0;
  virtual void set_pages(int work, int visible) = 0;
  virtual void copy_page(int source, int destination) = 0;
  virtual void clear_screen() = 0;
  virtual void print_text(std::string_view text, bool line_break) = 0;
  virtual int key_down(int scancode) = 0;
  virtual void sleep_ms(int ms) = 0;
  // Does not return.
  [[noreturn]] virtual void end_program(int code) = 0;
};

}  // namespace game
