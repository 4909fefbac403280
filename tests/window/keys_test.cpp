// The key queue and its key-press flag, key_down against the window's key-state
// table, and the schedule of key checks and pauses that a wait makes.
#include "window/keys.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "display/key_queue.h"
#include "display/screen.h"
#include "tests/support/fake_link.h"

namespace {

using testing_support::ScreenTest;

// --- The key queue ---

struct QueueFill {
  const char* name;
  int additions;  // codes 100, 101, ... in turn
  int size;
  std::uint32_t oldest;
};

class KeyQueueFillTest : public ::testing::TestWithParam<QueueFill> {};

TEST_P(KeyQueueFillTest, KeepsTheLastFifteenCodes) {
  display::KeyQueue queue;
  for (int i = 0; i < GetParam().additions; ++i) queue.add(100 + static_cast<std::uint32_t>(i));
  EXPECT_EQ(queue.size(), GetParam().size);
  EXPECT_EQ(queue.oldest(), GetParam().oldest);
}

INSTANTIATE_TEST_SUITE_P(Additions, KeyQueueFillTest,
                         ::testing::Values(QueueFill{"One", 1, 1, 100},
                                           QueueFill{"Fourteen", 14, 14, 100},
                                           QueueFill{"Fifteen", 15, 15, 100},
                                           QueueFill{"SixteenthDropsOldest", 16, 15, 101},
                                           QueueFill{"Seventeen", 17, 15, 102},
                                           QueueFill{"ThirtyTwo", 32, 15, 117}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeyQueueTest, StartsEmptyAndUnpressed) {
  display::KeyQueue queue;
  EXPECT_EQ(queue.size(), 0);
  EXPECT_FALSE(queue.take_pressed());
}

TEST(KeyQueueTest, EveryAdditionSetsThePressedFlagAndTakingClearsIt) {
  display::KeyQueue queue;
  queue.add(display::KEY_CODE_CLOSE_REQUEST);
  EXPECT_TRUE(queue.take_pressed());
  EXPECT_FALSE(queue.take_pressed());
  EXPECT_EQ(queue.size(), 1) << "taking the flag leaves the codes";

  queue.add('a');
  queue.add('b');
  EXPECT_TRUE(queue.take_pressed());
  EXPECT_FALSE(queue.take_pressed());

  for (int i = 0; i < 20; ++i) queue.add(0x48FF);
  EXPECT_TRUE(queue.take_pressed()) << "a full queue still sets the flag";
  EXPECT_FALSE(queue.take_pressed());
}

// --- key_down ---

using KeyDownTest = ScreenTest;

TEST_F(KeyDownTest, ReadsTheKeyStateTableUnderTheLock) {
  for (int code = 0; code < 128; ++code) screen().key_state[code] = code % 3 == 0 ? 1 : 0;
  for (int code = 0; code < 128; ++code) {
    SCOPED_TRACE(code);
    EXPECT_EQ(window::key_down(code), code % 3 == 0 ? 1 : 0);
    EXPECT_EQ(lock_takes(), 1);
  }
}

TEST_F(KeyDownTest, GameKeysHeld) {
  screen().key_state[72] = 1;
  EXPECT_EQ(window::key_down(72), 1);
  EXPECT_EQ(lock_takes(), 1);
  EXPECT_EQ(window::key_down(80), 0);
  EXPECT_EQ(lock_takes(), 1);
}

TEST_F(KeyDownTest, ScancodesOutsideTheTableGiveZeroWithoutALock) {
  screen().key_state.fill(1);
  for (const int code : {-1, 128, 255, 256, INT_MIN, INT_MAX}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(window::key_down(code), 0);
    EXPECT_EQ(lock_takes(), 0);
  }
}

TEST_F(KeyDownTest, UnderAHeldLockTakesNoLockAndLeavesItHeld) {
  screen().key_state[72] = 1;
  screen().lock_held = true;
  EXPECT_EQ(window::key_down(72), 1);
  EXPECT_EQ(lock_takes(), 0);
  EXPECT_TRUE(screen().lock_held);
  screen().lock_held = false;
}

TEST_F(KeyDownTest, WithoutAScreenGivesZero) {
  display::close_screen();
  for (const int code : {-1, 0, 72, 80, 127, 128}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(window::key_down(code), 0);
  }
}

// --- The wait schedule ---

using Steps = std::vector<std::string>;

const std::string CHECK = "check";

std::string pause(int ms) {
  return "pause " + std::to_string(ms);
}

// n key checks, each followed by a pause of 50 ms.
Steps checked_pauses(int n) {
  Steps steps;
  for (int i = 0; i < n; ++i) {
    steps.push_back(CHECK);
    steps.push_back(pause(50));
  }
  return steps;
}

Steps operator+(Steps a, const Steps& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct WaitCase {
  const char* name;
  int ms;
  int pressed_at_check;  // the check that first finds a key press; 0: none
  Steps steps;
};

class WaitScheduleTest : public ::testing::TestWithParam<WaitCase> {};

TEST_P(WaitScheduleTest, MakesItsChecksAndPausesInOrder) {
  const WaitCase& c = GetParam();
  Steps steps;
  int checks = 0;
  const auto check = [&] {
    steps.push_back(CHECK);
    ++checks;
    return checks == c.pressed_at_check || checks > 10000;  // the bound only stops a runaway
  };
  window::run_wait(c.ms, check, [&](int ms) { steps.push_back(pause(ms)); });
  EXPECT_EQ(steps, c.steps);
}

INSTANTIATE_TEST_SUITE_P(
    Waits, WaitScheduleTest,
    ::testing::Values(
        WaitCase{"FiveSeconds", 5000, 0, checked_pauses(99) + Steps{pause(50)}},
        WaitCase{"FiveSecondsPressedBefore", 5000, 1, {CHECK}},
        WaitCase{"FiveSecondsPressedAtTenthCheck", 5000, 10, checked_pauses(9) + Steps{CHECK}},
        WaitCase{"Hundred", 100, 0, {CHECK, pause(50), pause(50)}},
        WaitCase{"HundredChecksOnlyOnce", 100, 2, {CHECK, pause(50), pause(50)}},
        WaitCase{"HundredAndOne", 101, 0, checked_pauses(2) + Steps{pause(1)}},
        WaitCase{"HundredFifty", 150, 0, checked_pauses(2) + Steps{pause(50)}},
        WaitCase{"HundredFiftyOne", 151, 0, checked_pauses(3) + Steps{pause(1)}},
        WaitCase{"HundredFiftyOnePressedAtThirdCheck", 151, 3, checked_pauses(2) + Steps{CHECK}},
        WaitCase{"NinetyNine", 99, 1, {pause(99)}}, WaitCase{"Fifty", 50, 1, {pause(50)}},
        WaitCase{"Ten", 10, 1, {pause(10)}}, WaitCase{"One", 1, 1, {pause(1)}},
        WaitCase{"Zero", 0, 1, {}}, WaitCase{"MinusTwo", -2, 1, {}},
        WaitCase{"MostNegative", INT_MIN, 1, {}}, WaitCase{"UntilKeyPressedAtOnce", -1, 1, {CHECK}},
        WaitCase{"UntilKeyPressedAtFourthCheck", -1, 4, checked_pauses(3) + Steps{CHECK}},
        WaitCase{"UntilKeyPressedLate", -1, 200, checked_pauses(199) + Steps{CHECK}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- sleep_ms on an open screen ---
// Only waits that end at once or last at most a millisecond run here: a wait
// of 100 ms or more after a key press ends at its first key check, so a second
// lock take would mean it went on waiting.

struct SleepCase {
  const char* name;
  int ms;
  bool pressed_after;
  int lock_takes;
};

class SleepOnScreenTest : public ScreenTest, public ::testing::WithParamInterface<SleepCase> {};

TEST_P(SleepOnScreenTest, KeyCheckReadsAndClearsTheScreensFlag) {
  screen().key_queue.add(display::KEY_CODE_CLOSE_REQUEST);
  window::sleep_ms(GetParam().ms);
  EXPECT_EQ(lock_takes(), GetParam().lock_takes);
  EXPECT_EQ(screen().key_queue.take_pressed(), GetParam().pressed_after);
  EXPECT_EQ(screen().key_queue.size(), 1) << "the queue keeps its codes";
}

INSTANTIATE_TEST_SUITE_P(Waits, SleepOnScreenTest,
                         ::testing::Values(SleepCase{"HundredEndsAtItsFirstCheck", 100, false, 1},
                                           SleepCase{"HundredFiftyEndsAtItsFirstCheck", 150, false,
                                                     1},
                                           SleepCase{"OneMillisecondLeavesTheFlag", 1, true, 0},
                                           SleepCase{"ZeroLeavesTheFlag", 0, true, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScreenTest, SleepUnderAHeldLockTakesNoLockAndLeavesItHeld) {
  screen().key_queue.add('x');
  screen().lock_held = true;
  window::sleep_ms(100);
  EXPECT_EQ(lock_takes(), 0);
  EXPECT_TRUE(screen().lock_held);
  EXPECT_FALSE(screen().key_queue.take_pressed());
  screen().lock_held = false;
}

}  // namespace
