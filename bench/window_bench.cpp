// The window thread's side: the palette conversion against SDL's blit, the
// "DirectX" and "GDI" cycles (each timed as the lock is held) on SDL's dummy
// driver and under X, where DirectX's time goes, and whole games with a
// window thread presenting.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/game_frames.h"
#include "display/palette.h"
#include "display/screen.h"
#include "window/directx_backend.h"
#include "window/gdi_backend.h"
#include "window/null_backend.h"
#include "window/sdl_video.h"
#include "window/sent_rows.h"

namespace {

constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;
constexpr std::size_t PAGE_BYTES = std::size_t{WIDTH} * HEIGHT;
// About what the game thread draws between two cycles 10 ms apart.
constexpr int FRAMES_PER_CYCLE = 250;

std::vector<std::uint8_t> random_page() {
  std::vector<std::uint8_t> page(PAGE_BYTES);
  std::mt19937 random(5);
  for (auto& byte : page) byte = static_cast<std::uint8_t>(random());
  return page;
}

std::array<std::uint32_t, 256> argb_table() {
  std::array<std::uint32_t, 256> table{};
  const display::Palette& palette = display::default_palette();
  for (int i = 0; i < 256; ++i) {
    table[i] = 0xFF000000u | (std::uint32_t{display::red_of(palette[i])} << 16) |
               (std::uint32_t{display::green_of(palette[i])} << 8) | display::blue_of(palette[i]);
  }
  return table;
}

void convert_project(benchmark::State& state) {
  const std::vector<std::uint8_t> page = random_page();
  std::vector<std::uint32_t> out(PAGE_BYTES);
  const auto table = argb_table();
  for (auto _ : state) {
    for (int y = 0; y < HEIGHT; ++y) {
      window::convert_indices(page.data() + y * WIDTH, out.data() + y * WIDTH, table.data(), WIDTH);
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(convert_project)->Name("convert/600_rows/project");

void convert_sdl(benchmark::State& state) {
  std::vector<std::uint8_t> page = random_page();
  SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(page.data(), WIDTH, HEIGHT, 8, WIDTH,
                                                         SDL_PIXELFORMAT_INDEX8);
  SDL_Surface* to = SDL_CreateRGBSurfaceWithFormat(0, WIDTH, HEIGHT, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_Palette* palette = SDL_AllocPalette(256);
  SDL_Color colours[256];
  const display::Palette& entries = display::default_palette();
  for (int i = 0; i < 256; ++i) {
    colours[i] = {display::red_of(entries[i]), display::green_of(entries[i]),
                  display::blue_of(entries[i]), 255};
  }
  SDL_SetPaletteColors(palette, colours, 0, 256);
  SDL_SetSurfacePalette(from, palette);
  for (auto _ : state) {
    SDL_BlitSurface(from, nullptr, to, nullptr);
    benchmark::ClobberMemory();
  }
  SDL_FreeSurface(from);
  SDL_FreeSurface(to);
  SDL_FreePalette(palette);
}
BENCHMARK(convert_sdl)->Name("convert/600_rows/SDL_BlitSurface");

// Names a video driver for the window side; false when it cannot run here.
bool use_driver(const char* driver) {
  if (std::string(driver) == "x11" && std::getenv("DISPLAY") == nullptr) return false;
  setenv("SDL_VIDEODRIVER", driver, 1);
  return true;
}

// The game's screen on the null back-end: pages and marks for the game frames,
// shown by a back-end that the benchmark drives itself.
class PlayScreen {
 public:
  PlayScreen() {
    display::DisplayPlatform platform;
    platform.start_display = [](const display::DisplayRequest&, display::ScreenRecord&) {
      return std::make_unique<window::NullLink>();
    };
    display::set_display_platform(std::move(platform));
    open = display::open_screen(display::SCREEN_MODE_800X600, 8, 2, 0, 0) == 0;
  }
  ~PlayScreen() {
    display::close_screen();
    display::set_display_platform({});
  }
  display::ScreenRecord& screen() { return *display::open_screen_record(); }
  bool open = false;
};

const bench::GamePictures& pictures() {
  static const auto loaded = [] {
    auto kept = std::make_unique<bench::GamePictures>();
    PlayScreen screen;
    kept->load();
    return kept;
  }();
  return *loaded;
}

std::unique_ptr<window::WindowBackend> make_backend(const std::string& name) {
  if (name == "GDI") return std::make_unique<window::GdiBackend>();
  return std::make_unique<window::DirectXBackend>();
}

window::PresentationColours presentation_colours() {
  window::PresentationColours colours{};
  const display::Palette& palette = display::default_palette();
  for (int i = 0; i < 256; ++i) {
    colours[i] = {display::red_of(palette[i]), display::green_of(palette[i]),
                  display::blue_of(palette[i])};
  }
  return colours;
}

enum class Load { full, play_all_rows, play_changed_rows };

// One window cycle's work as the window thread does it under the lock: the
// presentation, the marks cleared, the events drained.
void cycle_case(benchmark::State& state, std::string backend_name, const char* driver, Load load) {
  if (!use_driver(driver)) return state.SkipWithError("no X display");
  const bench::GamePictures& game_pictures = pictures();  // before the screen: it opens one
  PlayScreen play;
  if (!play.open) return state.SkipWithError("no screen");
  if (!window::start_sdl_video()) return state.SkipWithError("no SDL video");
  {
    auto backend = make_backend(backend_name);
    if (!backend->open({"paddleball bench", WIDTH, HEIGHT, 0, 0})) {
      window::stop_sdl_video();
      return state.SkipWithError("no window");
    }
    backend->load_colours(presentation_colours());
    display::ScreenRecord& screen = play.screen();
    window::SentRows sent;
    bench::GameFrames game(game_pictures);
    game.start();
    std::uint8_t shade = 0;
    for (auto _ : state) {
      state.PauseTiming();
      if (load == Load::full) {
        std::memset(screen.visible, shade++, PAGE_BYTES);
        display::mark_all_rows(screen);
      } else {
        for (int i = 0; i < FRAMES_PER_CYCLE; ++i) {
          if (!game.frame()) game.start();
        }
      }
      state.ResumeTiming();
      if (load == Load::play_changed_rows) {
        window::present_changed_rows(*backend, sent, screen);
      } else {
        backend->present(screen);
        std::memset(screen.redraw_marks.data(), 0, screen.redraw_marks.size());
      }
      SDL_Event event;
      while (SDL_PollEvent(&event)) {
      }
    }
    backend->close();
  }
  window::stop_sdl_video();
}

// Where "DirectX" spends a full redraw: the texture upload, then the copy to
// the window and the presentation, on the renderer SDL picks.
void directx_steps(benchmark::State& state, const char* driver, bool upload) {
  if (!use_driver(driver)) return state.SkipWithError("no X display");
  if (!window::start_sdl_video()) return state.SkipWithError("no SDL video");
  SDL_Window* window = SDL_CreateWindow("paddleball bench", 0, 0, WIDTH, HEIGHT, 0);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
  SDL_Texture* texture = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                                      SDL_TEXTUREACCESS_STREAMING, WIDTH, HEIGHT)
                                  : nullptr;
  if (texture != nullptr) {
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer, &info);
    state.SetLabel(info.name);
    std::vector<std::uint32_t> picture(PAGE_BYTES, 0xFF336699u);
    for (auto _ : state) {
      if (upload) {
        SDL_UpdateTexture(texture, nullptr, picture.data(), WIDTH * 4);
      } else {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_RenderPresent(renderer);
      }
      SDL_Event event;
      while (SDL_PollEvent(&event)) {
      }
    }
  } else {
    state.SkipWithError("no renderer");
  }
  if (texture) SDL_DestroyTexture(texture);
  if (renderer) SDL_DestroyRenderer(renderer);
  if (window) SDL_DestroyWindow(window);
  window::stop_sdl_video();
}

double seconds_of(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A whole game with the real window thread presenting: the game thread's
// frames per second, and the CPU time of the rest of the process (the window
// thread) per second of play.
void game_in_window(benchmark::State& state, std::string backend_name) {
  if (!use_driver("x11")) return state.SkipWithError("no X display");
  const bench::GamePictures& game_pictures = pictures();
  display::DisplayPlatform platform;
  platform.start_display = backend_name == "GDI" ? window::start_gdi : window::start_directx;
  display::set_display_platform(std::move(platform));
  if (display::open_screen(display::SCREEN_MODE_800X600, 8, 2, 0, 0) != 0) {
    display::set_display_platform({});
    return state.SkipWithError("no window");
  }
  double frames = 0;
  double wall = 0;
  double others_cpu = 0;
  for (auto _ : state) {
    const double wall_start = seconds_of(CLOCK_MONOTONIC);
    const double process_start = seconds_of(CLOCK_PROCESS_CPUTIME_ID);
    const double thread_start = seconds_of(CLOCK_THREAD_CPUTIME_ID);
    bench::GameFrames game(game_pictures);
    game.start();
    while (game.frame()) {
    }
    frames += game.frames();
    wall += seconds_of(CLOCK_MONOTONIC) - wall_start;
    others_cpu += (seconds_of(CLOCK_PROCESS_CPUTIME_ID) - process_start) -
                  (seconds_of(CLOCK_THREAD_CPUTIME_ID) - thread_start);
  }
  display::close_screen();
  display::set_display_platform({});
  state.counters["fps"] = frames / wall;
  state.counters["window_cpu_per_s"] = others_cpu / wall;
}

const int REGISTERED = [] {
  for (const char* backend : {"DirectX", "GDI"}) {
    for (const char* driver : {"dummy", "x11"}) {
      const std::string base = std::string("cycle/") + backend + "/" + driver;
      benchmark::RegisterBenchmark((base + "/full").c_str(), cycle_case, backend, driver,
                                   Load::full)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark((base + "/play/all_rows").c_str(), cycle_case, backend, driver,
                                   Load::play_all_rows)
          ->Unit(benchmark::kMicrosecond)
          ->Iterations(200);
      benchmark::RegisterBenchmark((base + "/play/changed_rows").c_str(), cycle_case, backend,
                                   driver, Load::play_changed_rows)
          ->Unit(benchmark::kMicrosecond)
          ->Iterations(200);
    }
  }
  benchmark::RegisterBenchmark("directx_steps/x11/upload_600_rows", directx_steps, "x11", true)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("directx_steps/x11/copy_and_present", directx_steps, "x11", false)
      ->Unit(benchmark::kMicrosecond);
  for (const char* backend : {"DirectX", "GDI"}) {
    benchmark::RegisterBenchmark((std::string("game/") + backend + "/x11/24206_frames").c_str(),
                                 game_in_window, backend)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(2);
  }
  return 0;
}();

}  // namespace
