// What key presses and text put into the key queue: the PC BIOS extended codes
// of the special keys with each modifier, control characters, and text turned
// into code page 437 bytes.
#include "window/key_codes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

using window::key_press_code;
using window::text_to_code_page_437;

// --- Special keys ---

// A key's BIOS extended codes: alone, with Shift, with Ctrl, with Alt.
struct BiosCodes {
  const char* name;
  SDL_Keycode key;
  std::uint8_t plain;
  std::uint8_t shift;
  std::uint8_t ctrl;
  std::uint8_t alt;
};

constexpr std::uint32_t special(std::uint8_t extended_code) {
  return (std::uint32_t{extended_code} << 8) | 0xFFu;
}

TEST(KeyPressCode, SpecialKeysGiveTheirBiosCodeForEachModifier) {
  const BiosCodes cases[] = {
      {"F1", SDLK_F1, 0x3B, 0x54, 0x5E, 0x68},
      {"F2", SDLK_F2, 0x3C, 0x55, 0x5F, 0x69},
      {"F4", SDLK_F4, 0x3E, 0x57, 0x61, 0x6B},
      {"F6", SDLK_F6, 0x40, 0x59, 0x63, 0x6D},
      {"F10", SDLK_F10, 0x44, 0x5D, 0x67, 0x71},
      {"F11", SDLK_F11, 0x85, 0x87, 0x89, 0x8B},
      {"F12", SDLK_F12, 0x86, 0x88, 0x8A, 0x8C},
      {"Home", SDLK_HOME, 0x47, 0x47, 0x77, 0x97},
      {"Up", SDLK_UP, 0x48, 0x48, 0x8D, 0x98},
      {"PageUp", SDLK_PAGEUP, 0x49, 0x49, 0x84, 0x99},
      {"Left", SDLK_LEFT, 0x4B, 0x4B, 0x73, 0x9B},
      {"Right", SDLK_RIGHT, 0x4D, 0x4D, 0x74, 0x9D},
      {"End", SDLK_END, 0x4F, 0x4F, 0x75, 0x9F},
      {"Down", SDLK_DOWN, 0x50, 0x50, 0x91, 0xA0},
      {"PageDown", SDLK_PAGEDOWN, 0x51, 0x51, 0x76, 0xA1},
      {"Insert", SDLK_INSERT, 0x52, 0x52, 0x92, 0xA2},
      {"Delete", SDLK_DELETE, 0x53, 0x53, 0x93, 0xA3},
  };
  for (const BiosCodes& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(key_press_code(c.key, KMOD_NONE), special(c.plain));
    EXPECT_EQ(key_press_code(c.key, KMOD_NUM), special(c.plain)) << "Num Lock changes nothing";
    EXPECT_EQ(key_press_code(c.key, KMOD_LSHIFT), special(c.shift));
    EXPECT_EQ(key_press_code(c.key, KMOD_RSHIFT), special(c.shift));
    EXPECT_EQ(key_press_code(c.key, KMOD_LCTRL), special(c.ctrl));
    EXPECT_EQ(key_press_code(c.key, KMOD_RCTRL), special(c.ctrl));
    EXPECT_EQ(key_press_code(c.key, KMOD_LALT), special(c.alt));
    EXPECT_EQ(key_press_code(c.key, KMOD_RALT), special(c.alt));
  }
}

TEST(KeyPressCode, AltF4IsTheCloseRequest) {
  EXPECT_EQ(key_press_code(SDLK_F4, KMOD_LALT), std::optional<std::uint32_t>{27647});
}

