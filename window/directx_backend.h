// "DirectX": an SDL renderer with a streaming 32-bit texture. Marked rows are
// converted through the screen palette into an off-screen picture, which is
// then copied whole to the window. It can take the whole display in an
// exclusive 800 by H mode, and reads keys by their position on the keyboard.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "window/backend.h"

namespace window {

class DirectXBackend final : public WindowBackend {
 public:
  // render_driver: the SDL render driver to ask for, or nullptr for SDL's choice.
  explicit DirectXBackend(const char* render_driver = nullptr) : render_driver_(render_driver) {}
  ~DirectXBackend() override { close(); }

  bool open(const WindowSettings& settings) override;
  void close() override;
  std::uint32_t window_id() const override { return window_ ? SDL_GetWindowID(window_) : 0; }
  bool full_screen() const override { return full_screen_; }
  bool shows_indices() const override { return false; }
  void load_colours(const PresentationColours&) override {}
  void present(const display::ScreenRecord& screen) override;
  void repaint(display::ScreenRecord& screen) override;
  void sample_keys(std::array<std::uint8_t, 128>& key_state) override;

 private:
  bool attach_renderer(SDL_Window* window, int picture_width, int picture_height);
  bool open_full_screen(const WindowSettings& settings);
  void show_picture();

  const char* render_driver_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  std::vector<std::uint32_t> picture_;  // the off-screen picture, ARGB
  int width_px_ = 0;
  SDL_Rect target_{};  // where the picture goes in the window or the display mode
  bool full_screen_ = false;
};

// Finds the exclusive display mode for a width by height picture: 800 by
// 600, 768, then 1024 rows at the requested rate. False when none is offered.
bool find_full_screen_mode(int display, int width_px, int height_px, int refresh_hz,
                           SDL_DisplayMode& mode);

std::unique_ptr<display::DisplayLink> start_directx(const display::DisplayRequest& request,
                                                    display::ScreenRecord& screen);
std::unique_ptr<display::DisplayLink> start_opengl(const display::DisplayRequest& request,
                                                   display::ScreenRecord& screen);

}  // namespace window
