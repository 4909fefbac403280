// Starting and stopping SDL's video subsystem for one window back-end.
#pragma once

namespace window {

// Starts SDL video on a real display. Fails when there is none: SDL's
// headless "offscreen" and "dummy" drivers count only when SDL_VIDEODRIVER
// names them, and Wayland is not probed without WAYLAND_DISPLAY.
bool start_sdl_video();
void stop_sdl_video();

}  // namespace window
