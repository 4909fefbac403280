// The game's operations as the display facility and the program carry them out.
#pragma once

#include "game/operations.h"

namespace game {

class FacilityOperations : public Operations {
 public:
  int open_screen(int mode, int depth, int page_count, int flags, int refresh_hz) override;
  int load_image(const char* file_name, std::span<std::uint8_t> destination) override;
  int put_image(float x, float y, std::span<const std::uint8_t> image, int mode) override;
  void set_pages(int work, int visible) override;
  void copy_page(int source, int destination) override;
  void clear_screen() override;
  void print_text(std::string_view text, bool line_break) override;
  int key_down(int scancode) override;
  void sleep_ms(int ms) override;
  [[noreturn]] void end_program(int code) override;
};

}  // namespace game
