// How the window thread answers window events: activation, the close request,
// Alt+Enter and maximize, key presses, characters and repaints. Events are
// built by hand; nothing here starts SDL.
#include "window/window_events.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "display/key_queue.h"
#include "display/screen.h"

namespace {

using window::EventAction;

constexpr std::uint32_t CLOSE_REQUEST = 0x6BFF;  // 27647, as Alt+F4

// The codes a key queue holds, oldest first, read through its public face
// only: once the ring is full every addition pushes the oldest code out, so
// the codes pass through oldest() one by one.
std::vector<std::uint32_t> codes_in(display::KeyQueue queue) {
  const int held = queue.size();
  while (queue.size() < display::KeyQueue::SLOTS - 1) queue.add(0xDEAD);
  std::vector<std::uint32_t> codes;
  for (int i = 0; i < held; ++i) {
    codes.push_back(queue.oldest());
    queue.add(0xDEAD);
  }
  return codes;
}

SDL_Event window_event(SDL_WindowEventID id) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = id;
  return event;
}

SDL_Event quit_event() {
  SDL_Event event{};
  event.type = SDL_QUIT;
  return event;
}

SDL_Event key_event(SDL_Keycode key, std::uint16_t modifiers = KMOD_NONE, bool repeat = false,
                    Uint32 type = SDL_KEYDOWN) {
  SDL_Event event{};
  event.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat ? 1 : 0;
  event.key.keysym.sym = key;
  event.key.keysym.mod = modifiers;
  return event;
}

SDL_Event text_event(const char* utf8) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
  return event;
}

// A screen record with just what event handling touches: 600 rows of redraw
// marks, the key-state table and the key queue.
class WindowEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    screen.height = 600;
    screen.redraw_marks.assign(600, 0);
  }

  EventAction send(const SDL_Event& event) { return window::handle_event(event, state, screen); }
  std::vector<std::uint32_t> queued() const { return codes_in(screen.key_queue); }
  bool pressed() { return screen.key_queue.take_pressed(); }
  int marked_rows() const {
    return static_cast<int>(std::count(screen.redraw_marks.begin(), screen.redraw_marks.end(), 1));
  }
  bool key_table_clear() const {
    return std::all_of(screen.key_state.begin(), screen.key_state.end(),
                       [](std::uint8_t entry) { return entry == 0; });
  }

  display::ScreenRecord screen;
  window::WindowState state{.active = true, .flags = 0};
};

// Checks the helper itself against a queue filled by hand.
TEST_F(WindowEventsTest, QueueReaderListsCodesOldestFirst) {
  display::KeyQueue queue;
  for (std::uint32_t code : {1u, 2u, 3u}) queue.add(code);
  EXPECT_EQ(codes_in(queue), (std::vector<std::uint32_t>{1, 2, 3}));
  EXPECT_TRUE(codes_in(display::KeyQueue{}).empty());
}

// --- Activation ---

struct FocusCase {
  SDL_WindowEventID event;
  bool active_before;
  bool active_after;
};

TEST_F(WindowEventsTest, FocusChangeSetsActiveFlagClearsKeysAndMarksEveryRow) {
  const FocusCase cases[] = {
      {SDL_WINDOWEVENT_FOCUS_GAINED, false, true},
      {SDL_WINDOWEVENT_FOCUS_LOST, true, false},
      {SDL_WINDOWEVENT_FOCUS_GAINED, true, true},
      {SDL_WINDOWEVENT_FOCUS_LOST, false, false},
  };
  for (const FocusCase& c : cases) {
    SCOPED_TRACE(c.event == SDL_WINDOWEVENT_FOCUS_GAINED ? "focus gained" : "focus lost");
    state.active = c.active_before;
    screen.key_state.fill(1);  // cursor up and everything else held
    std::fill(screen.redraw_marks.begin(), screen.redraw_marks.end(), 0);

    EXPECT_EQ(send(window_event(c.event)), EventAction::none);
    EXPECT_EQ(state.active, c.active_after);
    EXPECT_TRUE(key_table_clear());
    EXPECT_EQ(marked_rows(), 600);
    EXPECT_TRUE(queued().empty());
    EXPECT_FALSE(pressed());
  }
}

