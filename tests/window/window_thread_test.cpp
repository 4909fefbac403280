// Real window threads, run headless on SDL's dummy video driver: starting,
// the display lock, presenting the redraw marks, sampling, refusing and
// stopping; and the cycle itself, on a recording back-end that feeds events
// in from the window thread. The test thread never calls SDL; it only starts
// and ends window threads and reads what they share under the display lock.
#include "window/window_thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "display/display_link.h"
#include "display/screen.h"
#include "window/backend.h"
#include "window/directx_backend.h"
#include "window/gdi_backend.h"

namespace {

using namespace std::chrono_literals;

using Starter = std::unique_ptr<display::DisplayLink> (*)(const display::DisplayRequest&,
                                                          display::ScreenRecord&);

// Long enough for any number of 10 ms cycles on a loaded machine; a correct
// window thread needs only a few of them.
constexpr auto PATIENCE = 5s;

// Sets or unsets environment variables for one test, and puts them back.
class EnvironmentScope {
 public:
  void set(const char* name, const char* value) {
    remember(name);
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~EnvironmentScope() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->value) {
        setenv(it->name.c_str(), it->value->c_str(), 1);
      } else {
        unsetenv(it->name.c_str());
      }
    }
  }

 private:
  struct Saved {
    std::string name;
    std::optional<std::string> value;
  };
  void remember(const char* name) {
    const char* value = std::getenv(name);
    saved_.push_back({name, value ? std::optional<std::string>(value) : std::nullopt});
  }
  std::vector<Saved> saved_;
};

// Ends the process with a message when a step hangs, so that a deadlock shows
// as a failure instead of a test that never ends.
class Watchdog {
 public:
  explicit Watchdog(const char* step) : step_(step), thread_([this] { watch(); }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    woken_.notify_one();
    thread_.join();
  }

 private:
  void watch() {
    std::unique_lock lock(mutex_);
    if (!woken_.wait_for(lock, 2 * PATIENCE, [this] { return done_; })) {
      std::fprintf(stderr, "window thread test hung: %s\n", step_);
      std::abort();
    }
  }
  const char* step_;
  std::mutex mutex_;
  std::condition_variable woken_;
  bool done_ = false;
  std::thread thread_;
};

// Polls condition, under the lock, until it holds or PATIENCE runs out.
template <typename Condition>
bool eventually(display::DisplayLink& link, Condition condition) {
  const auto give_up = std::chrono::steady_clock::now() + PATIENCE;
  while (true) {
    link.lock();
    const bool met = condition();
    link.unlock();
    if (met) return true;
    if (std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(1ms);
  }
}

bool no_marks(const display::ScreenRecord& screen) {
  return std::none_of(screen.redraw_marks.begin(), screen.redraw_marks.end(),
                      [](std::uint8_t mark) { return mark != 0; });
}

bool all_marks(const display::ScreenRecord& screen) {
  return std::all_of(screen.redraw_marks.begin(), screen.redraw_marks.end(),
                     [](std::uint8_t mark) { return mark != 0; });
}

// An 800 by 600 screen of one page, as open_screen makes it, for starting a
// back-end directly.
struct BareScreen {
  BareScreen() {
    screen.width = 800;
    screen.height = 600;
    screen.depth = 8;
    screen.bytes_per_pixel = 1;
    screen.pitch = 800;
    screen.page_count = 1;
    screen.pages.assign(1, std::vector<std::uint8_t>(800 * 600, 0));
    screen.row_start.resize(600);
    for (int y = 0; y < 600; ++y) screen.row_start[y] = screen.page(0) + y * 800;
    screen.visible = screen.page(0);
    screen.redraw_marks.assign(600, 0);
  }
  display::ScreenRecord screen;
};

display::DisplayRequest game_request(int flags = 0) {
  return {.width_px = 800, .height_px = 600, .depth_bits = 8, .refresh_hz = 0, .flags = flags};
}

// Runs every test on the dummy driver, which the program accepts only because
// SDL_VIDEODRIVER names it.
class WindowThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { environment.set("SDL_VIDEODRIVER", "dummy"); }
  void TearDown() override {
    display::close_screen();
    display::set_display_platform({});
  }

  EnvironmentScope environment;
};

struct BackendCase {
  const char* name;
  Starter start;
};

