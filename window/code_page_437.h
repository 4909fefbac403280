// Code page 437, the character set of the text font and of the key queue.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace window {

// The bytes with every character above 127 written as UTF-8; bytes below 128
// pass unchanged.
std::string code_page_437_to_utf8(std::string_view bytes);

// The code page 437 byte of a Unicode character, if it has one. Characters
// below 128 are their own byte.
std::optional<unsigned char> unicode_to_code_page_437(char32_t code_point);

}  // namespace window
