// The process around the game: start-up, exit actions and the program's end.
#pragma once

#include <functional>

namespace game {

// Sets rounding to nearest with exceptions masked, makes sure the terminal's
// interrupt keys work, and puts the display facility on this platform.
// program_name is the name the program was started by; nothing else of the
// command line is read.
void start_program(const char* program_name);

// Adds an action that end_program runs; the last added runs first.
void at_program_end(std::function<void()> action);

// Runs the exit actions in reverse order of registration and removes them.
void run_exit_actions();

// Runs the exit actions, flushes the standard streams and ends the process.
[[noreturn]] void end_program(int code);

}  // namespace game
