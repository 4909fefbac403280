// How keys on the keyboard map to the scancodes that key_down takes: the make
// codes of the PC keyboard's scan-code set 1, 0 to 127.
#pragma once

#include <SDL2/SDL_keycode.h>
#include <SDL2/SDL_scancode.h>

#include <array>
#include <cstdint>
#include <span>

namespace window {

// By physical position: set-1 code i is held while its plain key or the key
// it names under the E0 prefix is down (cursor up and keypad 8 both give 72).
struct PositionRow {
  SDL_Scancode plain;
  SDL_Scancode extended;
};
extern const std::array<PositionRow, 128> SCANCODES_BY_POSITION;

// By layout: the 86 codes the scancode table knows, each held while a key
// whose current keycode is one of the row's keys is down.
struct LayoutRow {
  int scancode;
  SDL_Keycode first;
  SDL_Keycode second;  // SDLK_UNKNOWN when the row has one key
};
std::span<const LayoutRow> scancode_table();

// Samples the keyboard state (indexed by SDL scancode) into the key-state table.
void sample_by_position(std::span<const std::uint8_t> keyboard,
                        std::array<std::uint8_t, 128>& key_state);
void sample_by_layout(std::span<const std::uint8_t> keyboard, SDL_Keycode (*key_of)(SDL_Scancode),
                      std::array<std::uint8_t, 128>& key_state);

}  // namespace window
