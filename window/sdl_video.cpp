#include "window/sdl_video.h"

#include <SDL2/SDL.h>

#include <cstdlib>
#include <string_view>

namespace window {

namespace {

bool named_by_user(std::string_view driver) {
  const char* chosen = std::getenv("SDL_VIDEODRIVER");
  return chosen != nullptr && std::string_view(chosen).find(driver) != std::string_view::npos;
}

}  // namespace

bool start_sdl_video() {
  // Ctrl+C must end the program at once, not turn into a quit event.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The window thread switches the screen saver off itself and puts the
  // user's setting back afterwards.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  if (std::getenv("SDL_VIDEODRIVER") == nullptr) {
    if (std::getenv("WAYLAND_DISPLAY") != nullptr) {
      SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland");
    } else if (std::getenv("DISPLAY") != nullptr) {
      SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    } else {
      return false;  // no display at all
    }
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  const std::string_view name = driver ? driver : "";
  if ((name == "offscreen" || name == "dummy") && !named_by_user(name)) {
    stop_sdl_video();
    return false;
  }
  return true;
}

void stop_sdl_video() {
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

}  // namespace window
