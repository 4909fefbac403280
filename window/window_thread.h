// The window thread: from a successful start until the screen closes it shows
// the visible page about every 10 ms, samples the keyboard and handles the
// window's events, holding the display lock for each whole cycle.
#pragma once

#include <memory>

#include "display/display_link.h"
#include "window/backend.h"

namespace window {

// Starts a window thread for the back-end and waits until its window is up
// or the thread has ended. Returns the screen's link to it, or nullptr when
// the window could not be made; then nothing of the start is left.
std::unique_ptr<display::DisplayLink> start_window_thread(std::unique_ptr<WindowBackend> backend,
                                                          const display::DisplayRequest& request,
                                                          display::ScreenRecord& screen);

}  // namespace window