TEST_F(WindowEventsTest, EventsOfAWindowClosedBeforeAreIgnored) {
  // After a switch the old window's late focus loss must not make the new
  // one inactive, nor its close request count.
  state.window_id = 7;
  state.active = true;
  screen.key_state[72] = 1;
  std::fill(screen.redraw_marks.begin(), screen.redraw_marks.end(), 0);
  for (const SDL_WindowEventID id : {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_CLOSE}) {
    SDL_Event old = window_event(id);
    old.window.windowID = 6;
    EXPECT_EQ(send(old), EventAction::none);
  }
  EXPECT_TRUE(state.active);
  EXPECT_EQ(screen.key_state[72], 1);
  EXPECT_EQ(marked_rows(), 0);
  EXPECT_TRUE(queued().empty());

  SDL_Event current = window_event(SDL_WINDOWEVENT_FOCUS_LOST);
  current.window.windowID = 7;
  send(current);
  EXPECT_FALSE(state.active);
}

// --- The close request ---

TEST_F(WindowEventsTest, CloseControlAndQuitQueueTheCloseRequestAndKeepTheWindow) {
  const SDL_Event events[] = {window_event(SDL_WINDOWEVENT_CLOSE), quit_event()};
  for (const SDL_Event& event : events) {
    SCOPED_TRACE(event.type == SDL_QUIT ? "SDL_QUIT" : "window close");
    screen.key_queue = {};
    EXPECT_EQ(send(event), EventAction::none);  // nothing closes
    EXPECT_EQ(queued(), std::vector<std::uint32_t>{CLOSE_REQUEST});
    EXPECT_TRUE(pressed());
    EXPECT_TRUE(state.active);
    EXPECT_EQ(marked_rows(), 0);
  }
  EXPECT_EQ(CLOSE_REQUEST, 27647u);
}

// --- Switching between window and full screen ---

struct SwitchCase {
  const char* name;
  SDL_Event event;
  bool active;
  int flags;
  EventAction expected;
};

TEST_F(WindowEventsTest, AltEnterAndMaximizeSwitchOnlyWhenActiveAndAllowed) {
  const SDL_Event alt_return = key_event(SDLK_RETURN, KMOD_LALT);
  const SDL_Event right_alt_return = key_event(SDLK_RETURN, KMOD_RALT | KMOD_NUM);
  const SDL_Event alt_keypad_enter = key_event(SDLK_KP_ENTER, KMOD_LALT);
  const SDL_Event maximized = window_event(SDL_WINDOWEVENT_MAXIMIZED);
  const int no_switch = display::FLAG_NO_SWITCH;
  const int full = display::FLAG_FULL_SCREEN;
  const SwitchCase cases[] = {
      {"Alt+Return", alt_return, true, 0, EventAction::switch_mode},
      {"right Alt+Return with Num Lock", right_alt_return, true, 0, EventAction::switch_mode},
      {"Alt+keypad Enter", alt_keypad_enter, true, 0, EventAction::switch_mode},
      {"Alt+Return back from full screen", alt_return, true, full, EventAction::switch_mode},
      {"maximize", maximized, true, 0, EventAction::switch_mode},
      {"Alt+Return inactive", alt_return, false, 0, EventAction::none},
      {"Alt+keypad Enter inactive", alt_keypad_enter, false, 0, EventAction::none},
      {"maximize inactive", maximized, false, 0, EventAction::none},
      {"Alt+Return no-switch", alt_return, true, no_switch, EventAction::none},
      {"Alt+keypad Enter no-switch", alt_keypad_enter, true, no_switch, EventAction::none},
      {"maximize no-switch", maximized, true, no_switch, EventAction::none},
      {"maximize no-switch in full screen", maximized, true, no_switch | full, EventAction::none},
  };
  for (const SwitchCase& c : cases) {
    SCOPED_TRACE(c.name);
    screen.key_queue = {};
    state = {.active = c.active, .flags = c.flags};
    EXPECT_EQ(send(c.event), c.expected);
    EXPECT_TRUE(queued().empty());
    EXPECT_FALSE(pressed());
    EXPECT_EQ(state.flags, c.flags) << "the switch itself toggles the flag, not the event";
  }
}

