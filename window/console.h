// The console forms of clearing, printing and the bell, in
// force while no screen is open. The console is the terminal on standard
// input and output.
#pragma once

#include <string_view>

namespace window {

// Clears the terminal and homes its cursor; nothing when standard output is
// not a terminal.
void console_clear();

// Writes bytes to standard output: code page 437 characters become UTF-8 on a
// terminal and pass unchanged into a file or a pipe.
void console_write(std::string_view bytes);

// The terminal's bell where standard output is a terminal, and 250 ms either way.
void console_bell();

}  // namespace window
