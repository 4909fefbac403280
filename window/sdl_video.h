// Starting and stopping SDL's video subsystem for one window back-end.
#pragma once

#include <SDL2/SDL_mouse.h>

namespace window {

// Starts SDL video on a real display. Fails when there is none: SDL's
// headless "offscreen" and "dummy" drivers count only when SDL_VIDEODRIVER
// names them, and Wayland is not probed without WAYLAND_DISPLAY.
bool start_sdl_video();
void stop_sdl_video();

// The standard arrow pointer, made once while video runs.
SDL_Cursor* arrow_cursor();

}  // namespace window
