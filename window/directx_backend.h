// "DirectX": an SDL renderer with a streaming 32-bit texture. Each run of
// marked rows is converted through the screen palette straight into the
// texture, which is then copied whole to the window; a cycle with no marked
// row leaves the window as it is. It can take the whole display in an
// exclusive 800 by H mode, and reads keys by their position on the keyboard.
#pragma once

#include <SDL2/SDL.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "display/palette.h"
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
  void send_rows(const display::ScreenRecord& screen, int first, int end);

  const char* render_driver_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  std::array<std::uint32_t, 256> argb_{};  // the palette as texture pixels
  display::Palette argb_palette_{};        // the palette argb_ was made from
  bool argb_made_ = false;
  bool shown_ = false;  // the texture has been shown since the window opened
  SDL_Rect target_{};   // where the picture goes in the window or the display mode
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
