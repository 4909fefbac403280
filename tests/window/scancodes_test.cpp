// Keyboard sampling into the key-state table: by physical position (the
// set-1 make code of each key, E0 keys under the code after the prefix) and by
// layout (the 86 rows of the scancode table). The keyboard is a fake state
// array indexed by SDL scancode, the layout a fake key_of function.
#include "window/scancodes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

using KeyState = std::array<std::uint8_t, 128>;
using Codes = std::set<int>;

// A keyboard with the given keys down.
std::vector<std::uint8_t> keyboard_with(const std::vector<SDL_Scancode>& down) {
  std::vector<std::uint8_t> keyboard(SDL_NUM_SCANCODES, 0);
  for (const SDL_Scancode key : down) keyboard[key] = 1;
  return keyboard;
}

// The scancodes a table marks as held; fails on any entry other than 0 or 1.
Codes held(const KeyState& state) {
  Codes codes;
  for (int i = 0; i < 128; ++i) {
    EXPECT_LE(state[i], 1) << "entry " << i;
    if (state[i] != 0) codes.insert(i);
  }
  return codes;
}

// A US layout: character keys give their character, the others the keycode
// SDL derives from the scancode.
SDL_Keycode us_layout(SDL_Scancode key) {
  if (key >= SDL_SCANCODE_A && key <= SDL_SCANCODE_Z) return 'a' + (key - SDL_SCANCODE_A);
  if (key >= SDL_SCANCODE_1 && key <= SDL_SCANCODE_9) return '1' + (key - SDL_SCANCODE_1);
  switch (key) {
    case SDL_SCANCODE_0:
      return '0';
    case SDL_SCANCODE_RETURN:
      return '\r';
    case SDL_SCANCODE_ESCAPE:
      return '\x1B';
    case SDL_SCANCODE_BACKSPACE:
      return '\b';
    case SDL_SCANCODE_TAB:
      return '\t';
    case SDL_SCANCODE_SPACE:
      return ' ';
    case SDL_SCANCODE_MINUS:
      return '-';
    case SDL_SCANCODE_EQUALS:
      return '=';
    case SDL_SCANCODE_LEFTBRACKET:
      return '[';
    case SDL_SCANCODE_RIGHTBRACKET:
      return ']';
    case SDL_SCANCODE_BACKSLASH:
      return '\\';
    case SDL_SCANCODE_SEMICOLON:
      return ';';
    case SDL_SCANCODE_APOSTROPHE:
      return '\'';
    case SDL_SCANCODE_GRAVE:
      return '`';
    case SDL_SCANCODE_COMMA:
      return ',';
    case SDL_SCANCODE_PERIOD:
      return '.';
    case SDL_SCANCODE_SLASH:
      return '/';
    case SDL_SCANCODE_DELETE:
      return '\x7F';
    case SDL_SCANCODE_UNKNOWN:
      return SDLK_UNKNOWN;
    default:
      return SDL_SCANCODE_TO_KEYCODE(key);
  }
}

// A French layout's letter row: A and Q, Z and W change places.
SDL_Keycode french_layout(SDL_Scancode key) {
  switch (key) {
    case SDL_SCANCODE_Q:
      return 'a';
    case SDL_SCANCODE_A:
      return 'q';
    case SDL_SCANCODE_W:
      return 'z';
    case SDL_SCANCODE_Z:
      return 'w';
    default:
      return us_layout(key);
  }
}

// A key the layout does not know.
SDL_Keycode nothing_layout(SDL_Scancode) {
  return SDLK_UNKNOWN;
}

Codes sampled_by_position(const std::vector<SDL_Scancode>& down) {
  KeyState state;
  state.fill(1);  // every entry is written anew
  const auto keyboard = keyboard_with(down);
  window::sample_by_position(keyboard, state);
  return held(state);
}

Codes sampled_by_layout(const std::vector<SDL_Scancode>& down,
                        SDL_Keycode (*key_of)(SDL_Scancode) = us_layout) {
  KeyState state;
  state.fill(1);
  const auto keyboard = keyboard_with(down);
  window::sample_by_layout(keyboard, key_of, state);
  return held(state);
}

struct SampleCase {
  const char* name;
  std::vector<SDL_Scancode> down;
  Codes by_position;
  Codes by_layout;
};

void PrintTo(const SampleCase& c, std::ostream* out) {
  *out << c.name;
}

