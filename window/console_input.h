// Key presses read from the terminal while no screen is open: what the
// console form of a wait checks for.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace window {

// The key codes in bytes read from a terminal: the escape sequences of the
// cursor block and the function keys become special-key codes (cursor up is
// 0x48FF), every other byte is a character.
std::vector<std::uint32_t> decode_console_input(std::string_view bytes);

// Takes in all waiting terminal input into the console key queue, then reads
// and clears the console key-press flag. The first call switches a terminal
// on standard input to unbuffered, unechoed input (Ctrl+C still interrupts)
// and makes a hang-up or termination signal count as the close request; exit
// actions undo both. Redirected standard input is never read.
bool console_key_check();

}  // namespace window
