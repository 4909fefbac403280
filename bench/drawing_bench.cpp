// The game thread's hot paths on the null back-end: copy_page, put_image, a
// whole frame and a whole game, load_image; each beside its floor.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/floors.h"
#include "bench/game_frames.h"
#include "display/image.h"
#include "display/screen.h"
#include "window/null_backend.h"

namespace {

constexpr std::size_t PAGE_BYTES = 800 * 600;

// Opens the game's screen on the null back-end for one benchmark.
class NullScreen {
 public:
  NullScreen() {
    display::DisplayPlatform platform;
    platform.start_display = [](const display::DisplayRequest&, display::ScreenRecord&) {
      return std::make_unique<window::NullLink>();
    };
    display::set_display_platform(std::move(platform));
    open = display::open_screen(display::SCREEN_MODE_800X600, 8, 2, 0, 0) == 0;
  }
  ~NullScreen() {
    display::close_screen();
    display::set_display_platform({});
  }
  display::ScreenRecord& screen() { return *display::open_screen_record(); }
  bool open = false;
};

void floor_memcpy(benchmark::State& state) {
  std::vector<std::uint8_t> from(PAGE_BYTES, 7);
  std::vector<std::uint8_t> to(PAGE_BYTES, 0);
  for (auto _ : state) {
    bench::copy_floor(to.data(), from.data(), PAGE_BYTES);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * PAGE_BYTES);
}
BENCHMARK(floor_memcpy)->Name("floor/memcpy_480000");

void copy_page_visible(benchmark::State& state) {
  NullScreen null;
  if (!null.open) return state.SkipWithError("no screen");
  display::set_pages(0, 1);
  std::memset(null.screen().page(0), 7, PAGE_BYTES);
  for (auto _ : state) {
    display::copy_page(0, 1);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * PAGE_BYTES);
}
BENCHMARK(copy_page_visible)->Name("copy_page/visible");

struct Placement {
  const char* sprite;
  const char* clip;
  float x;
  float y;
};

// Unclipped where the game draws; clipped over the right and bottom edges for
// the paddle, the left and bottom edges for the ball.
constexpr Placement PLACEMENTS[] = {
    {"paddle", "unclipped", 50, 300},
    {"paddle", "clipped", 700, 500},
    {"ball", "unclipped", 300, 250},
    {"ball", "clipped", -15, 585},
};

const bench::GamePictures& pictures() {
  static const auto loaded = [] {
    auto kept = std::make_unique<bench::GamePictures>();
    NullScreen null;
    kept->load();
    return kept;
  }();
  return *loaded;
}

std::span<const std::uint8_t> picture_of(const char* sprite) {
  return std::string(sprite) == "paddle" ? std::span<const std::uint8_t>(pictures().paddle)
                                         : std::span<const std::uint8_t>(pictures().ball);
}

void put_image_case(benchmark::State& state, Placement placement, int mode) {
  const std::span<const std::uint8_t> picture = picture_of(placement.sprite);  // opens a screen
  NullScreen null;
  if (!null.open) return state.SkipWithError("no screen");
  display::set_pages(0, 1);
  for (auto _ : state) {
    display::put_image(placement.x, placement.y, picture, mode);
    benchmark::ClobberMemory();
  }
}

// The same bytes as put_image combines, by a plain loop.
void floor_case(benchmark::State& state, Placement placement, int mode) {
  const std::span<const std::uint8_t> picture = picture_of(placement.sprite);
  const display::ImageHeader header = display::read_image_header(picture);
  const int left = static_cast<int>(placement.x);
  const int top = static_cast<int>(placement.y);
  const int first_column = std::max(left, 0);
  const int first_row = std::max(top, 0);
  const int count = std::min(left + header.width, 800) - first_column;
  const int rows = std::min(top + header.height, 600) - first_row;
  const std::uint8_t* source = picture.data() + display::IMAGE_HEADER_BYTES +
                               (first_row - top) * header.width + (first_column - left);
  std::vector<std::uint8_t> page(PAGE_BYTES, 0x5A);
  std::uint8_t* target = page.data() + first_row * 800 + first_column;
  for (auto _ : state) {
    if (mode == display::RASTER_XOR) {
      bench::xor_floor(target, 800, source, header.width, rows, count);
    } else {
      bench::and_floor(target, 800, source, header.width, rows, count);
    }
    benchmark::ClobberMemory();
  }
}

const int REGISTERED = [] {
  for (const Placement& placement : PLACEMENTS) {
    for (const auto& [mode_name, mode] :
         {std::pair{"xor", display::RASTER_XOR}, std::pair{"and", display::RASTER_AND}}) {
      const std::string tail =
          std::string(placement.sprite) + "/" + mode_name + "/" + placement.clip;
      benchmark::RegisterBenchmark(("put_image/" + tail).c_str(), put_image_case, placement, mode);
      benchmark::RegisterBenchmark(("floor/" + tail).c_str(), floor_case, placement, mode);
    }
  }
  return 0;
}();

void frame_null(benchmark::State& state) {
  pictures();  // loaded before the screen opens: loading opens one of its own
  NullScreen null;
  if (!null.open) return state.SkipWithError("no screen");
  bench::GameFrames game(pictures());
  game.start();
  for (auto _ : state) {
    if (!game.frame()) {
      state.PauseTiming();
      game.start();
      state.ResumeTiming();
    }
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(frame_null)->Name("frame/null");

void whole_game_null(benchmark::State& state) {
  pictures();
  NullScreen null;
  if (!null.open) return state.SkipWithError("no screen");
  int frames = 0;
  for (auto _ : state) {
    bench::GameFrames game(pictures());
    game.start();
    while (game.frame()) {
    }
    frames = game.frames();
  }
  state.counters["frames"] = frames;
}
BENCHMARK(whole_game_null)
    ->Name("game/null/24206_frames")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void load_pictures(benchmark::State& state) {
  NullScreen null;
  if (!null.open) return state.SkipWithError("no screen");
  auto into = std::make_unique<bench::GamePictures>();
  for (auto _ : state) {
    if (!into->load()) return state.SkipWithError("a picture is missing");
    benchmark::ClobberMemory();
  }
}
BENCHMARK(load_pictures)->Name("load_image/four_pictures")->Unit(benchmark::kMicrosecond);

}  // namespace
