// Key presses from the terminal: decoding, and what the first key check sets up.
#include "window/console_input.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "display/display_link.h"

namespace {

struct DecodeCase {
  const char* bytes;
  std::vector<std::uint32_t> codes;
};

TEST(ConsoleInput, DecodesCursorAndFunctionKeysAndPassesCharacters) {
  const DecodeCase cases[] = {
      {"\x1b[A", {0x48FF}},
      {"\x1b[B\x1b[C\x1b[D", {0x50FF, 0x4DFF, 0x4BFF}},
      {"\x1bOA", {0x48FF}},  // application cursor mode
      {"\x1b[H\x1b[F\x1b[1~\x1b[4~", {0x47FF, 0x4FFF, 0x47FF, 0x4FFF}},
      {"\x1b[2~\x1b[3~\x1b[5~\x1b[6~", {0x52FF, 0x53FF, 0x49FF, 0x51FF}},
      {"\x1bOP\x1bOS\x1b[15~\x1b[21~", {0x3BFF, 0x3EFF, 0x3FFF, 0x44FF}},
      {"\x1b[23~\x1b[24~", {0x85FF, 0x86FF}},
      {"\x1b[1;5A", {0x48FF}},  // with a modifier
      {"ab\r", {'a', 'b', '\r'}},
      {"\x1b", {0x1B}},                                // Escape alone
      {"\x1b[99~x", {0x1B, '[', '9', '9', '~', 'x'}},  // unknown: plain bytes
      {"\x1b[", {0x1B, '['}},
      {"\xc3\xa9", {0xC3, 0xA9}},
  };
  for (const DecodeCase& c : cases) {
    EXPECT_EQ(window::decode_console_input(c.bytes), c.codes)
        << "bytes " << ::testing::PrintToString(std::string(c.bytes));
  }
}

// Exit actions registered by the key check, run by the test in reverse order.
std::vector<std::function<void()>>& exit_actions() {
  static std::vector<std::function<void()>> actions;
  return actions;
}

void collect_exit_actions() {
  display::DisplayPlatform platform;
  platform.at_program_end = [](std::function<void()> action) {
    exit_actions().push_back(std::move(action));
  };
  display::set_display_platform(std::move(platform));
}

void run_exit_actions() {
  while (!exit_actions().empty()) {
    exit_actions().back()();
    exit_actions().pop_back();
  }
}

bool default_action(int signal_number) {
  struct sigaction current {};
  sigaction(signal_number, nullptr, &current);
  return current.sa_handler == SIG_DFL;
}

TEST(ConsoleInputDeathTest, HangUpAndTerminationBecomeTheCloseRequest) {
  EXPECT_EXIT(
      {
        collect_exit_actions();
        const bool before = window::console_key_check();
        raise(SIGTERM);  // handled now: the process goes on
        const bool after_term = window::console_key_check();
        const bool cleared = window::console_key_check();
        raise(SIGHUP);
        const bool after_hup = window::console_key_check();
        run_exit_actions();
        std::fprintf(stderr, "%d %d %d %d %d\n", before, after_term, cleared, after_hup,
                     default_action(SIGTERM) && default_action(SIGHUP));
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "0 1 0 1 1");
}

TEST(ConsoleInputDeathTest, TerminalGivesKeysUnechoedAndGetsItsModeBack) {
  EXPECT_EXIT(
      {
        int master = -1;
        int slave = -1;
        if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) std::exit(2);
        dup2(slave, STDIN_FILENO);
        termios original{};
        tcgetattr(STDIN_FILENO, &original);
        collect_exit_actions();
        const bool idle = window::console_key_check();
        termios during{};
        tcgetattr(STDIN_FILENO, &during);
        const bool raw =
            !(during.c_lflag & ICANON) && !(during.c_lflag & ECHO) && (during.c_lflag & ISIG);
        const char up[] = "\x1b[A";
        if (write(master, up, 3) != 3) std::exit(3);
        usleep(20000);
        const bool pressed = window::console_key_check();
        run_exit_actions();
        termios after{};
        tcgetattr(STDIN_FILENO, &after);
        const bool restored = after.c_lflag == original.c_lflag;
        std::fprintf(stderr, "%d %d %d %d\n", idle, raw, pressed, restored);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "0 1 1 1");
}

TEST(ConsoleInputDeathTest, RedirectedInputGivesNoKeys) {
  EXPECT_EXIT(
      {
        FILE* file = std::tmpfile();
        std::fputs("\x1b[Axyz", file);
        std::rewind(file);
        dup2(fileno(file), STDIN_FILENO);
        collect_exit_actions();
        const bool pressed = window::console_key_check();
        char left[8] = {};
        const ssize_t unread = read(STDIN_FILENO, left, sizeof left);
        std::fprintf(stderr, "%d %zd\n", pressed, unread);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "0 6");
}

}  // namespace
