// The input of the picture fuzzer: a 12-byte control block, then the bytes of
// the picture file. The seed generator writes inputs in this form too.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz {

// The game's four picture buffers: paddle, ball, ball eraser, paddle eraser.
constexpr std::size_t CAPACITIES[4] = {30143, 3215, 3215, 30143};

constexpr std::size_t CONTROL_BYTES = 12;

// Control byte 0.
constexpr std::uint8_t BUFFER_BITS = 0x03;  // which of the four capacities
constexpr std::uint8_t AND_FIRST = 0x04;    // AND then XOR, else XOR then AND
constexpr std::uint8_t WORK_HIDDEN = 0x08;  // draw into page 1 while page 0 shows
constexpr std::uint8_t RAW_FLOATS = 0x10;   // x and y are float bit patterns
constexpr std::uint8_t SECOND_DRAW = 0x20;  // draw a second time with the other operation
// Byte 1: what the buffer holds before the load.
// Bytes 2-5 and 6-9: x and y, either float bits or a little-endian int32 of
// quarter pixels. Bytes 10-11 are not read yet.

}  // namespace fuzz