// --- Repaint ---

TEST_F(WindowEventsTest, ExposedAsksForRepaintOnly) {
  EXPECT_EQ(send(window_event(SDL_WINDOWEVENT_EXPOSED)), EventAction::repaint);
  EXPECT_TRUE(queued().empty());
  EXPECT_FALSE(pressed());
}

TEST_F(WindowEventsTest, OtherWindowEventsDoNothing) {
  const SDL_WindowEventID ids[] = {SDL_WINDOWEVENT_SHOWN, SDL_WINDOWEVENT_MOVED,
                                   SDL_WINDOWEVENT_ENTER, SDL_WINDOWEVENT_LEAVE,
                                   SDL_WINDOWEVENT_MINIMIZED};
  for (const SDL_WindowEventID id : ids) {
    SCOPED_TRACE(static_cast<int>(id));
    EXPECT_EQ(send(window_event(id)), EventAction::none);
    EXPECT_TRUE(state.active);
    EXPECT_EQ(marked_rows(), 0);
  }
  EXPECT_TRUE(queued().empty());
  EXPECT_FALSE(pressed());
}

// --- Key presses ---

struct KeyCase {
  const char* name;
  SDL_Keycode key;
  std::uint16_t modifiers;
  std::vector<std::uint32_t> codes;  // what one press queues
};

void PrintTo(const KeyCase& c, std::ostream* out) {
  *out << c.name;
}

class KeyPressTest : public WindowEventsTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyPressTest, QueuesItsCodeOnPressAndOnEveryRepeat) {
  const KeyCase& c = GetParam();
  EXPECT_EQ(send(key_event(c.key, c.modifiers)), EventAction::none);
  EXPECT_EQ(queued(), c.codes);
  EXPECT_EQ(pressed(), !c.codes.empty());

  screen.key_queue = {};
  for (int repeat = 0; repeat < 3; ++repeat) send(key_event(c.key, c.modifiers, true));
  std::vector<std::uint32_t> three_times;
  for (int i = 0; i < 3; ++i) three_times.insert(three_times.end(), c.codes.begin(), c.codes.end());
  EXPECT_EQ(queued(), three_times);
  EXPECT_EQ(pressed(), !c.codes.empty());
}

TEST_P(KeyPressTest, ReleaseQueuesNothing) {
  const KeyCase& c = GetParam();
  EXPECT_EQ(send(key_event(c.key, c.modifiers, false, SDL_KEYUP)), EventAction::none);
  EXPECT_TRUE(queued().empty());
  EXPECT_FALSE(pressed());
}

std::string key_case_name(const ::testing::TestParamInfo<KeyCase>& info) {
  return info.param.name;
}

// Special keys: the BIOS extended code in the high byte, 255 in the low byte.
INSTANTIATE_TEST_SUITE_P(
    SpecialKeys, KeyPressTest,
    ::testing::Values(KeyCase{"Up", SDLK_UP, KMOD_NONE, {0x48FF}},
                      KeyCase{"Down", SDLK_DOWN, KMOD_NONE, {0x50FF}},
                      KeyCase{"Left", SDLK_LEFT, KMOD_NONE, {0x4BFF}},
                      KeyCase{"Right", SDLK_RIGHT, KMOD_NONE, {0x4DFF}},
                      KeyCase{"UpWithNumLock", SDLK_UP, KMOD_NUM, {0x48FF}},
                      KeyCase{"DownWithNumLock", SDLK_DOWN, KMOD_NUM, {0x50FF}},
                      KeyCase{"Insert", SDLK_INSERT, KMOD_NONE, {0x52FF}},
                      KeyCase{"Delete", SDLK_DELETE, KMOD_NONE, {0x53FF}},
                      KeyCase{"Home", SDLK_HOME, KMOD_NONE, {0x47FF}},
                      KeyCase{"End", SDLK_END, KMOD_NONE, {0x4FFF}},
                      KeyCase{"PageUp", SDLK_PAGEUP, KMOD_NONE, {0x49FF}},
                      KeyCase{"PageDown", SDLK_PAGEDOWN, KMOD_NONE, {0x51FF}},
                      KeyCase{"F1", SDLK_F1, KMOD_NONE, {0x3BFF}},
                      KeyCase{"F2", SDLK_F2, KMOD_NONE, {0x3CFF}},
                      KeyCase{"F5", SDLK_F5, KMOD_NONE, {0x3FFF}},
                      KeyCase{"F9", SDLK_F9, KMOD_NONE, {0x43FF}},
                      KeyCase{"F10", SDLK_F10, KMOD_NONE, {0x44FF}},
                      KeyCase{"F11", SDLK_F11, KMOD_NONE, {0x85FF}},
                      KeyCase{"F12", SDLK_F12, KMOD_NONE, {0x86FF}},
                      KeyCase{"AltF4", SDLK_F4, KMOD_LALT, {0x6BFF}},
                      KeyCase{"RightAltF4", SDLK_F4, KMOD_RALT | KMOD_NUM, {0x6BFF}}),
    key_case_name);

