// The floors the hot paths are measured against: plain loops and library
// copies over the same bytes, with nothing of the facility around them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bench {

void copy_floor(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes);

// rows by count bytes of picture (row length picture_pitch) into page rows
// (page_pitch), by XOR or AND.
void xor_floor(std::uint8_t* page, int page_pitch, const std::uint8_t* picture, int picture_pitch,
               int rows, int count);
void and_floor(std::uint8_t* page, int page_pitch, const std::uint8_t* picture, int picture_pitch,
               int rows, int count);

}  // namespace bench
