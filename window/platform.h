// Puts the window side behind the display facility: the back-end choice, the
// console forms and the terminal, for a program about to open its screen.
#pragma once

#include <functional>

namespace window {

// at_program_end registers an exit action of the program.
void install_display_platform(std::function<void(std::function<void()>)> at_program_end);

// When standard input is a terminal, makes sure Ctrl+C and Ctrl+\ raise their
// signals; changes nothing else.
void enable_terminal_interrupts();

}  // namespace window
