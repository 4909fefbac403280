#include "window/console_input.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <optional>

#include "display/display_link.h"
#include "display/key_queue.h"

namespace window {

namespace {

constexpr char ESCAPE = 0x1B;

// The final byte of "ESC [ A" or "ESC O A" style sequences.
std::optional<std::uint32_t> letter_key(char final) {
  switch (final) {
    case 'A':
      return display::special_key_code(0x48);  // up
    case 'B':
      return display::special_key_code(0x50);  // down
    case 'C':
      return display::special_key_code(0x4D);  // right
    case 'D':
      return display::special_key_code(0x4B);  // left
    case 'H':
      return display::special_key_code(0x47);  // home
    case 'F':
      return display::special_key_code(0x4F);  // end
    case 'P':
      return display::special_key_code(0x3B);  // F1
    case 'Q':
      return display::special_key_code(0x3C);  // F2
    case 'R':
      return display::special_key_code(0x3D);  // F3
    case 'S':
      return display::special_key_code(0x3E);  // F4
    default:
      return std::nullopt;
  }
}

// The number of "ESC [ n ~" sequences.
std::optional<std::uint32_t> numbered_key(int number) {
  switch (number) {
    case 1:
    case 7:
      return display::special_key_code(0x47);  // home
    case 2:
      return display::special_key_code(0x52);  // insert
    case 3:
      return display::special_key_code(0x53);  // delete
    case 4:
    case 8:
      return display::special_key_code(0x4F);  // end
    case 5:
      return display::special_key_code(0x49);  // page up
    case 6:
      return display::special_key_code(0x51);  // page down
    case 11:
      return display::special_key_code(0x3B);
    case 12:
      return display::special_key_code(0x3C);
    case 13:
      return display::special_key_code(0x3D);
    case 14:
      return display::special_key_code(0x3E);
    case 15:
      return display::special_key_code(0x3F);  // F5
    case 17:
      return display::special_key_code(0x40);
    case 18:
      return display::special_key_code(0x41);
    case 19:
      return display::special_key_code(0x42);
    case 20:
      return display::special_key_code(0x43);
    case 21:
      return display::special_key_code(0x44);  // F10
    case 23:
      return display::special_key_code(0x85);  // F11
    case 24:
      return display::special_key_code(0x86);  // F12
    default:
      return std::nullopt;
  }
}

// Decodes the sequence starting at bytes[i] (an escape); returns its length,
// or 0 when it is no sequence this knows.
std::size_t decode_sequence(std::string_view bytes, std::size_t i,
                            std::vector<std::uint32_t>& codes) {
  if (i + 2 >= bytes.size()) return 0;
  const char kind = bytes[i + 1];
  if (kind == 'O') {
    if (const auto code = letter_key(bytes[i + 2])) {
      codes.push_back(*code);
      return 3;
    }
    return 0;
  }
  if (kind != '[') return 0;
  // Parameters (digits and semicolons), then a final byte.
  std::size_t end = i + 2;
  int first_number = 0;
  bool in_first = true;
  while (end < bytes.size() && ((bytes[end] >= '0' && bytes[end] <= '9') || bytes[end] == ';')) {
    if (bytes[end] == ';') in_first = false;
    if (in_first) first_number = first_number * 10 + (bytes[end] - '0');
    ++end;
  }
  if (end >= bytes.size()) return 0;
  const char final = bytes[end];
  const auto code = final == '~' ? numbered_key(first_number) : letter_key(final);
  if (!code) return 0;
  codes.push_back(*code);  // modifiers (";5" and the like) are not told apart
  return end - i + 1;
}

display::KeyQueue& console_queue() {
  static display::KeyQueue queue;
  return queue;
}

volatile std::sig_atomic_t close_requested = 0;

void on_close_signal(int) {
  close_requested = 1;
}

struct SavedConsole {
  bool terminal = false;
  termios mode{};
  struct sigaction hangup {};
  struct sigaction terminate {};
};

SavedConsole& saved() {
  static SavedConsole console;
  return console;
}

void register_exit_action(void (*action)()) {
  if (const auto& at_end = display::display_platform().at_program_end) at_end(action);
}

void put_signals_back() {
  sigaction(SIGHUP, &saved().hangup, nullptr);
  sigaction(SIGTERM, &saved().terminate, nullptr);
}

void put_terminal_back() {
  tcsetattr(STDIN_FILENO, TCSANOW, &saved().mode);
}

void prepare_console() {
  SavedConsole& console = saved();
  termios mode{};
  if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &mode) == 0) {
    console.terminal = true;
    console.mode = mode;
    mode.c_lflag &= ~(ICANON | ECHO);
    mode.c_lflag |= ISIG;
    mode.c_cc[VMIN] = 0;
    mode.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &mode);
    register_exit_action(put_terminal_back);
  }
  struct sigaction handler {};
  handler.sa_handler = on_close_signal;
  sigemptyset(&handler.sa_mask);
  sigaction(SIGHUP, &handler, &console.hangup);
  sigaction(SIGTERM, &handler, &console.terminate);
  register_exit_action(put_signals_back);
}

void take_in_terminal_input() {
  std::string bytes;
  char buffer[256];
  for (;;) {
    pollfd waiting{STDIN_FILENO, POLLIN, 0};
    if (poll(&waiting, 1, 0) <= 0 || !(waiting.revents & POLLIN)) break;
    const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  for (const std::uint32_t code : decode_console_input(bytes)) console_queue().add(code);
}

}  // namespace

std::vector<std::uint32_t> decode_console_input(std::string_view bytes) {
  std::vector<std::uint32_t> codes;
  for (std::size_t i = 0; i < bytes.size();) {
    if (bytes[i] == ESCAPE) {
      if (const std::size_t length = decode_sequence(bytes, i, codes)) {
        i += length;
        continue;
      }
    }
    codes.push_back(static_cast<unsigned char>(bytes[i]));
    ++i;
  }
  return codes;
}

bool console_key_check() {
  static bool prepared = false;
  if (!prepared) {
    prepared = true;
    prepare_console();
  }
  if (close_requested) {
    close_requested = 0;
    console_queue().add(display::KEY_CODE_CLOSE_REQUEST);
  }
  if (saved().terminal) take_in_terminal_input();
  return console_queue().take_pressed();
}

}  // namespace window
