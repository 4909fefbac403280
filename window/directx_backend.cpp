#include "window/directx_backend.h"

#include <algorithm>
#include <array>

#include "display/palette.h"
#include "window/scancodes.h"
#include "window/sdl_window.h"
#include "window/sent_rows.h"
#include "window/window_thread.h"

namespace window {

namespace {

constexpr int FULL_SCREEN_HEIGHTS[] = {240, 480, 600, 768, 1024};

// The next taller mode height to try, or 0 when there is none.
int next_mode_height(int height) {
  for (const int h : FULL_SCREEN_HEIGHTS) {
    if (h > height) return h;
  }
  return 0;
}

std::uint32_t argb(std::uint32_t palette_entry) {
  return 0xFF000000u | (std::uint32_t{display::red_of(palette_entry)} << 16) |
         (std::uint32_t{display::green_of(palette_entry)} << 8) | display::blue_of(palette_entry);
}

}  // namespace

bool find_full_screen_mode(int display, int width_px, int height_px, int refresh_hz,
                           SDL_DisplayMode& mode) {
  const int count = SDL_GetNumDisplayModes(display);
  for (int h = height_px; h != 0 && h <= 1024; h = next_mode_height(h)) {
    // Displays no longer offer 8-bit modes: any depth will do, the palette
    // conversion does the rest.
    for (int i = 0; i < count; ++i) {
      SDL_DisplayMode candidate{};
      if (SDL_GetDisplayMode(display, i, &candidate) != 0) continue;
      if (candidate.w == width_px && candidate.h == h &&
          (refresh_hz == 0 || candidate.refresh_rate == refresh_hz)) {
        mode = candidate;
        return true;
      }
    }
  }
  return false;
}

bool DirectXBackend::attach_renderer(SDL_Window* window, int picture_width, int picture_height) {
  if (render_driver_ != nullptr) SDL_SetHint(SDL_HINT_RENDER_DRIVER, render_driver_);
  renderer_ = SDL_CreateRenderer(window, -1, 0);
  if (renderer_ != nullptr) {
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                 picture_width, picture_height);
  }
  if (texture_ == nullptr) {
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    renderer_ = nullptr;
    return false;
  }
  return true;
}

bool DirectXBackend::open(const WindowSettings& settings) {
  if (settings.flags & display::FLAG_OPENGL && render_driver_ == nullptr) return false;
  shown_ = false;
  if (settings.flags & display::FLAG_FULL_SCREEN) return open_full_screen(settings);
  target_ = {0, 0, settings.width_px, settings.height_px};
  window_ = open_centred_window(settings, [&](SDL_Window* window) {
    return attach_renderer(window, settings.width_px, settings.height_px);
  });
  return window_ != nullptr;
}

bool DirectXBackend::open_full_screen(const WindowSettings& settings) {
  SDL_DisplayMode mode{};
  if (!find_full_screen_mode(0, settings.width_px, settings.height_px, settings.refresh_hz, mode)) {
    return false;
  }
  window_ = SDL_CreateWindow(settings.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             mode.w, mode.h, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
  if (window_ == nullptr) return false;
  if (SDL_SetWindowDisplayMode(window_, &mode) != 0 ||
      SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) != 0 ||
      !attach_renderer(window_, settings.width_px, settings.height_px)) {
    close();
    return false;
  }
  dress_window(window_);
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  // A taller mode shows the picture centred vertically.
  target_ = {0, (mode.h - settings.height_px) / 2, settings.width_px, settings.height_px};
  full_screen_ = true;
  return true;
}

void DirectXBackend::close() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  // Destroying a full-screen window puts the desktop's display mode back.
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  full_screen_ = false;
}

void DirectXBackend::present(const display::ScreenRecord& screen) {
  if (renderer_ == nullptr) return;
  if (!argb_made_ || screen.palette != argb_palette_) {
    std::transform(screen.palette.begin(), screen.palette.end(), argb_.begin(), argb);
    argb_palette_ = screen.palette;
    argb_made_ = true;
  }
  bool sent = false;
  for (int y = 0; y < screen.height;) {
    if (!screen.redraw_marks[y]) {
      ++y;
      continue;
    }
    int end = y + 1;
    while (end < screen.height && screen.redraw_marks[end]) ++end;
    send_rows(screen, y, end);
    sent = true;
    y = end;
  }
  if (sent || !shown_) show_picture();
}

// Converts rows first to end (exclusive) into the texture.
void DirectXBackend::send_rows(const display::ScreenRecord& screen, int first, int end) {
  const SDL_Rect band{0, first, screen.width, end - first};
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(texture_, &band, &pixels, &pitch) != 0) return;
  auto* out = static_cast<std::uint8_t*>(pixels);
  for (int y = first; y < end; ++y) {
    convert_indices(screen.visible + static_cast<std::size_t>(y) * screen.pitch,
                    reinterpret_cast<std::uint32_t*>(out), argb_.data(), screen.width);
    out += pitch;
  }
  SDL_UnlockTexture(texture_);
}

void DirectXBackend::show_picture() {
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, &target_);
  SDL_RenderPresent(renderer_);
  shown_ = true;
}

void DirectXBackend::repaint(display::ScreenRecord&) {
  if (renderer_ != nullptr) show_picture();
}

void DirectXBackend::sample_keys(std::array<std::uint8_t, 128>& key_state) {
  int count = 0;
  const Uint8* keyboard = SDL_GetKeyboardState(&count);
  sample_by_position({keyboard, static_cast<std::size_t>(count)}, key_state);
}

std::unique_ptr<display::DisplayLink> start_directx(const display::DisplayRequest& request,
                                                    display::ScreenRecord& screen) {
  if (request.flags & display::FLAG_OPENGL) return nullptr;
  return start_window_thread(std::make_unique<DirectXBackend>(), request, screen);
}

std::unique_ptr<display::DisplayLink> start_opengl(const display::DisplayRequest& request,
                                                   display::ScreenRecord& screen) {
  // Only for screens that ask for OpenGL; then the same path on SDL's OpenGL renderer.
  if (!(request.flags & display::FLAG_OPENGL)) return nullptr;
  return start_window_thread(std::make_unique<DirectXBackend>("opengl"), request, screen);
}

}  // namespace window
