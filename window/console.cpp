#include "window/console.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "window/code_page_437.h"

namespace window {

namespace {

constexpr int BELL_MS = 250;

bool output_is_terminal() {
  return isatty(STDOUT_FILENO) == 1;
}

void write_stdout(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

void console_clear() {
  if (output_is_terminal()) write_stdout("\x1b[2J\x1b[H");
}

void console_write(std::string_view bytes) {
  write_stdout(output_is_terminal() ? code_page_437_to_utf8(bytes) : std::string(bytes));
}

void console_bell() {
  if (output_is_terminal()) write_stdout("\a");
  std::this_thread::sleep_for(std::chrono::milliseconds(BELL_MS));
}

}  // namespace window
