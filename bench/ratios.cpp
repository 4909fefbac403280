#include "bench/ratios.h"

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

namespace bench {

namespace {

// The sum of the named results' times, each with its weight; 0 when one is missing.
double sum_of(std::initializer_list<std::pair<const char*, double>> parts) {
  double total = 0;
  for (const auto& [name, weight] : parts) {
    // A benchmark with fixed iterations carries them in its name.
    const std::string plain = name;
    const auto found = results().lower_bound(plain);
    if (found == results().end() || found->first.compare(0, plain.size(), plain) != 0 ||
        (found->first.size() > plain.size() && found->first[plain.size()] != '/')) {
      return 0;
    }
    total += weight * found->second.seconds;
  }
  return total;
}

double time_of(const char* name) {
  return sum_of({{name, 1.0}});
}

// A hot path against its floor: the goal is ratio <= at_most.
void compare(const char* what, double measured, double floor, double at_most) {
  if (measured <= 0 || floor <= 0) {
    std::printf("%-44s %12s\n", what, "not measured");
    return;
  }
  const double ratio = measured / floor;
  std::printf("%-44s %9.2f us %9.2f us %7.3f  <= %.2f  %s\n", what, measured * 1e6, floor * 1e6,
              ratio, at_most, ratio <= at_most ? "met" : "NOT MET");
}

void put_image_row(const char* sprite, const char* mode, const char* clip) {
  char name[96];
  char floor[96];
  char what[96];
  std::snprintf(name, sizeof name, "put_image/%s/%s/%s", sprite, mode, clip);
  std::snprintf(floor, sizeof floor, "floor/%s/%s/%s", sprite, mode, clip);
  std::snprintf(what, sizeof what, "put_image %s %s %s", sprite, mode, clip);
  compare(what, time_of(name), time_of(floor), 1.5);
}

}  // namespace

std::map<std::string, Result>& results() {
  static std::map<std::string, Result> kept;
  return kept;
}

void print_ratios() {
  std::printf("\n%-44s %12s %12s %7s  %7s\n", "hot path", "measured", "floor", "ratio", "goal");
  compare("copy_page onto the visible page", time_of("copy_page/visible"),
          time_of("floor/memcpy_480000"), 1.10);
  for (const char* sprite : {"paddle", "ball"}) {
    for (const char* mode : {"xor", "and"}) {
      for (const char* clip : {"unclipped", "clipped"}) put_image_row(sprite, mode, clip);
    }
  }
  compare("frame on the null back-end", time_of("frame/null"),
          sum_of({{"floor/memcpy_480000", 1},
                  {"floor/paddle/xor/unclipped", 2},
                  {"floor/ball/and/unclipped", 1},
                  {"floor/ball/xor/unclipped", 1}}),
          1.3);
  // A speed-up: SDL's time over the project's, at least 1.5.
  const double ours = time_of("convert/600_rows/project");
  const double sdl = time_of("convert/600_rows/SDL_BlitSurface");
  if (ours > 0 && sdl > 0) {
    std::printf("%-44s %9.2f us %9.2f us %7.3f  >= 1.50  %s (SDL's time over ours)\n",
                "600-row conversion against SDL_BlitSurface", ours * 1e6, sdl * 1e6, sdl / ours,
                sdl / ours >= 1.5 ? "met" : "NOT MET");
  }
  const auto frame = results().find("frame/null");
  if (frame != results().end() && frame->second.seconds > 0) {
    std::printf("%-44s %12.0f\n", "frames per second, null back-end", 1 / frame->second.seconds);
    std::printf("%-44s %10.3f s\n", "whole game of 24206 frames (from one frame)",
                24206 * frame->second.seconds);
  }
  const double play = time_of("cycle/GDI/x11/play/changed_rows");
  if (play > 0) {
    std::printf("%-44s %9.3f ms  <= 0.30 ms  %s\n", "GDI game cycle under Xvfb (lock held)",
                play * 1e3, play <= 0.3e-3 ? "met" : "NOT MET");
  } else {
    std::printf("%-44s %12s\n", "GDI game cycle under Xvfb (lock held)", "no X display");
  }
}

}  // namespace bench
