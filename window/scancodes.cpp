#include "window/scancodes.h"

#include <algorithm>

namespace window {

namespace {

constexpr std::array<PositionRow, 128> make_position_table() {
  std::array<PositionRow, 128> t{};
  const auto set = [&t](int code, SDL_Scancode plain,
                        SDL_Scancode extended = SDL_SCANCODE_UNKNOWN) {
    t[code] = {plain, extended};
  };
  set(1, SDL_SCANCODE_ESCAPE);
  for (int i = 0; i < 9; ++i) set(2 + i, static_cast<SDL_Scancode>(SDL_SCANCODE_1 + i));
  set(11, SDL_SCANCODE_0);
  set(12, SDL_SCANCODE_MINUS);
  set(13, SDL_SCANCODE_EQUALS);
  set(14, SDL_SCANCODE_BACKSPACE);
  set(15, SDL_SCANCODE_TAB);
  set(16, SDL_SCANCODE_Q, SDL_SCANCODE_AUDIOPREV);
  set(17, SDL_SCANCODE_W);
  set(18, SDL_SCANCODE_E);
  set(19, SDL_SCANCODE_R);
  set(20, SDL_SCANCODE_T);
  set(21, SDL_SCANCODE_Y);
  set(22, SDL_SCANCODE_U);
  set(23, SDL_SCANCODE_I);
  set(24, SDL_SCANCODE_O);
  set(25, SDL_SCANCODE_P, SDL_SCANCODE_AUDIONEXT);
  set(26, SDL_SCANCODE_LEFTBRACKET);
  set(27, SDL_SCANCODE_RIGHTBRACKET);
  set(28, SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER);
  set(29, SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL);
  set(30, SDL_SCANCODE_A);
  set(31, SDL_SCANCODE_S);
  set(32, SDL_SCANCODE_D, SDL_SCANCODE_MUTE);
  set(33, SDL_SCANCODE_F, SDL_SCANCODE_CALCULATOR);
  set(34, SDL_SCANCODE_G, SDL_SCANCODE_AUDIOPLAY);
  set(35, SDL_SCANCODE_H);
  set(36, SDL_SCANCODE_J, SDL_SCANCODE_AUDIOSTOP);
  set(37, SDL_SCANCODE_K);
  set(38, SDL_SCANCODE_L);
  set(39, SDL_SCANCODE_SEMICOLON);
  set(40, SDL_SCANCODE_APOSTROPHE);
  set(41, SDL_SCANCODE_GRAVE);
  set(42, SDL_SCANCODE_LSHIFT);
  set(43, SDL_SCANCODE_BACKSLASH);
  set(44, SDL_SCANCODE_Z);
  set(45, SDL_SCANCODE_X);
  set(46, SDL_SCANCODE_C, SDL_SCANCODE_VOLUMEDOWN);
  set(47, SDL_SCANCODE_V);
  set(48, SDL_SCANCODE_B, SDL_SCANCODE_VOLUMEUP);
  set(49, SDL_SCANCODE_N);
  set(50, SDL_SCANCODE_M, SDL_SCANCODE_AC_HOME);
  set(51, SDL_SCANCODE_COMMA);
  set(52, SDL_SCANCODE_PERIOD);
  set(53, SDL_SCANCODE_SLASH, SDL_SCANCODE_KP_DIVIDE);
  set(54, SDL_SCANCODE_RSHIFT);
  set(55, SDL_SCANCODE_KP_MULTIPLY, SDL_SCANCODE_PRINTSCREEN);
  set(56, SDL_SCANCODE_LALT, SDL_SCANCODE_RALT);
  set(57, SDL_SCANCODE_SPACE);
  set(58, SDL_SCANCODE_CAPSLOCK);
  for (int i = 0; i < 10; ++i) set(59 + i, static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i));
  set(69, SDL_SCANCODE_NUMLOCKCLEAR, SDL_SCANCODE_PAUSE);
  set(70, SDL_SCANCODE_SCROLLLOCK);
  set(71, SDL_SCANCODE_KP_7, SDL_SCANCODE_HOME);
  set(72, SDL_SCANCODE_KP_8, SDL_SCANCODE_UP);
  set(73, SDL_SCANCODE_KP_9, SDL_SCANCODE_PAGEUP);
  set(74, SDL_SCANCODE_KP_MINUS);
  set(75, SDL_SCANCODE_KP_4, SDL_SCANCODE_LEFT);
  set(76, SDL_SCANCODE_KP_5);
  set(77, SDL_SCANCODE_KP_6, SDL_SCANCODE_RIGHT);
  set(78, SDL_SCANCODE_KP_PLUS);
  set(79, SDL_SCANCODE_KP_1, SDL_SCANCODE_END);
  set(80, SDL_SCANCODE_KP_2, SDL_SCANCODE_DOWN);
  set(81, SDL_SCANCODE_KP_3, SDL_SCANCODE_PAGEDOWN);
  set(82, SDL_SCANCODE_KP_0, SDL_SCANCODE_INSERT);
  set(83, SDL_SCANCODE_KP_PERIOD, SDL_SCANCODE_DELETE);
  set(84, SDL_SCANCODE_SYSREQ);
  set(86, SDL_SCANCODE_NONUSBACKSLASH);
  set(87, SDL_SCANCODE_F11);
  set(88, SDL_SCANCODE_F12);
  set(91, SDL_SCANCODE_UNKNOWN, SDL_SCANCODE_LGUI);
  set(92, SDL_SCANCODE_UNKNOWN, SDL_SCANCODE_RGUI);
  set(93, SDL_SCANCODE_UNKNOWN, SDL_SCANCODE_APPLICATION);
  set(94, SDL_SCANCODE_UNKNOWN, SDL_SCANCODE_POWER);
  set(95, SDL_SCANCODE_UNKNOWN, SDL_SCANCODE_SLEEP);
  set(100, SDL_SCANCODE_F13);
  set(101, SDL_SCANCODE_F14);
  set(102, SDL_SCANCODE_F15);
  set(112, SDL_SCANCODE_INTERNATIONAL2);
  set(115, SDL_SCANCODE_INTERNATIONAL1);
  set(121, SDL_SCANCODE_INTERNATIONAL4);
  set(123, SDL_SCANCODE_INTERNATIONAL5);
  set(125, SDL_SCANCODE_INTERNATIONAL3);
  return t;
}

constexpr LayoutRow LAYOUT_ROWS[] = {
    {1, SDLK_ESCAPE, SDLK_UNKNOWN},
    {2, SDLK_1, SDLK_UNKNOWN},
    {3, SDLK_2, SDLK_UNKNOWN},
    {4, SDLK_3, SDLK_UNKNOWN},
    {5, SDLK_4, SDLK_UNKNOWN},
    {6, SDLK_5, SDLK_UNKNOWN},
    {7, SDLK_6, SDLK_UNKNOWN},
    {8, SDLK_7, SDLK_UNKNOWN},
    {9, SDLK_8, SDLK_UNKNOWN},
    {10, SDLK_9, SDLK_UNKNOWN},
    {11, SDLK_0, SDLK_UNKNOWN},
    {12, SDLK_MINUS, SDLK_KP_MINUS},
    {13, SDLK_EQUALS, SDLK_UNKNOWN},
    {14, SDLK_BACKSPACE, SDLK_UNKNOWN},
    {15, SDLK_TAB, SDLK_UNKNOWN},
    {16, SDLK_q, SDLK_UNKNOWN},
    {17, SDLK_w, SDLK_UNKNOWN},
    {18, SDLK_e, SDLK_UNKNOWN},
    {19, SDLK_r, SDLK_UNKNOWN},
    {20, SDLK_t, SDLK_UNKNOWN},
    {21, SDLK_y, SDLK_UNKNOWN},
    {22, SDLK_u, SDLK_UNKNOWN},
    {23, SDLK_i, SDLK_UNKNOWN},
    {24, SDLK_o, SDLK_UNKNOWN},
    {25, SDLK_p, SDLK_UNKNOWN},
    {26, SDLK_LEFTBRACKET, SDLK_UNKNOWN},
    {27, SDLK_RIGHTBRACKET, SDLK_UNKNOWN},
    {28, SDLK_RETURN, SDLK_KP_ENTER},
    {29, SDLK_LCTRL, SDLK_RCTRL},
    {30, SDLK_a, SDLK_UNKNOWN},
    {31, SDLK_s, SDLK_UNKNOWN},
    {32, SDLK_d, SDLK_UNKNOWN},
    {33, SDLK_f, SDLK_UNKNOWN},
    {34, SDLK_g, SDLK_UNKNOWN},
    {35, SDLK_h, SDLK_UNKNOWN},
    {36, SDLK_j, SDLK_UNKNOWN},
    {37, SDLK_k, SDLK_UNKNOWN},
    {38, SDLK_l, SDLK_UNKNOWN},
    {39, SDLK_SEMICOLON, SDLK_UNKNOWN},
    {40, SDLK_QUOTE, SDLK_UNKNOWN},
    {41, SDLK_BACKQUOTE, SDLK_UNKNOWN},
    {42, SDLK_LSHIFT, SDLK_RSHIFT},
    {43, SDLK_BACKSLASH, SDLK_UNKNOWN},
    {44, SDLK_z, SDLK_UNKNOWN},
    {45, SDLK_x, SDLK_UNKNOWN},
    {46, SDLK_c, SDLK_UNKNOWN},
    {47, SDLK_v, SDLK_UNKNOWN},
    {48, SDLK_b, SDLK_UNKNOWN},
    {49, SDLK_n, SDLK_UNKNOWN},
    {50, SDLK_m, SDLK_UNKNOWN},
    {51, SDLK_COMMA, SDLK_UNKNOWN},
    {52, SDLK_PERIOD, SDLK_UNKNOWN},
    {53, SDLK_SLASH, SDLK_KP_DIVIDE},
    {54, SDLK_LSHIFT, SDLK_RSHIFT},
    {55, SDLK_KP_MULTIPLY, SDLK_UNKNOWN},
    {56, SDLK_LALT, SDLK_RALT},
    {57, SDLK_SPACE, SDLK_UNKNOWN},
    {58, SDLK_CAPSLOCK, SDLK_UNKNOWN},
    {59, SDLK_F1, SDLK_UNKNOWN},
    {60, SDLK_F2, SDLK_UNKNOWN},
    {61, SDLK_F3, SDLK_UNKNOWN},
    {62, SDLK_F4, SDLK_UNKNOWN},
    {63, SDLK_F5, SDLK_UNKNOWN},
    {64, SDLK_F6, SDLK_UNKNOWN},
    {65, SDLK_F7, SDLK_UNKNOWN},
    {66, SDLK_F8, SDLK_UNKNOWN},
    {67, SDLK_F9, SDLK_UNKNOWN},
    {68, SDLK_F10, SDLK_UNKNOWN},
    {69, SDLK_NUMLOCKCLEAR, SDLK_UNKNOWN},
    {70, SDLK_SCROLLLOCK, SDLK_UNKNOWN},
    {71, SDLK_HOME, SDLK_KP_7},
    {72, SDLK_UP, SDLK_KP_8},
    {73, SDLK_PAGEUP, SDLK_KP_9},
    {75, SDLK_LEFT, SDLK_KP_4},
    {77, SDLK_RIGHT, SDLK_KP_6},
    {78, SDLK_KP_PLUS, SDLK_UNKNOWN},
    {79, SDLK_END, SDLK_KP_1},
    {80, SDLK_DOWN, SDLK_KP_2},
    {81, SDLK_PAGEDOWN, SDLK_KP_3},
    {82, SDLK_INSERT, SDLK_KP_0},
    {83, SDLK_DELETE, SDLK_KP_PERIOD},
    {87, SDLK_F11, SDLK_UNKNOWN},
    {88, SDLK_F12, SDLK_UNKNOWN},
    {125, SDLK_LGUI, SDLK_UNKNOWN},
    {126, SDLK_RGUI, SDLK_UNKNOWN},
    {127, SDLK_APPLICATION, SDLK_UNKNOWN},
};

}  // namespace

