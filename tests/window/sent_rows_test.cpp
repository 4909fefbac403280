// Sending only the changed rows shows the same picture as sending every
// marked row: two windows of the same back-end on SDL's dummy driver, one
// presenting the marks as they are and one through SentRows, are compared
// pixel for pixel after every presentation of the same sequence of pages.
#include "window/sent_rows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "display/palette.h"
#include "window/directx_backend.h"
#include "window/gdi_backend.h"
#include "window/sdl_video.h"

namespace {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;

struct OnePageScreen {
  OnePageScreen() {
    screen.width = WIDTH;
    screen.height = HEIGHT;
    screen.depth = 8;
    screen.bytes_per_pixel = 1;
    screen.pitch = WIDTH;
    screen.page_count = 1;
    screen.pages.assign(1, std::vector<std::uint8_t>(WIDTH * HEIGHT, 0));
    screen.row_start.resize(HEIGHT);
    for (int y = 0; y < HEIGHT; ++y) screen.row_start[y] = screen.page(0) + y * WIDTH;
    screen.visible = screen.page(0);
    screen.redraw_marks.assign(HEIGHT, 1);
    screen.palette = display::default_palette();
  }
  display::ScreenRecord screen;
};

window::PresentationColours colours_of(const display::Palette& palette) {
  window::PresentationColours colours{};
  for (int i = 0; i < 256; ++i) {
    colours[i] = {display::red_of(palette[i]), display::green_of(palette[i]),
                  display::blue_of(palette[i])};
  }
  return colours;
}

// What the window shows, as the bytes of its surface.
std::vector<std::uint8_t> shown(const window::WindowBackend& backend) {
  SDL_Surface* surface = SDL_GetWindowSurface(SDL_GetWindowFromID(backend.window_id()));
  if (surface == nullptr) return {};
  const auto* pixels = static_cast<const std::uint8_t*>(surface->pixels);
  return {pixels, pixels + static_cast<std::size_t>(surface->pitch) * surface->h};
}

struct BackendCase {
  const char* name;
  std::unique_ptr<window::WindowBackend> (*make)();
};

class SentRowsTest : public ::testing::TestWithParam<BackendCase> {
 protected:
  void SetUp() override {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver != nullptr) saved_driver_ = driver;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_TRUE(window::start_sdl_video());
    video_ = true;
  }
  void TearDown() override {
    if (video_) window::stop_sdl_video();
    if (saved_driver_.empty()) {
      unsetenv("SDL_VIDEODRIVER");
    } else {
      setenv("SDL_VIDEODRIVER", saved_driver_.c_str(), 1);
    }
  }

 private:
  std::string saved_driver_;
  bool video_ = false;
};

// Steps of the page sequence between two presentations.
enum class Step { draw, mark_unchanged, colour_change, repaint };

TEST_P(SentRowsTest, ShowsWhatSendingEveryMarkedRowShows) {
  const auto every = GetParam().make();
  const auto changed = GetParam().make();
  const window::WindowSettings settings{"sent rows", WIDTH, HEIGHT, 0, 0};
  ASSERT_TRUE(every->open(settings));
  ASSERT_TRUE(changed->open(settings));
  OnePageScreen a;  // presented with every marked row
  OnePageScreen b;  // presented through SentRows
  every->load_colours(colours_of(a.screen.palette));
  changed->load_colours(colours_of(b.screen.palette));
  window::SentRows sent;

  std::mt19937 random(11);
  const auto below = [&](int limit) { return static_cast<int>(random() % limit); };
  int rows_sent_by_every = 0;
  int rows_sent_by_changed = 0;
  for (int cycle = 0; cycle < 120; ++cycle) {
    const int steps = 1 + below(3);
    for (int s = 0; s < steps; ++s) {
      const int roll = below(20);
      const Step step = roll < 14   ? Step::draw
                        : roll < 17 ? Step::mark_unchanged
                        : roll < 19 ? Step::colour_change
                                    : Step::repaint;
      if (step == Step::draw) {
        // A sprite-sized block combined into the page, its rows marked.
        const int top = below(HEIGHT - 40);
        const int rows = 1 + below(40);
        const int left = below(WIDTH - 160);
        const std::uint8_t value = static_cast<std::uint8_t>(random());
        for (int y = top; y < top + rows; ++y) {
          for (int x = left; x < left + 160; ++x) {
            a.screen.visible[y * WIDTH + x] ^= value;
            b.screen.visible[y * WIDTH + x] ^= value;
          }
        }
        display::mark_rows(a.screen, top, top + rows - 1);
        display::mark_rows(b.screen, top, top + rows - 1);
      } else if (step == Step::mark_unchanged) {
        // A page switch or copy: every row marked, few or none changed.
        display::mark_all_rows(a.screen);
        display::mark_all_rows(b.screen);
      } else if (step == Step::colour_change) {
        const int index = below(256);
        const std::uint32_t colour = random() & 0xFFFFFF;
        a.screen.palette[index] = colour;
        b.screen.palette[index] = colour;
        every->load_colours(colours_of(a.screen.palette));
        changed->load_colours(colours_of(b.screen.palette));
        sent.forget_all();
      } else {
        every->repaint(a.screen);
        changed->repaint(b.screen);
        sent.forget_all();
      }
    }
    for (const std::uint8_t mark : a.screen.redraw_marks) rows_sent_by_every += mark;
    every->present(a.screen);
    std::memset(a.screen.redraw_marks.data(), 0, HEIGHT);
    sent.keep_changed_rows(b.screen);
    for (const std::uint8_t mark : b.screen.redraw_marks) rows_sent_by_changed += mark;
    changed->present(b.screen);
    std::memset(b.screen.redraw_marks.data(), 0, HEIGHT);
    ASSERT_EQ(shown(*every), shown(*changed)) << "after presentation " << cycle;
  }
  EXPECT_FALSE(shown(*every).empty());
  // The comparison means something only if rows were left out.
  EXPECT_LT(rows_sent_by_changed, rows_sent_by_every);
  every->close();
  changed->close();
}

INSTANTIATE_TEST_SUITE_P(
    Backends, SentRowsTest,
    ::testing::Values(
        BackendCase{"GDI",
                    [] { return std::unique_ptr<window::WindowBackend>(new window::GdiBackend); }},
        BackendCase{
            "DirectX",
            [] { return std::unique_ptr<window::WindowBackend>(new window::DirectXBackend); }}),
    [](const ::testing::TestParamInfo<BackendCase>& info) { return info.param.name; });

}  // namespace