class WindowBackendTest : public WindowThreadTest,
                          public ::testing::WithParamInterface<BackendCase> {
 protected:
  // Opens the game's screen through open_screen on this back-end alone.
  int open_game_screen() {
    display::DisplayPlatform platform;
    platform.start_display = GetParam().start;
    display::set_display_platform(std::move(platform));
    return display::open_screen(display::SCREEN_MODE_800X600, 8, 2, 0, 0);
  }
};

TEST_P(WindowBackendTest, StartsOnTheDummyDriverWithARecursiveLock) {
  Watchdog watchdog("start and stop");
  BareScreen bare;
  auto link = GetParam().start(game_request(), bare.screen);
  ASSERT_NE(link, nullptr);
  link->lock();
  link->lock();  // taken again by the thread that holds it
  link->unlock();
  link->unlock();
  link.reset();
}

// The window thread clears the marks only inside its cycle, under the lock:
// while the test holds the lock, marks set by the test stay however many
// cycles pass; once it lets go, the next cycle presents and clears them.
TEST_P(WindowBackendTest, HoldsTheLockForEachCycle) {
  Watchdog watchdog("lock per cycle");
  BareScreen bare;
  auto link = GetParam().start(game_request(), bare.screen);
  ASSERT_NE(link, nullptr);
  display::ScreenRecord& screen = bare.screen;

  link->lock();
  display::mark_all_rows(screen);
  link->unlock();
  ASSERT_TRUE(eventually(*link, [&] { return no_marks(screen); }));

  link->lock();
  display::mark_all_rows(screen);
  std::this_thread::sleep_for(50ms);  // five cycles' worth, all kept waiting
  EXPECT_TRUE(all_marks(screen));
  link->unlock();
  EXPECT_TRUE(eventually(*link, [&] { return no_marks(screen); }));
}

// The window is active from its start, so each cycle samples the keyboard:
// entries the test sets are overwritten with the dummy keyboard's (none held).
TEST_P(WindowBackendTest, SamplesTheKeyboardEveryCycle) {
  Watchdog watchdog("sampling");
  BareScreen bare;
  auto link = GetParam().start(game_request(), bare.screen);
  ASSERT_NE(link, nullptr);
  link->lock();
  bare.screen.key_state.fill(1);
  link->unlock();
  EXPECT_TRUE(eventually(*link, [&] {
    return std::all_of(bare.screen.key_state.begin(), bare.screen.key_state.end(),
                       [](std::uint8_t entry) { return entry == 0; });
  }));
  link->lock();
  EXPECT_FALSE(bare.screen.key_queue.take_pressed()) << "no key was pressed";
  link->unlock();
}

TEST_P(WindowBackendTest, OpenScreenShowsTheMarkedRowsWithinAFewCycles) {
  Watchdog watchdog("open_screen");
  ASSERT_EQ(open_game_screen(), 0);
  display::ScreenRecord* screen = display::open_screen_record();
  ASSERT_NE(screen, nullptr);
  ASSERT_NE(screen->link, nullptr);
  EXPECT_TRUE(eventually(*screen->link, [&] { return no_marks(*screen); }))
      << "open_screen marks every row, the window thread must present and clear them";

  // A change of visible page marks all rows again, and they are shown again.
  display::set_pages(1, 1);
  EXPECT_TRUE(eventually(*screen->link, [&] { return no_marks(*screen); }));
  display::copy_page(0, 1);
  EXPECT_TRUE(eventually(*screen->link, [&] { return no_marks(*screen); }));
  display::close_screen();
  EXPECT_EQ(display::open_screen_record(), nullptr);
}

TEST_P(WindowBackendTest, ClosingRightAfterOpeningEndsTheThread) {
  Watchdog watchdog("close right after open");
  {
    BareScreen bare;
    auto link = GetParam().start(game_request(), bare.screen);
    ASSERT_NE(link, nullptr);
  }  // the link goes first, then the screen it shows
  ASSERT_EQ(open_game_screen(), 0);
  display::close_screen();
  EXPECT_EQ(display::open_screen_record(), nullptr);
}

TEST_P(WindowBackendTest, OpensAndClosesFiftyTimes) {
  Watchdog watchdog("fifty opens");
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(open_game_screen(), 0) << "open " << i;
    display::close_screen();
  }
  // Reopening while open closes the old screen first.
  ASSERT_EQ(open_game_screen(), 0);
  ASSERT_EQ(open_game_screen(), 0);
  display::ScreenRecord* screen = display::open_screen_record();
  ASSERT_NE(screen, nullptr);
  EXPECT_TRUE(eventually(*screen->link, [&] { return no_marks(*screen); }));
}