// With Num Lock off the keypad is the cursor block, with its modifiers too.
TEST(KeyPressCode, KeypadFollowsNumLock) {
  struct Case {
    SDL_Keycode keypad;
    SDL_Keycode cursor;
  };
  const Case cases[] = {{SDLK_KP_7, SDLK_HOME},   {SDLK_KP_8, SDLK_UP},
                        {SDLK_KP_9, SDLK_PAGEUP}, {SDLK_KP_4, SDLK_LEFT},
                        {SDLK_KP_6, SDLK_RIGHT},  {SDLK_KP_1, SDLK_END},
                        {SDLK_KP_2, SDLK_DOWN},   {SDLK_KP_3, SDLK_PAGEDOWN},
                        {SDLK_KP_0, SDLK_INSERT}, {SDLK_KP_PERIOD, SDLK_DELETE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(SDL_Keycode{c.keypad});
    ASSERT_TRUE(key_press_code(c.cursor, KMOD_NONE).has_value());
    EXPECT_EQ(key_press_code(c.keypad, KMOD_NONE), key_press_code(c.cursor, KMOD_NONE));
    EXPECT_EQ(key_press_code(c.keypad, KMOD_LCTRL), key_press_code(c.cursor, KMOD_LCTRL));
    EXPECT_EQ(key_press_code(c.keypad, KMOD_NUM), std::nullopt) << "its digit comes as text";
    EXPECT_EQ(key_press_code(c.keypad, KMOD_NUM | KMOD_LSHIFT), std::nullopt);
  }
  EXPECT_EQ(key_press_code(SDLK_KP_8, KMOD_NONE), special(0x48));
  EXPECT_EQ(key_press_code(SDLK_KP_2, KMOD_NONE), special(0x50));
  EXPECT_EQ(key_press_code(SDLK_KP_5, KMOD_NONE), std::nullopt);
  EXPECT_EQ(key_press_code(SDLK_KP_5, KMOD_NUM), std::nullopt);
}

// --- Control characters and keys that give nothing ---

TEST(KeyPressCode, ControlKeysGiveTheirControlCharacter) {
  struct Case {
    SDL_Keycode key;
    std::uint16_t modifiers;
    std::uint32_t code;
  };
  const Case cases[] = {
      {SDLK_RETURN, KMOD_NONE, 13},   {SDLK_KP_ENTER, KMOD_NUM, 13},
      {SDLK_BACKSPACE, KMOD_NONE, 8}, {SDLK_TAB, KMOD_NONE, 9},
      {SDLK_ESCAPE, KMOD_NONE, 27},   {SDLK_TAB, KMOD_LSHIFT, 9},
      {SDLK_a, KMOD_LCTRL, 1},        {SDLK_c, KMOD_RCTRL, 3},
      {SDLK_z, KMOD_LCTRL, 26},       {SDLK_h, KMOD_LCTRL | KMOD_LSHIFT, 8},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(key_press_code(c.key, c.modifiers), std::optional<std::uint32_t>{c.code})
        << "key " << c.key << " modifiers " << c.modifiers;
  }
}

TEST(KeyPressCode, CharacterAndModifierKeysGiveNothing) {
  struct Case {
    SDL_Keycode key;
    std::uint16_t modifiers;
  };
  const Case cases[] = {
      {SDLK_a, KMOD_NONE},
      {SDLK_a, KMOD_LSHIFT},
      {SDLK_a, KMOD_LALT},
      {SDLK_a, KMOD_LCTRL | KMOD_LALT},  // AltGr: the character comes as text
      {SDLK_1, KMOD_NONE},
      {SDLK_SPACE, KMOD_NONE},
      {SDLK_MINUS, KMOD_NONE},
      {SDLK_LSHIFT, KMOD_LSHIFT},
      {SDLK_RSHIFT, KMOD_RSHIFT},
      {SDLK_LCTRL, KMOD_LCTRL},
      {SDLK_RCTRL, KMOD_RCTRL},
      {SDLK_LALT, KMOD_LALT},
      {SDLK_RALT, KMOD_RALT},
      {SDLK_CAPSLOCK, KMOD_CAPS},
      {SDLK_NUMLOCKCLEAR, KMOD_NUM},
      {SDLK_SCROLLLOCK, KMOD_NONE},
      {SDLK_LGUI, KMOD_LGUI},
      {SDLK_RGUI, KMOD_RGUI},
      {SDLK_APPLICATION, KMOD_NONE},
      {SDLK_UNKNOWN, KMOD_NONE},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(key_press_code(c.key, c.modifiers), std::nullopt)
        << "key " << c.key << " modifiers " << c.modifiers;
  }
}

// --- Text ---

// The UTF-8 form of one code point.
std::string utf8(char32_t code_point) {
  std::string out;
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
  return out;
}

TEST(TextToCodePage437, AsciiPassesUnchanged) {
  EXPECT_EQ(text_to_code_page_437("Hello, World! ~0129"), "Hello, World! ~0129");
  EXPECT_EQ(text_to_code_page_437(""), "");
}

TEST(TextToCodePage437, CharactersOfTheUpperHalfBecomeTheirByte) {
  struct Case {
    char32_t code_point;
    unsigned char byte;
  };
  const Case cases[] = {
      {U'Ç', 0x80}, {U'ü', 0x81}, {U'é', 0x82}, {U'â', 0x83},      {U'ä', 0x84}, {U'à', 0x85},
      {U'Ä', 0x8E}, {U'É', 0x90}, {U'æ', 0x91}, {U'Æ', 0x92},      {U'ö', 0x94}, {U'Ö', 0x99},
      {U'Ü', 0x9A}, {U'¢', 0x9B}, {U'£', 0x9C}, {U'¥', 0x9D},      {U'ƒ', 0x9F}, {U'á', 0xA0},
      {U'ñ', 0xA4}, {U'Ñ', 0xA5}, {U'¿', 0xA8}, {U'¬', 0xAA},      {U'½', 0xAB}, {U'¡', 0xAD},
      {U'«', 0xAE}, {U'»', 0xAF}, {U'░', 0xB0}, {U'│', 0xB3},      {U'┐', 0xBF}, {U'└', 0xC0},
      {U'─', 0xC4}, {U'┼', 0xC5}, {U'═', 0xCD}, {U'╬', 0xCE},      {U'█', 0xDB}, {U'α', 0xE0},
      {U'ß', 0xE1}, {U'Γ', 0xE2}, {U'π', 0xE3}, {U'Σ', 0xE4},      {U'µ', 0xE6}, {U'Ω', 0xEA},
      {U'∞', 0xEC}, {U'≡', 0xF0}, {U'±', 0xF1}, {U'÷', 0xF6},      {U'°', 0xF8}, {U'·', 0xFA},
      {U'√', 0xFB}, {U'²', 0xFD}, {U'■', 0xFE}, {U'\u00A0', 0xFF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text_to_code_page_437(utf8(c.code_point).c_str()),
              std::string(1, static_cast<char>(c.byte)))
        << "U+" << std::hex << static_cast<std::uint32_t>(c.code_point);
  }
}

TEST(TextToCodePage437, CharactersItLacksAreDropped) {
  const char32_t missing[] = {U'€', U'©', U'ő', U'Ж', U'™', U'\U0001F600'};
  for (const char32_t code_point : missing) {
    EXPECT_EQ(text_to_code_page_437(utf8(code_point).c_str()), "")
        << "U+" << std::hex << static_cast<std::uint32_t>(code_point);
    EXPECT_EQ(text_to_code_page_437(("a" + utf8(code_point) + "b").c_str()), "ab");
  }
}

TEST(TextToCodePage437, SeveralCharactersKeepTheirOrder) {
  const std::string text = "x" + utf8(U'é') + utf8(U'€') + "1" + utf8(U'ü') + utf8(U'─');
  EXPECT_EQ(text_to_code_page_437(text.c_str()),
            "x\x82"
            "1\x81\xC4");
}

TEST(TextToCodePage437, MalformedBytesAreDroppedAndTheRestKept) {
  struct Case {
    const char* utf8;
    const char* bytes;
  };
  const Case cases[] = {
      {"\x80"
       "a",
       "a"},  // a continuation byte alone
      {"\xC3"
       "a",
       "a"},               // a lead byte without its continuation
      {"a\xE2\x82", "a"},  // cut short at the end
      {"\xFF"
       "b",
       "b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text_to_code_page_437(c.utf8), c.bytes)
        << ::testing::PrintToString(std::string(c.utf8));
  }
}

}  // namespace
