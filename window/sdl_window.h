// The window both window back-ends show: a fixed-size top-level window with
// an 800 by 600 drawing area, centred on its display, with the arrow pointer
// and the program's icon.
#pragma once

#include <SDL2/SDL.h>

#include <functional>

#include "window/backend.h"

namespace window {

// Makes the window hidden, lets attach_surface give it its renderer or
// surface (SDL may re-create the X window then), shows it, centres its outer
// rectangle once the frame is known, and raises it. Returns nullptr, with
// nothing left, when any step fails.
SDL_Window* open_centred_window(const WindowSettings& settings,
                                const std::function<bool(SDL_Window*)>& attach_surface);

// Sets the arrow pointer and the program's icon, if it has one.
void dress_window(SDL_Window* window);

}  // namespace window