class SamplingTest : public ::testing::TestWithParam<SampleCase> {};

TEST_P(SamplingTest, ByPosition) {
  EXPECT_EQ(sampled_by_position(GetParam().down), GetParam().by_position);
}

TEST_P(SamplingTest, ByLayout) {
  EXPECT_EQ(sampled_by_layout(GetParam().down), GetParam().by_layout);
}

// The two codes the game polls, from either key of their place.
INSTANTIATE_TEST_SUITE_P(
    GameKeys, SamplingTest,
    ::testing::Values(SampleCase{"CursorUp", {SDL_SCANCODE_UP}, {72}, {72}},
                      SampleCase{"Keypad8", {SDL_SCANCODE_KP_8}, {72}, {72}},
                      SampleCase{"CursorDown", {SDL_SCANCODE_DOWN}, {80}, {80}},
                      SampleCase{"Keypad2", {SDL_SCANCODE_KP_2}, {80}, {80}},
                      SampleCase{
                          "UpAndKeypad2", {SDL_SCANCODE_UP, SDL_SCANCODE_KP_2}, {72, 80}, {72, 80}},
                      SampleCase{"UpAndKeypad8", {SDL_SCANCODE_UP, SDL_SCANCODE_KP_8}, {72}, {72}},
                      SampleCase{"NothingDown", {}, {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The cursor block and the keypad key of the same place share a code.
INSTANTIATE_TEST_SUITE_P(
    CursorBlockAndKeypad, SamplingTest,
    ::testing::Values(SampleCase{"Home", {SDL_SCANCODE_HOME}, {71}, {71}},
                      SampleCase{"Keypad7", {SDL_SCANCODE_KP_7}, {71}, {71}},
                      SampleCase{"PageUp", {SDL_SCANCODE_PAGEUP}, {73}, {73}},
                      SampleCase{"Keypad9", {SDL_SCANCODE_KP_9}, {73}, {73}},
                      SampleCase{"Left", {SDL_SCANCODE_LEFT}, {75}, {75}},
                      SampleCase{"Keypad4", {SDL_SCANCODE_KP_4}, {75}, {75}},
                      SampleCase{"Right", {SDL_SCANCODE_RIGHT}, {77}, {77}},
                      SampleCase{"Keypad6", {SDL_SCANCODE_KP_6}, {77}, {77}},
                      SampleCase{"End", {SDL_SCANCODE_END}, {79}, {79}},
                      SampleCase{"Keypad1", {SDL_SCANCODE_KP_1}, {79}, {79}},
                      SampleCase{"PageDown", {SDL_SCANCODE_PAGEDOWN}, {81}, {81}},
                      SampleCase{"Keypad3", {SDL_SCANCODE_KP_3}, {81}, {81}},
                      SampleCase{"Insert", {SDL_SCANCODE_INSERT}, {82}, {82}},
                      SampleCase{"Keypad0", {SDL_SCANCODE_KP_0}, {82}, {82}},
                      SampleCase{"Delete", {SDL_SCANCODE_DELETE}, {83}, {83}},
                      SampleCase{"KeypadPoint", {SDL_SCANCODE_KP_PERIOD}, {83}, {83}}),
    [](const auto& info) { return std::string(info.param.name); });

// Where the two ways part: keypad minus and 5, the Shifts, the Windows keys,
// keypad slash.
INSTANTIATE_TEST_SUITE_P(
    WhereTheyDiffer, SamplingTest,
    ::testing::Values(SampleCase{"KeypadMinus", {SDL_SCANCODE_KP_MINUS}, {74}, {12}},
                      SampleCase{"Minus", {SDL_SCANCODE_MINUS}, {12}, {12}},
                      SampleCase{"Keypad5", {SDL_SCANCODE_KP_5}, {76}, {}},
                      SampleCase{"LeftShift", {SDL_SCANCODE_LSHIFT}, {42}, {42, 54}},
                      SampleCase{"RightShift", {SDL_SCANCODE_RSHIFT}, {54}, {42, 54}},
                      SampleCase{"LeftWindows", {SDL_SCANCODE_LGUI}, {91}, {125}},
                      SampleCase{"RightWindows", {SDL_SCANCODE_RGUI}, {92}, {126}},
                      SampleCase{"Menu", {SDL_SCANCODE_APPLICATION}, {93}, {127}},
                      SampleCase{"KeypadSlash", {SDL_SCANCODE_KP_DIVIDE}, {53}, {53}},
                      SampleCase{"Slash", {SDL_SCANCODE_SLASH}, {53}, {53}}),
    [](const auto& info) { return std::string(info.param.name); });

// Both Enters, both Ctrls, both Alts count under one code either way.
INSTANTIATE_TEST_SUITE_P(
    PairedKeys, SamplingTest,
    ::testing::Values(SampleCase{"Return", {SDL_SCANCODE_RETURN}, {28}, {28}},
                      SampleCase{"KeypadEnter", {SDL_SCANCODE_KP_ENTER}, {28}, {28}},
                      SampleCase{"LeftCtrl", {SDL_SCANCODE_LCTRL}, {29}, {29}},
                      SampleCase{"RightCtrl", {SDL_SCANCODE_RCTRL}, {29}, {29}},
                      SampleCase{"LeftAlt", {SDL_SCANCODE_LALT}, {56}, {56}},
                      SampleCase{"RightAlt", {SDL_SCANCODE_RALT}, {56}, {56}}),
    [](const auto& info) { return std::string(info.param.name); });

// The main block, function keys and locks, by their make codes.
INSTANTIATE_TEST_SUITE_P(
    MainKeys, SamplingTest,
    ::testing::Values(SampleCase{"Escape", {SDL_SCANCODE_ESCAPE}, {1}, {1}},
                      SampleCase{"Digit1", {SDL_SCANCODE_1}, {2}, {2}},
                      SampleCase{"Digit9", {SDL_SCANCODE_9}, {10}, {10}},
                      SampleCase{"Digit0", {SDL_SCANCODE_0}, {11}, {11}},
                      SampleCase{"Equals", {SDL_SCANCODE_EQUALS}, {13}, {13}},
                      SampleCase{"Backspace", {SDL_SCANCODE_BACKSPACE}, {14}, {14}},
                      SampleCase{"Tab", {SDL_SCANCODE_TAB}, {15}, {15}},
                      SampleCase{"Q", {SDL_SCANCODE_Q}, {16}, {16}},
                      SampleCase{"P", {SDL_SCANCODE_P}, {25}, {25}},
                      SampleCase{"RightBracket", {SDL_SCANCODE_RIGHTBRACKET}, {27}, {27}},
                      SampleCase{"A", {SDL_SCANCODE_A}, {30}, {30}},
                      SampleCase{"L", {SDL_SCANCODE_L}, {38}, {38}},
                      SampleCase{"Apostrophe", {SDL_SCANCODE_APOSTROPHE}, {40}, {40}},
                      SampleCase{"Grave", {SDL_SCANCODE_GRAVE}, {41}, {41}},
                      SampleCase{"Backslash", {SDL_SCANCODE_BACKSLASH}, {43}, {43}},
                      SampleCase{"Z", {SDL_SCANCODE_Z}, {44}, {44}},
                      SampleCase{"M", {SDL_SCANCODE_M}, {50}, {50}},
                      SampleCase{"Period", {SDL_SCANCODE_PERIOD}, {52}, {52}},
                      SampleCase{"KeypadStar", {SDL_SCANCODE_KP_MULTIPLY}, {55}, {55}},
                      SampleCase{"Space", {SDL_SCANCODE_SPACE}, {57}, {57}},
                      SampleCase{"CapsLock", {SDL_SCANCODE_CAPSLOCK}, {58}, {58}},
                      SampleCase{"F1", {SDL_SCANCODE_F1}, {59}, {59}},
                      SampleCase{"F10", {SDL_SCANCODE_F10}, {68}, {68}},
                      SampleCase{"NumLock", {SDL_SCANCODE_NUMLOCKCLEAR}, {69}, {69}},
                      SampleCase{"ScrollLock", {SDL_SCANCODE_SCROLLLOCK}, {70}, {70}},
                      SampleCase{"KeypadPlus", {SDL_SCANCODE_KP_PLUS}, {78}, {78}},
                      SampleCase{"F11", {SDL_SCANCODE_F11}, {87}, {87}},
                      SampleCase{"F12", {SDL_SCANCODE_F12}, {88}, {88}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- By position only ---

// Keys sent with the E0 prefix count under the code after it.
TEST(SampleByPosition, ExtendedKeysCountUnderTheCodeAfterTheirPrefix) {
  EXPECT_EQ(sampled_by_position({SDL_SCANCODE_PRINTSCREEN}), Codes{55});  // E0 37
  EXPECT_EQ(sampled_by_position({SDL_SCANCODE_NONUSBACKSLASH}), Codes{86});
  EXPECT_EQ(sampled_by_position({SDL_SCANCODE_F13}), Codes{100});
}

TEST(SampleByPosition, ReleasedKeysClearTheirEntry) {
  KeyState state{};
  window::sample_by_position(keyboard_with({SDL_SCANCODE_UP}), state);
  window::sample_by_position(keyboard_with({SDL_SCANCODE_DOWN}), state);
  EXPECT_EQ(held(state), Codes{80});
}

// A full PC keyboard: main block, function keys, locks, cursor block, keypad,
// Windows and menu keys.
const std::vector<SDL_Scancode> FULL_KEYBOARD = {
    SDL_SCANCODE_ESCAPE,      SDL_SCANCODE_1,           SDL_SCANCODE_2,
    SDL_SCANCODE_3,           SDL_SCANCODE_4,           SDL_SCANCODE_5,
    SDL_SCANCODE_6,           SDL_SCANCODE_7,           SDL_SCANCODE_8,
    SDL_SCANCODE_9,           SDL_SCANCODE_0,           SDL_SCANCODE_MINUS,
    SDL_SCANCODE_EQUALS,      SDL_SCANCODE_BACKSPACE,   SDL_SCANCODE_TAB,
    SDL_SCANCODE_Q,           SDL_SCANCODE_W,           SDL_SCANCODE_E,
    SDL_SCANCODE_R,           SDL_SCANCODE_T,           SDL_SCANCODE_Y,
    SDL_SCANCODE_U,           SDL_SCANCODE_I,           SDL_SCANCODE_O,
    SDL_SCANCODE_P,           SDL_SCANCODE_LEFTBRACKET, SDL_SCANCODE_RIGHTBRACKET,
    SDL_SCANCODE_RETURN,      SDL_SCANCODE_LCTRL,       SDL_SCANCODE_A,
    SDL_SCANCODE_S,           SDL_SCANCODE_D,           SDL_SCANCODE_F,
    SDL_SCANCODE_G,           SDL_SCANCODE_H,           SDL_SCANCODE_J,
    SDL_SCANCODE_K,           SDL_SCANCODE_L,           SDL_SCANCODE_SEMICOLON,
    SDL_SCANCODE_APOSTROPHE,  SDL_SCANCODE_GRAVE,       SDL_SCANCODE_LSHIFT,
    SDL_SCANCODE_BACKSLASH,   SDL_SCANCODE_Z,           SDL_SCANCODE_X,
    SDL_SCANCODE_C,           SDL_SCANCODE_V,           SDL_SCANCODE_B,
    SDL_SCANCODE_N,           SDL_SCANCODE_M,           SDL_SCANCODE_COMMA,
    SDL_SCANCODE_PERIOD,      SDL_SCANCODE_SLASH,       SDL_SCANCODE_RSHIFT,
    SDL_SCANCODE_KP_MULTIPLY, SDL_SCANCODE_LALT,        SDL_SCANCODE_SPACE,
    SDL_SCANCODE_CAPSLOCK,    SDL_SCANCODE_F1,          SDL_SCANCODE_F2,
    SDL_SCANCODE_F3,          SDL_SCANCODE_F4,          SDL_SCANCODE_F5,
    SDL_SCANCODE_F6,          SDL_SCANCODE_F7,          SDL_SCANCODE_F8,
    SDL_SCANCODE_F9,          SDL_SCANCODE_F10,         SDL_SCANCODE_NUMLOCKCLEAR,
    SDL_SCANCODE_SCROLLLOCK,  SDL_SCANCODE_KP_7,        SDL_SCANCODE_KP_8,
    SDL_SCANCODE_KP_9,        SDL_SCANCODE_KP_MINUS,    SDL_SCANCODE_KP_4,
    SDL_SCANCODE_KP_5,        SDL_SCANCODE_KP_6,        SDL_SCANCODE_KP_PLUS,
    SDL_SCANCODE_KP_1,        SDL_SCANCODE_KP_2,        SDL_SCANCODE_KP_3,
    SDL_SCANCODE_KP_0,        SDL_SCANCODE_KP_PERIOD,   SDL_SCANCODE_F11,
    SDL_SCANCODE_F12,         SDL_SCANCODE_KP_ENTER,    SDL_SCANCODE_RCTRL,
    SDL_SCANCODE_KP_DIVIDE,   SDL_SCANCODE_RALT,        SDL_SCANCODE_HOME,
    SDL_SCANCODE_UP,          SDL_SCANCODE_PAGEUP,      SDL_SCANCODE_LEFT,
    SDL_SCANCODE_RIGHT,       SDL_SCANCODE_END,         SDL_SCANCODE_DOWN,
    SDL_SCANCODE_PAGEDOWN,    SDL_SCANCODE_INSERT,      SDL_SCANCODE_DELETE,
    SDL_SCANCODE_LGUI,        SDL_SCANCODE_RGUI,        SDL_SCANCODE_APPLICATION,
};

// The codes of the scancode table: 1 to 73, 75, 77 to 83, 87, 88, 125 to 127.
Codes known_codes() {
  Codes codes;
  for (int code = 1; code <= 73; ++code) codes.insert(code);
  codes.insert({75, 77, 78, 79, 80, 81, 82, 83, 87, 88, 125, 126, 127});
  return codes;
}

// By position every key of the set-1 keyboard has its code: 1 to 83, F11 and
// F12, and the Windows and menu keys at 91 to 93.
TEST(FullKeyboard, ByPositionHoldsEveryMakeCode) {
  Codes expected;
  for (int code = 1; code <= 83; ++code) expected.insert(code);
  expected.insert({87, 88, 91, 92, 93});
  EXPECT_EQ(sampled_by_position(FULL_KEYBOARD), expected);
}

// By layout exactly the 86 codes of the scancode table: no 74, no 76.
TEST(FullKeyboard, ByLayoutHoldsTheEightySixKnownCodes) {
  EXPECT_EQ(known_codes().size(), 86u);
  EXPECT_EQ(sampled_by_layout(FULL_KEYBOARD), known_codes());
}

// --- By layout only ---

TEST(SampleByLayout, LettersFollowTheLayoutNotThePosition) {
  // The key at Q's place types 'a' on a French layout: code 30, as A.
  EXPECT_EQ(sampled_by_layout({SDL_SCANCODE_Q}, french_layout), Codes{30});
  EXPECT_EQ(sampled_by_layout({SDL_SCANCODE_A}, french_layout), Codes{16});
  EXPECT_EQ(sampled_by_layout({SDL_SCANCODE_Z}, french_layout), Codes{17});
  // Keys that do not move stay put.
  EXPECT_EQ(sampled_by_layout({SDL_SCANCODE_UP}, french_layout), Codes{72});
  // By position the layout plays no part.
  EXPECT_EQ(sampled_by_position({SDL_SCANCODE_Q}), Codes{16});
}

TEST(SampleByLayout, KeysTheLayoutDoesNotKnowHoldNothing) {
  EXPECT_EQ(sampled_by_layout({SDL_SCANCODE_UP, SDL_SCANCODE_A}, nothing_layout), Codes{});
  EXPECT_EQ(sampled_by_layout({SDL_SCANCODE_PRINTSCREEN, SDL_SCANCODE_F13}), Codes{});
}

TEST(SampleByLayout, ReleasedKeysClearTheirEntry) {
  KeyState state{};
  window::sample_by_layout(keyboard_with({SDL_SCANCODE_UP}), us_layout, state);
  window::sample_by_layout(keyboard_with({}), us_layout, state);
  EXPECT_EQ(held(state), Codes{});
}

// --- The scancode table ---

TEST(ScancodeTable, HasTheEightySixKnownCodesOnce) {
  const Codes expected = known_codes();

  const auto rows = window::scancode_table();
  EXPECT_EQ(rows.size(), 86u);
  std::multiset<int> codes;
  for (const window::LayoutRow& row : rows) {
    codes.insert(row.scancode);
    EXPECT_NE(row.first, SDLK_UNKNOWN) << "row " << row.scancode;
  }
  EXPECT_EQ(Codes(codes.begin(), codes.end()), expected);
  EXPECT_EQ(codes.size(), expected.size()) << "a code has two rows";
  EXPECT_EQ(codes.count(74), 0u);
  EXPECT_EQ(codes.count(76), 0u);
}

}  // namespace
