#include "window/key_codes.h"

#include "display/key_queue.h"
#include "window/code_page_437.h"

namespace window {

namespace {

// BIOS extended codes of one key: plain (or with Shift), with Ctrl, with Alt.
struct ExtendedCodes {
  SDL_Keycode key;
  std::uint8_t plain;
  std::uint8_t shift;
  std::uint8_t ctrl;
  std::uint8_t alt;
};

constexpr ExtendedCodes SPECIAL_KEYS[] = {
    {SDLK_F1, 0x3B, 0x54, 0x5E, 0x68},     {SDLK_F2, 0x3C, 0x55, 0x5F, 0x69},
    {SDLK_F3, 0x3D, 0x56, 0x60, 0x6A},     {SDLK_F4, 0x3E, 0x57, 0x61, 0x6B},
    {SDLK_F5, 0x3F, 0x58, 0x62, 0x6C},     {SDLK_F6, 0x40, 0x59, 0x63, 0x6D},
    {SDLK_F7, 0x41, 0x5A, 0x64, 0x6E},     {SDLK_F8, 0x42, 0x5B, 0x65, 0x6F},
    {SDLK_F9, 0x43, 0x5C, 0x66, 0x70},     {SDLK_F10, 0x44, 0x5D, 0x67, 0x71},
    {SDLK_F11, 0x85, 0x87, 0x89, 0x8B},    {SDLK_F12, 0x86, 0x88, 0x8A, 0x8C},
    {SDLK_HOME, 0x47, 0x47, 0x77, 0x97},   {SDLK_UP, 0x48, 0x48, 0x8D, 0x98},
    {SDLK_PAGEUP, 0x49, 0x49, 0x84, 0x99}, {SDLK_LEFT, 0x4B, 0x4B, 0x73, 0x9B},
    {SDLK_RIGHT, 0x4D, 0x4D, 0x74, 0x9D},  {SDLK_END, 0x4F, 0x4F, 0x75, 0x9F},
    {SDLK_DOWN, 0x50, 0x50, 0x91, 0xA0},   {SDLK_PAGEDOWN, 0x51, 0x51, 0x76, 0xA1},
    {SDLK_INSERT, 0x52, 0x52, 0x92, 0xA2}, {SDLK_DELETE, 0x53, 0x53, 0x93, 0xA3},
};

// With Num Lock off the keypad's digits and point act as the cursor block.
SDL_Keycode keypad_as_cursor_key(SDL_Keycode key) {
  switch (key) {
    case SDLK_KP_7:
      return SDLK_HOME;
    case SDLK_KP_8:
      return SDLK_UP;
    case SDLK_KP_9:
      return SDLK_PAGEUP;
    case SDLK_KP_4:
      return SDLK_LEFT;
    case SDLK_KP_6:
      return SDLK_RIGHT;
    case SDLK_KP_1:
      return SDLK_END;
    case SDLK_KP_2:
      return SDLK_DOWN;
    case SDLK_KP_3:
      return SDLK_PAGEDOWN;
    case SDLK_KP_0:
      return SDLK_INSERT;
    case SDLK_KP_PERIOD:
      return SDLK_DELETE;
    default:
      return key;
  }
}

std::optional<std::uint32_t> control_character(SDL_Keycode key, std::uint16_t modifiers) {
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return 13;
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_ESCAPE:
      return 27;
    default:
      break;
  }
  if ((modifiers & KMOD_CTRL) && !(modifiers & KMOD_ALT) && key >= SDLK_a && key <= SDLK_z) {
    return static_cast<std::uint32_t>(key - SDLK_a + 1);
  }
  return std::nullopt;
}

// Decodes one UTF-8 character at text[i], advancing i; U+FFFD for a bad byte.
char32_t next_code_point(const unsigned char* text, std::size_t& i) {
  const unsigned char lead = text[i++];
  int extra = 0;
  char32_t code = 0;
  if (lead < 0x80) return lead;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    code = lead & 0x07;
  } else {
    return 0xFFFD;
  }
  for (; extra > 0; --extra) {
    if ((text[i] & 0xC0) != 0x80) return 0xFFFD;  // stops at the terminating zero too
    code = (code << 6) | (text[i++] & 0x3F);
  }
  return code;
}

}  // namespace

std::optional<std::uint32_t> key_press_code(SDL_Keycode key, std::uint16_t modifiers) {
  if (!(modifiers & KMOD_NUM)) key = keypad_as_cursor_key(key);
  for (const ExtendedCodes& codes : SPECIAL_KEYS) {
    if (codes.key != key) continue;
    if (modifiers & KMOD_ALT) return display::special_key_code(codes.alt);
    if (modifiers & KMOD_CTRL) return display::special_key_code(codes.ctrl);
    if (modifiers & KMOD_SHIFT) return display::special_key_code(codes.shift);
    return display::special_key_code(codes.plain);
  }
  return control_character(key, modifiers);
}

std::string text_to_code_page_437(const char* utf8) {
  const auto* text = reinterpret_cast<const unsigned char*>(utf8);
  std::string bytes;
  for (std::size_t i = 0; text[i] != 0;) {
    if (const auto byte = unicode_to_code_page_437(next_code_point(text, i))) bytes += char(*byte);
  }
  return bytes;
}

}  // namespace window
