// The program's end while a window thread runs, and many opens and closes of
// the screen: end_program during the window thread's pause and while it is
// inside its cycle holding the display lock must close the window, end the
// thread and exit with the code given; thousands of opens and closes on the
// null and dummy back-ends must not deadlock, and leave nothing behind (the
// sanitizer build, tools/sanitize.sh, checks for leaks at exit).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "display/display_link.h"
#include "display/screen.h"
#include "game/program.h"
#include "window/backend.h"
#include "window/directx_backend.h"
#include "window/gdi_backend.h"
#include "window/null_backend.h"
#include "window/window_thread.h"

namespace {

using namespace std::chrono_literals;

// A back-end with no window whose present can be held up: it reports that the
// window thread is inside its cycle, then stays there for `stay`.
struct SlowBackend final : window::WindowBackend {
  static inline std::atomic<int> presents{0};
  static inline std::atomic<bool> inside{false};
  static inline std::chrono::milliseconds stay{0};

  bool open(const window::WindowSettings&) override { return true; }
  void close() override { std::fputs("window closed\n", stderr); }
  std::uint32_t window_id() const override { return 0; }
  bool full_screen() const override { return false; }
  bool shows_indices() const override { return false; }
  void load_colours(const window::PresentationColours&) override {}
  void present(const display::ScreenRecord&) override {
    inside = true;
    ++presents;
    std::this_thread::sleep_for(stay);
    inside = false;
  }
  void repaint(display::ScreenRecord&) override {}
  void sample_keys(std::array<std::uint8_t, 128>&) override {}
};

// Opens the game's screen on a window thread of SlowBackend, with the
// screen's close registered as an exit action as the game has it.
void open_slow_screen() {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  display::DisplayPlatform platform;
  platform.start_display = [](const display::DisplayRequest& request,
                              display::ScreenRecord& screen) {
    return window::start_window_thread(std::make_unique<SlowBackend>(), request, screen);
  };
  platform.at_program_end = game::at_program_end;
  display::set_display_platform(std::move(platform));
  if (display::open_screen(display::SCREEN_MODE_800X600, 8, 2, 0, 0) != 0) {
    std::fputs("open_screen failed\n", stderr);
    std::_Exit(90);
  }
}

// Ends the child with a message if the end hangs.
void watch_for_hang() {
  std::thread([] {
    std::this_thread::sleep_for(10s);
    std::fputs("end_program hung\n", stderr);
    std::_Exit(91);
  }).detach();
}

struct EndCase {
  const char* name;
  std::chrono::milliseconds stay;  // how long each present takes
  bool inside_cycle;               // end while the window thread is inside present
  int code;
};

class EndWhileWindowRuns : public ::testing::TestWithParam<EndCase> {};

TEST_P(EndWhileWindowRuns, ClosesTheWindowOnceAndExitsWithTheCode) {
  const EndCase& c = GetParam();
  EXPECT_EXIT(
      {
        SlowBackend::stay = c.stay;
        open_slow_screen();
        while (SlowBackend::presents < 2) std::this_thread::sleep_for(1ms);
        if (c.inside_cycle) {
          while (!SlowBackend::inside) std::this_thread::yield();
        } else {
          while (SlowBackend::inside) std::this_thread::yield();
        }
        watch_for_hang();
        game::end_program(c.code);
      },
      ::testing::ExitedWithCode(c.code), "^window closed\n$");
}

const EndCase END_CASES[] = {
    {"DuringThePause", 0ms, false, 0},
    {"InsideTheCycleHoldingTheLock", 100ms, true, 3},
    {"InsideALongCycle", 500ms, true, 42},
};

INSTANTIATE_TEST_SUITE_P(Ends, EndWhileWindowRuns, ::testing::ValuesIn(END_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Many opens and closes ---

using Starter = std::unique_ptr<display::DisplayLink> (*)(const display::DisplayRequest&,
                                                          display::ScreenRecord&);

std::unique_ptr<display::DisplayLink> start_null(const display::DisplayRequest&,
                                                 display::ScreenRecord&) {
  return std::make_unique<window::NullLink>();
}

struct CycleCase {
  const char* name;
  Starter start;
  int cycles;
};

class OpenCloseCycles : public ::testing::TestWithParam<CycleCase> {
 protected:
  void SetUp() override { setenv("SDL_VIDEODRIVER", "dummy", 1); }
  void TearDown() override {
    display::close_screen();
    display::set_display_platform({});
    unsetenv("SDL_VIDEODRIVER");
  }
};

TEST_P(OpenCloseCycles, LeaveNoScreenBehind) {
  const CycleCase& c = GetParam();
  display::DisplayPlatform platform;
  platform.start_display = c.start;
  display::set_display_platform(std::move(platform));
  for (int i = 0; i < c.cycles; ++i) {
    ASSERT_EQ(display::open_screen(display::SCREEN_MODE_800X600, 8, 2, 0, 0), 0) << "open " << i;
    ASSERT_NE(display::open_screen_record(), nullptr);
    display::close_screen();
    ASSERT_EQ(display::open_screen_record(), nullptr);
  }
}

const CycleCase CYCLE_CASES[] = {
    {"Null", start_null, 3000},
    {"DummyGdi", window::start_gdi, 1000},
    {"DummyDirectX", window::start_directx, 500},
};

INSTANTIATE_TEST_SUITE_P(Backends, OpenCloseCycles, ::testing::ValuesIn(CYCLE_CASES),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
