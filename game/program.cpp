#include "game/program.h"

#include <cfenv>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "window/placement.h"
#include "window/platform.h"

namespace game {

namespace {

std::vector<std::function<void()>>& exit_actions() {
  static std::vector<std::function<void()>> actions;
  return actions;
}

}  // namespace

void start_program(const char* program_name) {
  std::fesetround(FE_TONEAREST);
  window::remember_program_name(program_name);
  window::enable_terminal_interrupts();
  window::install_display_platform(at_program_end);
}

void at_program_end(std::function<void()> action) {
  exit_actions().push_back(std::move(action));
}

void run_exit_actions() {
  auto& actions = exit_actions();
  while (!actions.empty()) {
    const std::function<void()> action = std::move(actions.back());
    actions.pop_back();
    action();
  }
}

void end_program(int code) {
  run_exit_actions();
  std::fflush(nullptr);
  std::exit(code);
}

}  // namespace game