INSTANTIATE_TEST_SUITE_P(Backends, WindowBackendTest,
                         ::testing::Values(BackendCase{"GDI", window::start_gdi},
                                           BackendCase{"DirectX", window::start_directx}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The cycle, on a recording back-end ---

// What the window thread asked of the recording back-end. Guarded by its own
// mutex, taken after the display lock when both are needed.
struct BackendLog {
  std::mutex mutex;
  std::vector<int> opens;  // the flags of each open
  int closes = 0;
  int presents = 0;
  int marks_at_last_present = 0;
  int whole_page_presents = 0;  // presents that found every row marked
  int samples = 0;
  int repaints = 0;
  std::vector<window::PresentationColours> loads;
  std::vector<SDL_Event> to_push;  // pushed by the next present, on the window thread
  bool shows_indices = true;
  bool full_screen_opens = true;  // whether an open in full screen succeeds
  bool opens_at_all = true;
};

class RecordingBackend final : public window::WindowBackend {
 public:
  explicit RecordingBackend(BackendLog& log) : log_(log) {}

  bool open(const window::WindowSettings& settings) override {
    std::lock_guard lock(log_.mutex);
    log_.opens.push_back(settings.flags);
    const bool full = settings.flags & display::FLAG_FULL_SCREEN;
    if (!log_.opens_at_all || (full && !log_.full_screen_opens)) return false;
    full_screen_ = full;
    return true;
  }
  void close() override {
    std::lock_guard lock(log_.mutex);
    ++log_.closes;
    full_screen_ = false;
  }
  std::uint32_t window_id() const override { return 0; }
  bool full_screen() const override { return full_screen_; }
  bool shows_indices() const override { return log_.shows_indices; }
  void load_colours(const window::PresentationColours& colours) override {
    std::lock_guard lock(log_.mutex);
    log_.loads.push_back(colours);
  }
  void present(const display::ScreenRecord& screen) override {
    std::lock_guard lock(log_.mutex);
    ++log_.presents;
    log_.marks_at_last_present =
        static_cast<int>(std::count(screen.redraw_marks.begin(), screen.redraw_marks.end(), 1));
    if (log_.marks_at_last_present == screen.height) ++log_.whole_page_presents;
    for (SDL_Event& event : log_.to_push) SDL_PushEvent(&event);
    log_.to_push.clear();
  }
  void repaint(display::ScreenRecord&) override {
    std::lock_guard lock(log_.mutex);
    ++log_.repaints;
  }
  void sample_keys(std::array<std::uint8_t, 128>& key_state) override {
    std::lock_guard lock(log_.mutex);
    ++log_.samples;
    key_state[72] = 1;  // cursor up is held
  }

 private:
  BackendLog& log_;
  bool full_screen_ = false;
};

SDL_Event pushed_window_event(SDL_WindowEventID id) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = id;
  return event;
}

SDL_Event pushed_quit() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  return event;
}

SDL_Event pushed_alt_return() {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.state = SDL_PRESSED;
  event.key.keysym.scancode = SDL_SCANCODE_RETURN;
  event.key.keysym.sym = SDLK_RETURN;
  event.key.keysym.mod = KMOD_LALT;
  return event;
}

class WindowCycleTest : public WindowThreadTest {
 protected:
  bool start(int flags = 0) {
    link = window::start_window_thread(std::make_unique<RecordingBackend>(log), game_request(flags),
                                       bare.screen);
    return link != nullptr;
  }
  // Polls, under the display lock and then the log's mutex.
  template <typename Condition>
  bool eventually_logged(Condition condition) {
    return eventually(*link, [&] {
      std::lock_guard lock(log.mutex);
      return condition();
    });
  }
  // Has the window thread push events at its next presentation, then waits
  // until it has handled them and presented twice more.
  bool feed(std::vector<SDL_Event> events) {
    int presents = 0;
    {
      link->lock();
      std::lock_guard lock(log.mutex);
      log.to_push = std::move(events);
      presents = log.presents;
      link->unlock();
    }
    return eventually_logged([&] { return log.to_push.empty() && log.presents >= presents + 3; });
  }
  void TearDown() override {
    link.reset();
    WindowThreadTest::TearDown();
  }