// The keypad's digits act as the cursor block while Num Lock is off; with it
// on, their character comes as text input instead.
INSTANTIATE_TEST_SUITE_P(Keypad, KeyPressTest,
                         ::testing::Values(KeyCase{"Eight", SDLK_KP_8, KMOD_NONE, {0x48FF}},
                                           KeyCase{"Two", SDLK_KP_2, KMOD_NONE, {0x50FF}},
                                           KeyCase{"Four", SDLK_KP_4, KMOD_NONE, {0x4BFF}},
                                           KeyCase{"Six", SDLK_KP_6, KMOD_NONE, {0x4DFF}},
                                           KeyCase{"Seven", SDLK_KP_7, KMOD_NONE, {0x47FF}},
                                           KeyCase{"One", SDLK_KP_1, KMOD_NONE, {0x4FFF}},
                                           KeyCase{"Nine", SDLK_KP_9, KMOD_NONE, {0x49FF}},
                                           KeyCase{"Three", SDLK_KP_3, KMOD_NONE, {0x51FF}},
                                           KeyCase{"Zero", SDLK_KP_0, KMOD_NONE, {0x52FF}},
                                           KeyCase{"Point", SDLK_KP_PERIOD, KMOD_NONE, {0x53FF}},
                                           KeyCase{"EightWithNumLock", SDLK_KP_8, KMOD_NUM, {}},
                                           KeyCase{"TwoWithNumLock", SDLK_KP_2, KMOD_NUM, {}},
                                           KeyCase{"FiveWithoutNumLock", SDLK_KP_5, KMOD_NONE, {}},
                                           KeyCase{"Enter", SDLK_KP_ENTER, KMOD_NUM, {13}}),
                         key_case_name);

// Keys that stand for a control character give it; SDL sends no text for them.
INSTANTIATE_TEST_SUITE_P(ControlCharacters, KeyPressTest,
                         ::testing::Values(KeyCase{"Return", SDLK_RETURN, KMOD_NONE, {13}},
                                           KeyCase{"Backspace", SDLK_BACKSPACE, KMOD_NONE, {8}},
                                           KeyCase{"Tab", SDLK_TAB, KMOD_NONE, {9}},
                                           KeyCase{"Escape", SDLK_ESCAPE, KMOD_NONE, {27}}),
                         key_case_name);

