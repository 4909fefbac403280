// Clearing the screen and printing text in the 8 by 16 font. With no screen
// open, both act on the console instead.
#pragma once

#include <string_view>

namespace display {

constexpr int TEXT_COLUMNS = 100;

// Sets the whole work page to colour index 0 and homes the text cursor.
void clear_screen();

// Outputs the bytes at the text cursor, then "\r\n" when line_break is set.
// Bell, backspace, tab, line feed and carriage return act as controls; every
// other byte draws its glyph.
void print_text(std::string_view text, bool line_break);

}  // namespace display
