#include "window/window_events.h"

#include "window/key_codes.h"

namespace window {

namespace {

bool is_enter(SDL_Keycode key) {
  return key == SDLK_RETURN || key == SDLK_KP_ENTER;
}

EventAction switch_request(const WindowState& state) {
  if (!state.active || (state.flags & display::FLAG_NO_SWITCH)) return EventAction::none;
  return EventAction::switch_mode;
}

EventAction handle_window_event(const SDL_WindowEvent& event, WindowState& state,
                                display::ScreenRecord& screen) {
  if (state.window_id != 0 && event.windowID != state.window_id) return EventAction::none;
  switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
      state.active = event.event == SDL_WINDOWEVENT_FOCUS_GAINED;
      screen.key_state.fill(0);
      display::mark_all_rows(screen);
      return EventAction::none;
    case SDL_WINDOWEVENT_CLOSE:
      screen.key_queue.add(display::KEY_CODE_CLOSE_REQUEST);  // the window stays open
      return EventAction::none;
    case SDL_WINDOWEVENT_MAXIMIZED:
      return switch_request(state);
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      return EventAction::repaint;
    default:
      return EventAction::none;
  }
}

}  // namespace

EventAction handle_event(const SDL_Event& event, WindowState& state,
                         display::ScreenRecord& screen) {
  switch (event.type) {
    case SDL_WINDOWEVENT:
      return handle_window_event(event.window, state, screen);
    case SDL_QUIT:
      screen.key_queue.add(display::KEY_CODE_CLOSE_REQUEST);
      return EventAction::none;
    case SDL_KEYDOWN: {
      const SDL_Keysym& key = event.key.keysym;
      // Holding Alt+Enter switches once, not again at every repeat.
      if (is_enter(key.sym) && (key.mod & KMOD_ALT)) {
        return event.key.repeat ? EventAction::none : switch_request(state);
      }
      if (const auto code = key_press_code(key.sym, key.mod)) screen.key_queue.add(*code);
      return EventAction::none;
    }
    case SDL_TEXTINPUT:
      for (const char byte : text_to_code_page_437(event.text.text)) {
        screen.key_queue.add(static_cast<unsigned char>(byte));
      }
      return EventAction::none;
    default:
      return EventAction::none;
  }
}

}  // namespace window
