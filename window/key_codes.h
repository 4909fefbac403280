// What a key press puts into the key queue. Special keys give the PC BIOS
// extended key code shifted left by 8 with 255 in the low byte (cursor up is
// 0x48FF, Alt+F4 is the close request 0x6BFF); keys that stand for a control
// character give it; characters come from text input, as code page 437 bytes.
#pragma once

#include <SDL2/SDL_keycode.h>

#include <cstdint>
#include <optional>
#include <string>

namespace window {

// The code a key press yields by itself, or nothing (modifier keys alone,
// and character keys, whose character comes with the text that follows).
std::optional<std::uint32_t> key_press_code(SDL_Keycode key, std::uint16_t modifiers);

// The characters of a text-input event as code page 437 bytes; characters
// that code page 437 does not have are dropped.
std::string text_to_code_page_437(const char* utf8);

}  // namespace window
