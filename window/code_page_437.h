// Code page 437, the character set of the text font and of the key queue.
#pragma once

#include <string>
#include <string_view>

namespace window {

// The bytes with every character above 127 written as UTF-8; bytes below 128
// pass unchanged.
std::string code_page_437_to_utf8(std::string_view bytes);

}  // namespace window
