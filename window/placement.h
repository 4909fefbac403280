// Where the window goes and what it is called.
#pragma once

#include <string>
#include <string_view>

namespace window {

// The left (or top) of an outer window of outer_size centred on a desktop:
// the halving rounds toward minus infinity, so a window larger than the
// desktop gets a negative position.
int centred_position(int desktop_origin, int desktop_size, int outer_size);

// A program file's name as a window title: what follows the last slash or
// backslash, cut before its last dot, at most 127 characters.
std::string title_from_path(std::string_view path);

// The title for this run, from the running program's file (or the name it
// was started by, when that file cannot be read), fixed the first time it is
// asked for.
const std::string& program_title();

// Keeps the name the program was started by, as the start-up received it.
void remember_program_name(const char* argv0);

}  // namespace window
