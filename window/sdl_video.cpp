#include "window/sdl_video.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <string_view>

namespace window {

namespace {

// The user's SDL_VIDEODRIVER; empty when unset or set to nothing, which
// names no driver either way.
std::string_view chosen_driver() {
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  return chosen != nullptr ? chosen : "";
}

bool named_by_user(std::string_view driver) {
  return chosen_driver().find(driver) != std::string_view::npos;
}

// Overrides an empty SDL_VIDEODRIVER too, which SDL would otherwise take
// before the hint and then probe every driver.
void use_drivers(const char* drivers) {
  SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, drivers, SDL_HINT_OVERRIDE);
}

SDL_Cursor* arrow = nullptr;

}  // namespace

SDL_Cursor* arrow_cursor() {
  if (arrow == nullptr) arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  return arrow;
}

bool start_sdl_video() {
  // Ctrl+C must end the program at once, not turn into a quit event.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The window thread switches the screen saver off itself and puts the
  // user's setting back afterwards.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // One close request per click on the close control: the window event, not
  // also a quit event.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (chosen_driver().empty()) {
    if (std::getenv("WAYLAND_DISPLAY") != nullptr) {
      use_drivers("x11,wayland");
    } else if (std::getenv("DISPLAY") != nullptr) {
      use_drivers("x11");
    } else {
      return false;  // no display at all
    }
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    stop_sdl_video();  // drops the hints, so none steers a later start
    return false;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  const std::string_view name = driver ? driver : "";
  if ((name == "offscreen" || name == "dummy") && !named_by_user(name)) {
    stop_sdl_video();
    return false;
  }
  return true;
}

void stop_sdl_video() {
  if (arrow != nullptr) SDL_FreeCursor(arrow);
  arrow = nullptr;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

}  // namespace window