  BackendLog log;
  BareScreen bare;
  std::unique_ptr<display::DisplayLink> link;
};

TEST_F(WindowCycleTest, PresentsTheMarksThenClearsThemAndSamplesWhileActive) {
  Watchdog watchdog("cycle");
  ASSERT_TRUE(start());
  link->lock();
  display::mark_rows(bare.screen, 10, 19);
  link->unlock();
  EXPECT_TRUE(eventually_logged([&] { return log.marks_at_last_present == 10; }));
  EXPECT_TRUE(eventually(*link, [&] { return no_marks(bare.screen); }));
  EXPECT_TRUE(eventually(*link, [&] { return bare.screen.key_state[72] == 1; }));
  std::lock_guard lock(log.mutex);
  EXPECT_EQ(log.opens, std::vector<int>{0});
  EXPECT_EQ(log.closes, 0);
  EXPECT_GT(log.samples, 0);
}

TEST_F(WindowCycleTest, LoadsHandedOverColoursOnceWhenTheSurfaceShowsIndices) {
  Watchdog watchdog("colours");
  ASSERT_TRUE(start());
  link->lock();
  link->set_colour(5, 10, 20, 30);
  link->set_colour(255, 1, 2, 3);
  link->unlock();
  ASSERT_TRUE(eventually_logged([&] { return log.loads.size() == 1; }));
  ASSERT_TRUE(feed({}));  // more cycles, no new colours
  std::lock_guard lock(log.mutex);
  ASSERT_EQ(log.loads.size(), 1u);
  EXPECT_EQ(log.loads[0][5], (std::array<std::uint8_t, 3>{10, 20, 30}));
  EXPECT_EQ(log.loads[0][255], (std::array<std::uint8_t, 3>{1, 2, 3}));
}

TEST_F(WindowCycleTest, ConvertingBackEndsGetNoColourLoads) {
  Watchdog watchdog("no colour loads");
  log.shows_indices = false;
  ASSERT_TRUE(start());
  link->lock();
  link->set_colour(5, 10, 20, 30);
  link->unlock();
  ASSERT_TRUE(feed({}));
  std::lock_guard lock(log.mutex);
  EXPECT_TRUE(log.loads.empty());
}

TEST_F(WindowCycleTest, LosingFocusClearsKeysAndStopsSamplingUntilRegained) {
  Watchdog watchdog("focus");
  ASSERT_TRUE(start());
  ASSERT_TRUE(eventually(*link, [&] { return bare.screen.key_state[72] == 1; }));

  ASSERT_TRUE(feed({pushed_window_event(SDL_WINDOWEVENT_FOCUS_LOST)}));
  int samples = 0;
  {
    link->lock();
    std::lock_guard lock(log.mutex);
    EXPECT_EQ(bare.screen.key_state[72], 0);
    EXPECT_EQ(log.whole_page_presents, 1) << "every row is shown again";
    samples = log.samples;
    link->unlock();
  }
  ASSERT_TRUE(feed({}));
  {
    link->lock();
    std::lock_guard lock(log.mutex);
    EXPECT_EQ(log.samples, samples) << "sampled while inactive";
    EXPECT_EQ(bare.screen.key_state[72], 0);
    link->unlock();
  }

  ASSERT_TRUE(feed({pushed_window_event(SDL_WINDOWEVENT_FOCUS_GAINED)}));
  EXPECT_TRUE(eventually(*link, [&] { return bare.screen.key_state[72] == 1; }));
}

TEST_F(WindowCycleTest, CloseRequestIsQueuedAndTheWindowStays) {
  Watchdog watchdog("close request");
  ASSERT_TRUE(start());
  ASSERT_TRUE(feed({pushed_window_event(SDL_WINDOWEVENT_CLOSE), pushed_quit()}));
  link->lock();
  EXPECT_EQ(bare.screen.key_queue.size(), 2);
  EXPECT_EQ(bare.screen.key_queue.oldest(), 27647u);
  EXPECT_TRUE(bare.screen.key_queue.take_pressed());
  link->unlock();
  std::lock_guard lock(log.mutex);
  EXPECT_EQ(log.closes, 0);
  EXPECT_EQ(log.opens.size(), 1u);
}

TEST_F(WindowCycleTest, ExposedRepaints) {
  Watchdog watchdog("repaint");
  ASSERT_TRUE(start());
  ASSERT_TRUE(feed({pushed_window_event(SDL_WINDOWEVENT_EXPOSED)}));
  std::lock_guard lock(log.mutex);
  EXPECT_EQ(log.repaints, 1);
}

