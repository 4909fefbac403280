#include "window/platform.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>

#include "display/display_link.h"
#include "window/backend_choice.h"
#include "window/backends.h"
#include "window/console.h"

namespace window {

namespace {

std::unique_ptr<display::DisplayLink> start_display(const display::DisplayRequest& request,
                                                    display::ScreenRecord& screen) {
  return choose_backend(window_backends(), std::getenv("QZGFX"), request, screen);
}

}  // namespace

void install_display_platform(std::function<void(std::function<void()>)> at_program_end) {
  display::set_display_platform({
      .start_display = start_display,
      .at_program_end = std::move(at_program_end),
      .console_clear = console_clear,
      .console_write = console_write,
      .bell = console_bell,
  });
}

void enable_terminal_interrupts() {
  termios mode{};
  if (tcgetattr(STDIN_FILENO, &mode) != 0 || (mode.c_lflag & ISIG)) return;
  mode.c_lflag |= ISIG;
  tcsetattr(STDIN_FILENO, TCSANOW, &mode);
}

}  // namespace window
