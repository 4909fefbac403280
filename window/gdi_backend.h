// "GDI": an SDL window surface. The band from the first to the last marked
// row of the visible page is converted through the presentation colours into
// the surface (by SDL's blit where the surface is not 32-bit), and that one
// band is sent to the window. It has no
// full screen, and reads keys by the keyboard layout.
#pragma once

#include <SDL2/SDL.h>

#include <array>
#include <cstdint>
#include <memory>

#include "window/backend.h"

namespace window {

class GdiBackend final : public WindowBackend {
 public:
  ~GdiBackend() override { close(); }

  bool open(const WindowSettings& settings) override;
  void close() override;
  std::uint32_t window_id() const override { return window_ ? SDL_GetWindowID(window_) : 0; }
  bool full_screen() const override { return false; }
  bool shows_indices() const override { return true; }
  void load_colours(const PresentationColours& colours) override;
  void present(const display::ScreenRecord& screen) override;
  void repaint(display::ScreenRecord& screen) override;
  void sample_keys(std::array<std::uint8_t, 128>& key_state) override;

 private:
  // The visible page as an indexed surface over its own bytes.
  SDL_Surface* page_surface(const display::ScreenRecord& screen);

  // The presentation colours as pixels of the window surface's format.
  const std::uint32_t* surface_table(const SDL_PixelFormat& format);

  SDL_Window* window_ = nullptr;
  PresentationColours colours_{};
  std::array<std::uint32_t, 256> table_{};
  std::uint32_t table_format_ = 0;  // the surface format table_ is for; 0 when stale
  SDL_Palette* palette_ = nullptr;
  SDL_Surface* page_ = nullptr;
  const std::uint8_t* page_pixels_ = nullptr;
};

std::unique_ptr<display::DisplayLink> start_gdi(const display::DisplayRequest& request,
                                                display::ScreenRecord& screen);

}  // namespace window
