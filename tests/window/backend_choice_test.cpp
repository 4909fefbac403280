// Choosing a display back-end: which back-ends are started, in which order, with
// which full-screen flag and refresh rate, and which one is kept.
#include "window/backend_choice.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "display/screen.h"
#include "window/null_backend.h"

namespace {

// How a fake back-end answers a start.
enum class Answer {
  FAILS,
  STARTS,
  STARTS_AT_DISPLAY_RATE,  // only with refresh rate 0
  STARTS_IN_FULL_SCREEN,   // only with the full-screen flag set
};

struct Attempt {
  std::string name;
  bool full_screen;
  int refresh_hz;
  bool operator==(const Attempt&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Attempt& a) {
  return out << a.name << (a.full_screen ? "(full screen, " : "(window, ") << a.refresh_hz << ")";
}

using Attempts = std::vector<Attempt>;

constexpr std::array<const char*, 3> NAMES = {"DirectX", "GDI", "OpenGL"};

// What the fake back-ends are told to answer and what they were asked.
struct Recorder {
  std::array<Answer, 3> answers{};
  Attempts attempts;
  std::vector<display::DisplayRequest> requests;
} recorder;

class ChosenLink final : public display::DisplayLink {
 public:
  explicit ChosenLink(std::string name) : name(std::move(name)) {}
  void lock() override {}
  void unlock() override {}
  void set_colour(int, std::uint8_t, std::uint8_t, std::uint8_t) override {}
  std::string name;
};

template <std::size_t I>
std::unique_ptr<display::DisplayLink> start_fake(const display::DisplayRequest& request,
                                                 display::ScreenRecord&) {
  const bool full_screen = (request.flags & display::FLAG_FULL_SCREEN) != 0;
  recorder.attempts.push_back({NAMES[I], full_screen, request.refresh_hz});
  recorder.requests.push_back(request);
  bool starts = false;
  switch (recorder.answers[I]) {
    case Answer::FAILS:
      break;
    case Answer::STARTS:
      starts = true;
      break;
    case Answer::STARTS_AT_DISPLAY_RATE:
      starts = request.refresh_hz == 0;
      break;
    case Answer::STARTS_IN_FULL_SCREEN:
      starts = full_screen;
      break;
  }
  if (!starts) return nullptr;
  return std::make_unique<ChosenLink>(NAMES[I]);
}

constexpr window::BackendEntry BACKENDS[] = {
    {"DirectX", start_fake<0>},
    {"GDI", start_fake<1>},
    {"OpenGL", start_fake<2>},
};

constexpr int RATE = 60;
constexpr bool WINDOW = false;
constexpr bool FULL = true;

// One back-end taken in a pass that fails: the requested rate, then the display's own.
Attempts both_rates(const char* name, bool full_screen, int rate = RATE) {
  return {{name, full_screen, rate}, {name, full_screen, 0}};
}

// A pass over the whole list in which every back-end fails.
Attempts whole_list(bool full_screen, int rate = RATE) {
  Attempts attempts;
  for (const char* name : NAMES) {
    const Attempts tries = both_rates(name, full_screen, rate);
    attempts.insert(attempts.end(), tries.begin(), tries.end());
  }
  return attempts;
}

Attempts operator+(Attempts a, const Attempts& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

constexpr const char* UNSET = nullptr;
constexpr const char* NO_BACKEND = nullptr;
constexpr const char* NULL_BACKEND = "(null back-end)";

constexpr auto ALL_FAIL = std::array{Answer::FAILS, Answer::FAILS, Answer::FAILS};
constexpr auto ALL_START = std::array{Answer::STARTS, Answer::STARTS, Answer::STARTS};

struct ChoiceCase {
  const char* name;
  const char* qzgfx;
  int flags;
  int refresh_hz;
  std::array<Answer, 3> answers;  // DirectX, GDI, OpenGL
  Attempts attempts;
  const char* chosen;
};

class BackendChoiceTest : public ::testing::TestWithParam<ChoiceCase> {
 protected:
  void SetUp() override {
    recorder.attempts.clear();
    recorder.requests.clear();
  }
};

TEST_P(BackendChoiceTest, TriesBackEndsInPassOrder) {
  const ChoiceCase& c = GetParam();
  recorder.answers = c.answers;
  display::ScreenRecord screen;
  display::DisplayRequest request{800, 600, 8, c.refresh_hz, c.flags};

  const auto link = window::choose_backend(BACKENDS, c.qzgfx, request, screen);

  EXPECT_EQ(recorder.attempts, c.attempts);
  if (c.chosen == NO_BACKEND) {
    EXPECT_EQ(link, nullptr);
  } else if (c.chosen == NULL_BACKEND) {
    EXPECT_NE(dynamic_cast<window::NullLink*>(link.get()), nullptr);
  } else {
    const auto* chosen = dynamic_cast<ChosenLink*>(link.get());
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->name, c.chosen);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, BackendChoiceTest,
    ::testing::Values(
        // The null back-end, chosen without starting anything.
        ChoiceCase{"NoWindowFlags", UNSET, -1, RATE, ALL_START, {}, NULL_BACKEND},
        ChoiceCase{"NoWindowFlagsOverrideName", "gdi", -1, RATE, ALL_START, {}, NULL_BACKEND},
        // Only the whole value -1 asks for no window; other negative flags are bits.
        ChoiceCase{"OtherNegativeFlags",
                   UNSET,
                   -2,
                   RATE,
                   ALL_START,
                   {{"DirectX", WINDOW, RATE}},
                   "DirectX"},
        ChoiceCase{"NullLowerCase", "null", 0, RATE, ALL_START, {}, NULL_BACKEND},
        ChoiceCase{"NullUpperCase", "NULL", 0, RATE, ALL_START, {}, NULL_BACKEND},
        ChoiceCase{"NullMixedCase", "Null", 0, RATE, ALL_START, {}, NULL_BACKEND},
        // Variable unset: the list in a window, then the list in full screen.
        ChoiceCase{"UnsetAllFail", UNSET, 0, RATE, ALL_FAIL, whole_list(WINDOW) + whole_list(FULL),
                   NO_BACKEND},
        ChoiceCase{"UnsetGameRequestAllFail", UNSET, 0, 0, ALL_FAIL,
                   whole_list(WINDOW, 0) + whole_list(FULL, 0), NO_BACKEND},
        ChoiceCase{"UnsetFullScreenRequestedAllFail", UNSET, display::FLAG_FULL_SCREEN, RATE,
                   ALL_FAIL, whole_list(FULL) + whole_list(WINDOW), NO_BACKEND},
        ChoiceCase{
            "UnsetFirstStarts", UNSET, 0, RATE, ALL_START, {{"DirectX", WINDOW, RATE}}, "DirectX"},
        ChoiceCase{"UnsetFirstStartsAtDisplayRate",
                   UNSET,
                   0,
                   RATE,
                   {Answer::STARTS_AT_DISPLAY_RATE, Answer::STARTS, Answer::STARTS},
                   both_rates("DirectX", WINDOW),
                   "DirectX"},
        ChoiceCase{"UnsetSecondStarts",
                   UNSET,
                   0,
                   RATE,
                   {Answer::FAILS, Answer::STARTS, Answer::STARTS},
                   both_rates("DirectX", WINDOW) + Attempts{{"GDI", WINDOW, RATE}},
                   "GDI"},
        ChoiceCase{"UnsetOnlyFullScreenStarts",
                   UNSET,
                   0,
                   RATE,
                   {Answer::STARTS_IN_FULL_SCREEN, Answer::FAILS, Answer::FAILS},
                   whole_list(WINDOW) + Attempts{{"DirectX", FULL, RATE}},
                   "DirectX"},
        // Variable naming a back-end: that one, the list, that one again, the
        // list in full screen.
        ChoiceCase{"GdiAllFail", "gdi", 0, RATE, ALL_FAIL,
                   both_rates("GDI", WINDOW) + whole_list(WINDOW) + both_rates("GDI", WINDOW) +
                       whole_list(FULL),
                   NO_BACKEND},
        ChoiceCase{"GdiStartsFirst", "gdi", 0, RATE, ALL_START, {{"GDI", WINDOW, RATE}}, "GDI"},
        ChoiceCase{"GdiUpperCase", "GDI", 0, RATE, ALL_START, {{"GDI", WINDOW, RATE}}, "GDI"},
        ChoiceCase{"GdiMixedCase", "gDi", 0, RATE, ALL_START, {{"GDI", WINDOW, RATE}}, "GDI"},
        ChoiceCase{"GdiOnlyInFullScreen",
                   "GDI",
                   0,
                   RATE,
                   {Answer::FAILS, Answer::STARTS_IN_FULL_SCREEN, Answer::FAILS},
                   both_rates("GDI", WINDOW) + whole_list(WINDOW) + both_rates("GDI", WINDOW) +
                       both_rates("DirectX", FULL) + Attempts{{"GDI", FULL, RATE}},
                   "GDI"},
        ChoiceCase{"OpenGLRefusesDirectXStarts",
                   "OpenGL",
                   0,
                   RATE,
                   {Answer::STARTS, Answer::STARTS, Answer::FAILS},
                   both_rates("OpenGL", WINDOW) + Attempts{{"DirectX", WINDOW, RATE}},
                   "DirectX"},
        ChoiceCase{"OpenGLAndDirectXRefuseGdiStarts",
                   "OpenGL",
                   0,
                   RATE,
                   {Answer::FAILS, Answer::STARTS, Answer::FAILS},
                   both_rates("OpenGL", WINDOW) + both_rates("DirectX", WINDOW) +
                       Attempts{{"GDI", WINDOW, RATE}},
                   "GDI"},
        // A value that names no back-end gives the order of the variable unset.
        ChoiceCase{"EmptyAllFail", "", 0, RATE, ALL_FAIL, whole_list(WINDOW) + whole_list(FULL),
                   NO_BACKEND},
        ChoiceCase{"UnknownAllFail", "Vulkan", 0, RATE, ALL_FAIL,
                   whole_list(WINDOW) + whole_list(FULL), NO_BACKEND},
        ChoiceCase{"NameLongerThanNullAllFail", "nullx", 0, RATE, ALL_FAIL,
                   whole_list(WINDOW) + whole_list(FULL), NO_BACKEND},
        ChoiceCase{"PrefixOfABackEndAllFail", "GD", 0, RATE, ALL_FAIL,
                   whole_list(WINDOW) + whole_list(FULL), NO_BACKEND},
        ChoiceCase{
            "EmptyFirstStarts", "", 0, RATE, ALL_START, {{"DirectX", WINDOW, RATE}}, "DirectX"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BackendChoiceFlagsTest, OnlyTheFullScreenFlagIsToggled) {
  recorder.answers = ALL_FAIL;
  recorder.attempts.clear();
  recorder.requests.clear();
  display::ScreenRecord screen;
  const int given = display::FLAG_NO_SWITCH;
  const display::DisplayRequest request{800, 600, 8, RATE, given};

  EXPECT_EQ(window::choose_backend(BACKENDS, "gdi", request, screen), nullptr);

  ASSERT_EQ(recorder.requests.size(), 2u + 6u + 2u + 6u);
  for (std::size_t i = 0; i < recorder.requests.size(); ++i) {
    SCOPED_TRACE(i);
    const display::DisplayRequest& r = recorder.requests[i];
    const int expected = i < 10 ? given : given | display::FLAG_FULL_SCREEN;
    EXPECT_EQ(r.flags, expected);
    EXPECT_EQ(r.width_px, 800);
    EXPECT_EQ(r.height_px, 600);
    EXPECT_EQ(r.depth_bits, 8);
  }
}

TEST(BackendChoiceFlagsTest, EmptyListChoosesNothing) {
  recorder.attempts.clear();
  display::ScreenRecord screen;
  const display::DisplayRequest request{800, 600, 8, 0, 0};
  EXPECT_EQ(window::choose_backend({}, UNSET, request, screen), nullptr);
  EXPECT_EQ(window::choose_backend({}, "gdi", request, screen), nullptr);
  EXPECT_NE(
      dynamic_cast<window::NullLink*>(window::choose_backend({}, "null", request, screen).get()),
      nullptr);
}

}  // namespace
