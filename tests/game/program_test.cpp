// Exit actions and the program's end.
#include "game/program.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/screen.h"
#include "tests/support/fake_link.h"

namespace {

TEST(Program, ExitActionsRunInReverseOrderOnce) {
  std::string ran;
  game::at_program_end([&] { ran += "first "; });
  game::at_program_end([&] { ran += "second "; });
  game::run_exit_actions();
  EXPECT_EQ(ran, "second first ");
  game::run_exit_actions();
  EXPECT_EQ(ran, "second first ");
}

TEST(ProgramDeathTest, EndProgramRunsActionsFlushesAndExitsWithTheCode) {
  EXPECT_EXIT(
      {
        game::at_program_end([] { std::fputs("closed\n", stderr); });
        std::printf("unflushed");  // must still reach the output
        game::end_program(3);
      },
      ::testing::ExitedWithCode(3), "closed");
}

TEST(ProgramDeathTest, ScreenCloseIsRegisteredOnceAndClosesTheScreen) {
  EXPECT_EXIT(
      {
        static int registered = 0;
        static testing_support::LinkCounts counts;
        display::DisplayPlatform platform;
        platform.start_display = [](const display::DisplayRequest&, display::ScreenRecord&) {
          return std::make_unique<testing_support::FakeLink>(counts);
        };
        platform.at_program_end = [](std::function<void()> action) {
          ++registered;
          game::at_program_end(std::move(action));
        };
        display::set_display_platform(std::move(platform));
        display::open_screen(19, 8, 2, 0, 0);
        display::open_screen(19, 8, 2, 0, 0);
        game::at_program_end([] {
          // Runs first: the screen is still open.
          std::fprintf(stderr, "open=%d registered=%d\n", display::open_screen_record() != nullptr,
                       registered);
        });
        game::at_program_end([] {});
        game::run_exit_actions();
        std::fprintf(stderr, "after=%d\n", display::open_screen_record() != nullptr);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "open=1 registered=1\nafter=0");
}

}  // namespace