// Alt+Enter: close, reopen with the full-screen flag toggled (or, when that
// fails, in the previous mode), hand over all 256 colours, mark every row.
struct SwitchCase {
  const char* name;
  int flags;
  bool full_screen_opens;
  std::vector<int> opens;
  int closes;
};

TEST_F(WindowCycleTest, AltEnterSwitchesOrFallsBack) {
  const int full = display::FLAG_FULL_SCREEN;
  const SwitchCase cases[] = {
      {"to full screen", 0, true, {0, full}, 1},
      {"full screen refused: back to a window", 0, false, {0, full, 0}, 2},
      {"from full screen to a window", full, true, {full, 0}, 1},
  };
  for (const SwitchCase& c : cases) {
    SCOPED_TRACE(c.name);
    Watchdog watchdog(c.name);
    {
      std::lock_guard lock(log.mutex);
      log.full_screen_opens = c.full_screen_opens;
      log.opens.clear();
      log.loads.clear();
      log.closes = 0;
      log.whole_page_presents = 0;
    }
    for (int i = 0; i < 256; ++i) {
      bare.screen.palette[i] = static_cast<std::uint32_t>(i | (255 - i) << 8 | (i / 2) << 16);
    }
    ASSERT_TRUE(start(c.flags));
    ASSERT_TRUE(eventually(*link, [&] { return no_marks(bare.screen); }));
    ASSERT_TRUE(feed({pushed_alt_return()}));
    {
      link->lock();
      std::lock_guard lock(log.mutex);
      EXPECT_EQ(log.opens, c.opens);
      EXPECT_EQ(log.closes, c.closes);
      ASSERT_EQ(log.loads.size(), 1u) << "the palette is handed over once";
      for (int i = 0; i < 256; ++i) {
        const std::array<std::uint8_t, 3> expected = {static_cast<std::uint8_t>(i),
                                                      static_cast<std::uint8_t>(255 - i),
                                                      static_cast<std::uint8_t>(i / 2)};
        EXPECT_EQ(log.loads[0][i], expected) << "colour " << i;
      }
      link->unlock();
    }
    EXPECT_TRUE(eventually_logged([&] { return log.whole_page_presents == 1; }))
        << "every row is shown in the new window";
    EXPECT_TRUE(eventually(*link, [&] { return bare.screen.key_state[72] == 1; }))
        << "active again";
    link.reset();
  }
}

TEST_F(WindowCycleTest, NoSwitchFlagKeepsTheWindow) {
  Watchdog watchdog("no switch");
  ASSERT_TRUE(start(display::FLAG_NO_SWITCH));
  ASSERT_TRUE(feed({pushed_alt_return(), pushed_window_event(SDL_WINDOWEVENT_MAXIMIZED)}));
  std::lock_guard lock(log.mutex);
  EXPECT_EQ(log.opens, std::vector<int>{display::FLAG_NO_SWITCH});
  EXPECT_EQ(log.closes, 0);
}

TEST_F(WindowCycleTest, FailedOpenEndsTheThreadAndLeavesNothing) {
  Watchdog watchdog("failed open");
  log.opens_at_all = false;
  EXPECT_FALSE(start());
  std::lock_guard lock(log.mutex);
  EXPECT_EQ(log.opens, std::vector<int>{0});
  EXPECT_EQ(log.closes, 1) << "what the failed open got is released";
  EXPECT_EQ(log.presents, 0);
}

TEST_F(WindowCycleTest, DestroyingTheLinkClosesTheWindowOnce) {
  Watchdog watchdog("close");
  ASSERT_TRUE(start());
  link.reset();
  std::lock_guard lock(log.mutex);
  EXPECT_EQ(log.closes, 1);
}

// --- Refusals ---

struct RefusalCase {
  const char* name;
  Starter start;
  int flags;
};