// Modifier and lock keys alone are no key press; character keys wait for
// their text.
INSTANTIATE_TEST_SUITE_P(Silent, KeyPressTest,
                         ::testing::Values(KeyCase{"LeftShift", SDLK_LSHIFT, KMOD_LSHIFT, {}},
                                           KeyCase{"RightShift", SDLK_RSHIFT, KMOD_RSHIFT, {}},
                                           KeyCase{"LeftCtrl", SDLK_LCTRL, KMOD_LCTRL, {}},
                                           KeyCase{"RightCtrl", SDLK_RCTRL, KMOD_RCTRL, {}},
                                           KeyCase{"LeftAlt", SDLK_LALT, KMOD_LALT, {}},
                                           KeyCase{"RightAlt", SDLK_RALT, KMOD_RALT, {}},
                                           KeyCase{"CapsLock", SDLK_CAPSLOCK, KMOD_CAPS, {}},
                                           KeyCase{"NumLock", SDLK_NUMLOCKCLEAR, KMOD_NUM, {}},
                                           KeyCase{"ScrollLock", SDLK_SCROLLLOCK, KMOD_NONE, {}},
                                           KeyCase{"LeftWindows", SDLK_LGUI, KMOD_LGUI, {}},
                                           KeyCase{"RightWindows", SDLK_RGUI, KMOD_RGUI, {}},
                                           KeyCase{"Menu", SDLK_APPLICATION, KMOD_NONE, {}},
                                           KeyCase{"LetterA", SDLK_a, KMOD_NONE, {}},
                                           KeyCase{"ShiftedLetter", SDLK_a, KMOD_LSHIFT, {}},
                                           KeyCase{"Digit", SDLK_8, KMOD_NONE, {}},
                                           KeyCase{"Space", SDLK_SPACE, KMOD_NONE, {}}),
                         key_case_name);

// A character key queues its character once: with the text, not the press.
TEST_F(WindowEventsTest, CharacterKeyQueuesItsTextOnce) {
  send(key_event(SDLK_a));
  send(text_event("a"));
  EXPECT_EQ(queued(), std::vector<std::uint32_t>{'a'});
  EXPECT_TRUE(pressed());
}

// --- Characters ---

struct TextCase {
  const char* name;
  const char* utf8;
  std::vector<std::uint32_t> codes;
};

TEST_F(WindowEventsTest, TextInputQueuesCodePage437Characters) {
  const TextCase cases[] = {
      {"a", "a", {97}},
      {"e acute", "\xC3\xA9", {0x82}},
      {"keypad digit", "8", {'8'}},
      {"euro sign, not in code page 437", "\xE2\x82\xAC", {}},
      {"several characters", "Ab\xC3\xA9\xE2\x82\xAC!", {'A', 'b', 0x82, '!'}},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    screen.key_queue = {};
    EXPECT_EQ(send(text_event(c.utf8)), EventAction::none);
    EXPECT_EQ(queued(), c.codes);
    EXPECT_EQ(pressed(), !c.codes.empty());
  }
}

// --- The queue keeps the last 15 ---

TEST_F(WindowEventsTest, SixteenKeyPressesKeepTheLastFifteen) {
  const SDL_Keycode keys[] = {SDLK_F1,   SDLK_F2,    SDLK_F3,   SDLK_F4,  SDLK_F5, SDLK_F6,
                              SDLK_F7,   SDLK_F8,    SDLK_F9,   SDLK_F10, SDLK_UP, SDLK_DOWN,
                              SDLK_LEFT, SDLK_RIGHT, SDLK_HOME, SDLK_END};
  for (const SDL_Keycode key : keys) send(key_event(key));
  const std::vector<std::uint32_t> expected = {0x3CFF, 0x3DFF, 0x3EFF, 0x3FFF, 0x40FF,
                                               0x41FF, 0x42FF, 0x43FF, 0x44FF, 0x48FF,
                                               0x50FF, 0x4BFF, 0x4DFF, 0x47FF, 0x4FFF};
  EXPECT_EQ(queued(), expected);  // F1, the first, is gone
}

TEST_F(WindowEventsTest, SixteenCharactersInOneTextKeepTheLastFifteen) {
  send(text_event("ABCDEFGHIJKLMNOP"));
  std::vector<std::uint32_t> expected;
  for (char c = 'B'; c <= 'P'; ++c) expected.push_back(static_cast<std::uint32_t>(c));
  EXPECT_EQ(queued(), expected);
}

// --- Events of no concern ---

TEST_F(WindowEventsTest, MouseAndOtherEventsDoNothing) {
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  SDL_Event button{};
  button.type = SDL_MOUSEBUTTONDOWN;
  for (const SDL_Event& event : {motion, button}) EXPECT_EQ(send(event), EventAction::none);
  EXPECT_TRUE(queued().empty());
  EXPECT_FALSE(pressed());
  EXPECT_TRUE(state.active);
  EXPECT_EQ(marked_rows(), 0);
}

}  // namespace
