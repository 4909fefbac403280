// How the window thread answers the window's events: activation, the close
// request, Alt+Enter and maximize, key presses and characters, repaints.
#pragma once

#include <SDL2/SDL_events.h>

#include <cstdint>

#include "display/screen.h"

namespace window {

struct WindowState {
  bool active = false;  // this program is the active application
  int flags = 0;        // the window flags in force
  // The SDL id of the window shown now; events of a window closed before
  // (such as its late focus loss after a switch) are ignored. 0 takes all.
  std::uint32_t window_id = 0;
};

// What an event asks of the back-end, beyond what handle_event does itself.
enum class EventAction { none, switch_mode, repaint };

// Handles one event: updates the active flag, the key-state table, the key
// queue and the redraw marks. Called on the window thread with the lock held.
EventAction handle_event(const SDL_Event& event, WindowState& state, display::ScreenRecord& screen);

}  // namespace window