const std::array<PositionRow, 128> SCANCODES_BY_POSITION = make_position_table();

std::span<const LayoutRow> scancode_table() {
  return LAYOUT_ROWS;
}

void sample_by_position(std::span<const std::uint8_t> keyboard,
                        std::array<std::uint8_t, 128>& key_state) {
  const auto down = [&](SDL_Scancode code) {
    return code != SDL_SCANCODE_UNKNOWN && static_cast<std::size_t>(code) < keyboard.size() &&
           keyboard[code] != 0;
  };
  for (std::size_t i = 0; i < key_state.size(); ++i) {
    const PositionRow& row = SCANCODES_BY_POSITION[i];
    key_state[i] = down(row.plain) || down(row.extended);
  }
}

void sample_by_layout(std::span<const std::uint8_t> keyboard, SDL_Keycode (*key_of)(SDL_Scancode),
                      std::array<std::uint8_t, 128>& key_state) {
  key_state.fill(0);
  for (std::size_t code = 1; code < keyboard.size(); ++code) {
    if (keyboard[code] == 0) continue;
    const SDL_Keycode key = key_of(static_cast<SDL_Scancode>(code));
    if (key == SDLK_UNKNOWN) continue;
    for (const LayoutRow& row : LAYOUT_ROWS) {
      if (row.first == key || row.second == key) key_state[row.scancode] = 1;
    }
  }
}

}  // namespace window
