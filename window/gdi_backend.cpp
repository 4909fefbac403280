#include "window/gdi_backend.h"

#include "window/scancodes.h"
#include "window/sdl_window.h"
#include "window/sent_rows.h"
#include "window/window_thread.h"

namespace window {

bool GdiBackend::open(const WindowSettings& settings) {
  if (settings.flags & (display::FLAG_FULL_SCREEN | display::FLAG_OPENGL)) return false;
  // Shared memory to the X server, not OpenGL on a software rasteriser.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  palette_ = SDL_AllocPalette(256);
  if (palette_ == nullptr) return false;
  window_ = open_centred_window(
      settings, [](SDL_Window* window) { return SDL_GetWindowSurface(window) != nullptr; });
  return window_ != nullptr;
}

void GdiBackend::close() {
  if (page_ != nullptr) SDL_FreeSurface(page_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  if (palette_ != nullptr) SDL_FreePalette(palette_);
  palette_ = nullptr;
  page_ = nullptr;
  page_pixels_ = nullptr;
  window_ = nullptr;
}

void GdiBackend::load_colours(const PresentationColours& colours) {
  if (palette_ == nullptr) return;
  colours_ = colours;
  table_format_ = 0;
  SDL_Color table[256];
  for (int i = 0; i < 256; ++i) table[i] = {colours[i][0], colours[i][1], colours[i][2], 255};
  SDL_SetPaletteColors(palette_, table, 0, 256);
}

SDL_Surface* GdiBackend::page_surface(const display::ScreenRecord& screen) {
  if (page_ != nullptr && page_pixels_ == screen.visible) return page_;
  if (page_ != nullptr) SDL_FreeSurface(page_);
  page_ = SDL_CreateRGBSurfaceWithFormatFrom(screen.visible, screen.width, screen.height, 8,
                                             screen.pitch, SDL_PIXELFORMAT_INDEX8);
  page_pixels_ = screen.visible;
  if (page_ != nullptr) SDL_SetSurfacePalette(page_, palette_);
  return page_;
}

void GdiBackend::present(const display::ScreenRecord& screen) {
  if (window_ == nullptr) return;
  int first = -1;
  int last = -1;
  for (int y = 0; y < screen.height; ++y) {
    if (!screen.redraw_marks[y]) continue;
    if (first < 0) first = y;
    last = y;
  }
  if (first < 0) return;
  SDL_Surface* target = SDL_GetWindowSurface(window_);  // anew: a resize replaces it
  if (target == nullptr) return;
  SDL_Rect band{0, first, screen.width, last - first + 1};
  if (target->format->BytesPerPixel == 4 && target->w >= screen.width &&
      target->h >= screen.height && SDL_LockSurface(target) == 0) {
    const std::uint32_t* table = surface_table(*target->format);
    for (int y = first; y <= last; ++y) {
      convert_indices(screen.visible + static_cast<std::size_t>(y) * screen.pitch,
                      reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(target->pixels) +
                                                       static_cast<std::size_t>(y) * target->pitch),
                      table, screen.width);
    }
    SDL_UnlockSurface(target);
  } else {
    SDL_Surface* page = page_surface(screen);
    if (page == nullptr) return;
    SDL_Rect to = band;
    SDL_BlitSurface(page, &band, target, &to);
  }
  SDL_UpdateWindowSurfaceRects(window_, &band, 1);
}

const std::uint32_t* GdiBackend::surface_table(const SDL_PixelFormat& format) {
  if (table_format_ != format.format) {
    for (int i = 0; i < 256; ++i) {
      table_[i] = SDL_MapRGBA(&format, colours_[i][0], colours_[i][1], colours_[i][2], 255);
    }
    table_format_ = format.format;
  }
  return table_.data();
}

void GdiBackend::repaint(display::ScreenRecord& screen) {
  display::mark_all_rows(screen);
}

void GdiBackend::sample_keys(std::array<std::uint8_t, 128>& key_state) {
  int count = 0;
  const Uint8* keyboard = SDL_GetKeyboardState(&count);
  sample_by_layout({keyboard, static_cast<std::size_t>(count)}, SDL_GetKeyFromScancode, key_state);
}

std::unique_ptr<display::DisplayLink> start_gdi(const display::DisplayRequest& request,
                                                display::ScreenRecord& screen) {
  if (request.flags & (display::FLAG_FULL_SCREEN | display::FLAG_OPENGL)) return nullptr;
  return start_window_thread(std::make_unique<GdiBackend>(), request, screen);
}

}  // namespace window
