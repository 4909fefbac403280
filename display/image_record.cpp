#include "display/image.h"

namespace display {

ImageHeader read_image_header(std::span<const std::uint8_t> record) {
  const unsigned word0 = record[0] | (record[1] << 8);
  const unsigned word1 = record[2] | (record[3] << 8);
  return {static_cast<int>(word0 >> 3), static_cast<int>(word1), static_cast<int>(word0 & 7)};
}

void write_image_header(std::span<std::uint8_t> record, int width, int height) {
  const unsigned word0 = (static_cast<unsigned>(width) * 8) & 0xFFFF;
  const unsigned word1 = static_cast<unsigned>(height) & 0xFFFF;
  record[0] = word0 & 0xFF;
  record[1] = word0 >> 8;
  record[2] = word1 & 0xFF;
  record[3] = word1 >> 8;
}

}  // namespace display
