#include "bench/floors.h"

#include <cstring>

namespace bench {

void copy_floor(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes) {
  std::memcpy(to, from, bytes);
}

void xor_floor(std::uint8_t* __restrict page, int page_pitch,
               const std::uint8_t* __restrict picture, int picture_pitch, int rows, int count) {
  for (int y = 0; y < rows; ++y) {
    std::uint8_t* __restrict target = page + static_cast<std::size_t>(y) * page_pitch;
    const std::uint8_t* __restrict source = picture + static_cast<std::size_t>(y) * picture_pitch;
    for (int i = 0; i < count; ++i) target[i] ^= source[i];
  }
}

void and_floor(std::uint8_t* __restrict page, int page_pitch,
               const std::uint8_t* __restrict picture, int picture_pitch, int rows, int count) {
  for (int y = 0; y < rows; ++y) {
    std::uint8_t* __restrict target = page + static_cast<std::size_t>(y) * page_pitch;
    const std::uint8_t* __restrict source = picture + static_cast<std::size_t>(y) * picture_pitch;
    for (int i = 0; i < count; ++i) target[i] &= source[i];
  }
}

}  // namespace bench
