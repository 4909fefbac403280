#include "game/facility_operations.h"

#include "display/image.h"
#include "display/screen.h"
#include "display/text.h"
#include "game/program.h"
#include "window/keys.h"

namespace game {

int FacilityOperations::open_screen(int mode, int depth, int page_count, int flags,
                                    int refresh_hz) {
  return display::open_screen(mode, depth, page_count, flags, refresh_hz);
}

int FacilityOperations::load_image(const char* file_name, std::span<std::uint8_t> destination) {
  return display::load_image(file_name, destination);
}

int FacilityOperations::put_image(float x, float y, std::span<const std::uint8_t> image, int mode) {
  return display::put_image(x, y, image, mode);
}

void FacilityOperations::set_pages(int work, int visible) {
  display::set_pages(work, visible);
}

void FacilityOperations::copy_page(int source, int destination) {
  display::copy_page(source, destination);
}

void FacilityOperations::clear_screen() {
  display::clear_screen();
}

void FacilityOperations::print_text(std::string_view text, bool line_break) {
  display::print_text(text, line_break);
}

int FacilityOperations::key_down(int scancode) {
  return window::key_down(scancode);
}

void FacilityOperations::sleep_ms(int ms) {
  window::sleep_ms(ms);
}

void FacilityOperations::end_program(int code) {
  game::end_program(code);
}

}  // namespace game
