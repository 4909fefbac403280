#include "window/window_thread.h"

#include <SDL2/SDL.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

#include "display/palette.h"
#include "window/placement.h"
#include "window/sdl_video.h"
#include "window/sent_rows.h"
#include "window/window_events.h"

namespace window {

namespace {

constexpr auto CYCLE_PAUSE = std::chrono::milliseconds(10);

class WindowLink final : public display::DisplayLink {
 public:
  WindowLink(std::unique_ptr<WindowBackend> backend, WindowSettings settings,
             display::ScreenRecord& screen)
      : backend_(std::move(backend)), settings_(std::move(settings)), screen_(screen) {
    state_.flags = settings_.flags;
  }

  // Stops the window thread: it finishes its cycle, pause included, closes
  // the window and ends. The caller must not hold the lock.
  ~WindowLink() override {
    running_ = false;
    if (thread_.joinable()) thread_.join();
  }

  bool start() {
    std::promise<bool> window_up;
    std::future<bool> result = window_up.get_future();
    running_ = true;
    thread_ = std::thread([this, &window_up] { run(window_up); });
    if (result.get()) return true;
    running_ = false;
    thread_.join();
    return false;
  }

  void lock() override { mutex_.lock(); }
  void unlock() override { mutex_.unlock(); }
  void set_colour(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) override {
    colours_[index] = {red, green, blue};
    colours_changed_ = true;
    forget_sent_ = true;  // the rows sent so far show the old colours
  }

 private:
  void run(std::promise<bool>& window_up) {
    if (!start_sdl_video()) {
      window_up.set_value(false);
      return;
    }
    const bool screen_saver_was_on = SDL_IsScreenSaverEnabled();
    SDL_DisableScreenSaver();
    if (!backend_->open(settings_)) {
      backend_->close();
      finish(screen_saver_was_on);
      window_up.set_value(false);
      return;
    }
    SDL_SetThreadPriority(SDL_THREAD_PRIORITY_HIGH);  // a refusal is fine
    {
      std::lock_guard lock(mutex_);
      state_.active = true;
      state_.window_id = backend_->window_id();
    }
    window_up.set_value(true);  // the opener's promise is gone after this

    while (running_) {
      {
        std::lock_guard lock(mutex_);
        cycle();
      }
      std::this_thread::sleep_for(CYCLE_PAUSE);
    }
    backend_->close();
    finish(screen_saver_was_on);
  }

  void finish(bool screen_saver_was_on) {
    if (screen_saver_was_on) SDL_EnableScreenSaver();
    stop_sdl_video();
  }

  void cycle() {
    // Full screen shows nothing while another program is active.
    if (!(backend_->full_screen() && !state_.active)) {
      if (colours_changed_ && backend_->shows_indices()) {
        backend_->load_colours(colours_);
        colours_changed_ = false;
      }
      if (forget_sent_) sent_.forget_all();
      forget_sent_ = false;
      present_changed_rows(*backend_, sent_, screen_);
      if (state_.active) backend_->sample_keys(screen_.key_state);
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      // Activation, exposure, a new size and the like may change the window
      // behind the copy's back.
      if (event.type == SDL_WINDOWEVENT) forget_sent_ = true;
      switch (handle_event(event, state_, screen_)) {
        case EventAction::switch_mode:
          switch_mode();
          break;
        case EventAction::repaint:
          forget_sent_ = true;
          backend_->repaint(screen_);
          break;
        case EventAction::none:
          break;
      }
    }
  }

  // Between window and full screen; back to the previous mode when the new one
  // cannot be made.
  void switch_mode() {
    backend_->close();
    settings_.flags ^= display::FLAG_FULL_SCREEN;
    if (!backend_->open(settings_)) {
      backend_->close();
      settings_.flags ^= display::FLAG_FULL_SCREEN;
      backend_->open(settings_);
    }
    state_.flags = settings_.flags;
    state_.window_id = backend_->window_id();
    for (int i = 0; i < 256; ++i) {
      const std::uint32_t colour = screen_.palette[i];
      set_colour(i, display::red_of(colour), display::green_of(colour), display::blue_of(colour));
    }
    display::mark_all_rows(screen_);
    forget_sent_ = true;
    state_.active = true;
  }

  std::unique_ptr<WindowBackend> backend_;
  WindowSettings settings_;
  display::ScreenRecord& screen_;
  std::recursive_mutex mutex_;  // the display lock
  std::atomic<bool> running_{false};
  std::thread thread_;
  WindowState state_;
  PresentationColours colours_{};
  bool colours_changed_ = false;
  SentRows sent_;  // what the window has received
  bool forget_sent_ = true;
};

}  // namespace

std::unique_ptr<display::DisplayLink> start_window_thread(std::unique_ptr<WindowBackend> backend,
                                                          const display::DisplayRequest& request,
                                                          display::ScreenRecord& screen) {
  WindowSettings settings{program_title(), request.width_px, request.height_px, request.refresh_hz,
                          request.flags};
  auto link = std::make_unique<WindowLink>(std::move(backend), std::move(settings), screen);
  if (!link->start()) return nullptr;
  return link;
}

}  // namespace window