TEST_F(WindowThreadTest, BackEndsRefuseFlagsTheyCannotServe) {
  Watchdog watchdog("refusals");
  const int full = display::FLAG_FULL_SCREEN;
  const int opengl = display::FLAG_OPENGL;
  const int no_switch = display::FLAG_NO_SWITCH;
  const RefusalCase cases[] = {
      {"GDI in full screen", window::start_gdi, full},
      {"GDI in full screen, no switch", window::start_gdi, full | no_switch},
      {"GDI with OpenGL", window::start_gdi, opengl},
      {"GDI with OpenGL in full screen", window::start_gdi, opengl | full},
      {"DirectX with OpenGL", window::start_directx, opengl},
      {"DirectX with OpenGL in full screen", window::start_directx, opengl | full},
      {"OpenGL without its flag", window::start_opengl, 0},
      {"OpenGL without its flag in full screen", window::start_opengl, full},
      {"OpenGL without its flag, no switch", window::start_opengl, no_switch},
  };
  for (const RefusalCase& c : cases) {
    BareScreen bare;
    EXPECT_EQ(c.start(game_request(c.flags), bare.screen), nullptr) << c.name;
  }
}

// The dummy display offers only its own 1024 by 768 mode, so no 800-wide
// full-screen mode exists: the start fails and the thread's end says so.
TEST_F(WindowThreadTest, DirectXFullScreenFailsWithoutAnEightHundredWideMode) {
  Watchdog watchdog("full screen");
  BareScreen bare;
  EXPECT_EQ(window::start_directx(game_request(display::FLAG_FULL_SCREEN), bare.screen), nullptr);
  auto link = window::start_directx(game_request(), bare.screen);  // a window still opens
  EXPECT_NE(link, nullptr);
}

TEST_F(WindowThreadTest, WindowStartsAreAcceptedWithTheNoSwitchFlag) {
  Watchdog watchdog("no-switch flag");
  for (const Starter start : {window::start_gdi, window::start_directx}) {
    BareScreen bare;
    EXPECT_NE(start(game_request(display::FLAG_NO_SWITCH), bare.screen), nullptr);
  }
}

// --- No display ---

// An environment without a usable display, as a user's shell may have it.
struct NoDisplayCase {
  const char* name;
  const char* sdl_videodriver;  // nullptr: unset
  const char* x_display;
};

class NoDisplayTest : public WindowThreadTest, public ::testing::WithParamInterface<BackendCase> {
 protected:
  void set_environment(const NoDisplayCase& c) {
    environment.set("SDL_VIDEODRIVER", c.sdl_videodriver);
    environment.set("DISPLAY", c.x_display);
    environment.set("WAYLAND_DISPLAY", nullptr);
    environment.set("XDG_RUNTIME_DIR", nullptr);  // a Wayland probe would complain of it
  }
};

// SDL's headless drivers do not count as a display, and nothing is printed:
// with no display at all, with an empty driver name (which names none), and
// with DISPLAY naming an X server that is not there.
TEST_P(NoDisplayTest, StartFailsSilently) {
  Watchdog watchdog("no display");
  const NoDisplayCase cases[] = {
      {"nothing set", nullptr, nullptr},
      {"empty driver name", "", nullptr},
      {"absent X server", nullptr, ":64999"},
      {"empty driver name, absent X server", "", ":64999"},
  };
  for (const NoDisplayCase& c : cases) {
    SCOPED_TRACE(c.name);
    set_environment(c);
    BareScreen bare;
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    auto link = GetParam().start(game_request(), bare.screen);
    const std::string out = ::testing::internal::GetCapturedStdout();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(link, nullptr);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "");
  }
}

// A failed start leaves nothing of SDL behind that would steer a later one.
TEST_P(NoDisplayTest, LaterStartOnTheNamedDriverStillWorks) {
  Watchdog watchdog("start after a failed one");
  set_environment({"absent X server", "", ":64999"});
  BareScreen bare;
  ASSERT_EQ(GetParam().start(game_request(), bare.screen), nullptr);
  environment.set("SDL_VIDEODRIVER", "dummy");
  EXPECT_NE(GetParam().start(game_request(), bare.screen), nullptr);
}

// Without a display no back-end starts, so open_screen refuses.
TEST_P(NoDisplayTest, OpenScreenFails) {
  Watchdog watchdog("open_screen without display");
  set_environment({"nothing set", nullptr, nullptr});
  display::DisplayPlatform platform;
  platform.start_display = GetParam().start;
  display::set_display_platform(std::move(platform));
  EXPECT_EQ(display::open_screen(display::SCREEN_MODE_800X600, 8, 2, 0, 0), 1);
  EXPECT_EQ(display::open_screen_record(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Backends, NoDisplayTest,
                         ::testing::Values(BackendCase{"GDI", window::start_gdi},
                                           BackendCase{"DirectX", window::start_directx}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
