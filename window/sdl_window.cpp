#include "window/sdl_window.h"

#include "window/placement.h"
#include "window/program_icon.h"
#include "window/sdl_video.h"

namespace window {

namespace {

constexpr Uint32 FRAME_WAIT_MS = 100;

// On X11 the frame is known only once the window manager has framed the
// shown window; without a window manager it stays zero. A video driver that
// cannot tell the frame at all is not waited for.
void wait_for_frame(SDL_Window* window, int& top, int& left, int& bottom, int& right) {
  const Uint32 start = SDL_GetTicks();
  do {
    SDL_PumpEvents();
    top = left = bottom = right = 0;
    if (SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right) != 0) break;
    if ((top | left | bottom | right) != 0) return;
    SDL_Delay(5);
  } while (SDL_GetTicks() - start < FRAME_WAIT_MS);
  top = left = bottom = right = 0;
}

void centre(SDL_Window* window) {
  int top = 0, left = 0, bottom = 0, right = 0;
  wait_for_frame(window, top, left, bottom, right);
  SDL_Rect desktop{};
  const int display = SDL_GetWindowDisplayIndex(window);
  if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &desktop) != 0) return;
  int width = 0, height = 0;
  SDL_GetWindowSize(window, &width, &height);
  const int outer_left = centred_position(desktop.x, desktop.w, left + width + right);
  const int outer_top = centred_position(desktop.y, desktop.h, top + height + bottom);
  // SDL places the drawing area's corner.
  SDL_SetWindowPosition(window, outer_left + left, outer_top + top);
}

}  // namespace

void dress_window(SDL_Window* window) {
  if (SDL_Cursor* arrow = arrow_cursor()) SDL_SetCursor(arrow);
  if (&QZ_PROGRAM_ICON == nullptr || QZ_PROGRAM_ICON.argb == nullptr) return;
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<std::uint32_t*>(QZ_PROGRAM_ICON.argb), QZ_PROGRAM_ICON.width_px,
      QZ_PROGRAM_ICON.height_px, 32, QZ_PROGRAM_ICON.width_px * 4, SDL_PIXELFORMAT_ARGB8888);
  if (icon == nullptr) return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}

SDL_Window* open_centred_window(const WindowSettings& settings,
                                const std::function<bool(SDL_Window*)>& attach_surface) {
  SDL_Window* window =
      SDL_CreateWindow(settings.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                       settings.width_px, settings.height_px, SDL_WINDOW_HIDDEN);
  if (window == nullptr) return nullptr;
  if (!attach_surface(window)) {
    SDL_DestroyWindow(window);
    return nullptr;
  }
  dress_window(window);
  SDL_ShowWindow(window);
  centre(window);
  SDL_RaiseWindow(window);
  return window;
}

}  // namespace window
