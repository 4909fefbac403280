#include "window/placement.h"

#include <unistd.h>

#include <array>

namespace window {

namespace {

constexpr std::size_t TITLE_MAX_CHARS = 127;

std::string& started_as() {
  static std::string name = "paddleball";
  return name;
}

int floor_half(int value) {
  return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

}  // namespace

int centred_position(int desktop_origin, int desktop_size, int outer_size) {
  return desktop_origin + floor_half(desktop_size - outer_size);
}

std::string title_from_path(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name.substr(0, TITLE_MAX_CHARS));
}

const std::string& program_title() {
  static const std::string title = [] {
    std::array<char, 4096> path{};
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    return title_from_path(length > 0 ? std::string_view(path.data(), length) : started_as());
  }();
  return title;
}

void remember_program_name(const char* argv0) {
  if (argv0 != nullptr && *argv0 != 0) started_as() = argv0;
}

}  // namespace window
