#include "tools/bmp_file.h"

#include <fstream>

namespace tools {

void put_u32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void put_u16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = value & 0xFF;
  bytes[at + 1] = value >> 8;
}

std::vector<std::uint8_t> encode_bmp(const Bitmap& bitmap) {
  const std::size_t row_bytes = (static_cast<std::size_t>(bitmap.width) * bitmap.bits + 7) / 8;
  const std::size_t padded_row_bytes = (row_bytes + 3) & ~std::size_t{3};
  const std::size_t pixel_offset = BMP_HEADER_BYTES + 4 * bitmap.colours.size();
  std::vector<std::uint8_t> bytes(pixel_offset + padded_row_bytes * bitmap.height);

  bytes[0] = 'B';
  bytes[1] = 'M';
  put_u32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
  put_u32(bytes, BMP_PIXEL_OFFSET_AT, static_cast<std::uint32_t>(pixel_offset));
  put_u32(bytes, BMP_INFO_SIZE_AT, 40);
  put_u32(bytes, BMP_WIDTH_AT, static_cast<std::uint32_t>(bitmap.width));
  put_u32(bytes, BMP_HEIGHT_AT, static_cast<std::uint32_t>(bitmap.height));
  put_u16(bytes, 26, 1);  // planes
  put_u16(bytes, BMP_BITS_AT, bitmap.bits);
  put_u32(bytes, 46, static_cast<std::uint32_t>(bitmap.colours.size()));  // colours used

  std::size_t at = BMP_HEADER_BYTES;
  for (const auto& [red, green, blue] : bitmap.colours) {
    bytes[at++] = blue;
    bytes[at++] = green;
    bytes[at++] = red;
    bytes[at++] = 0;
  }
  for (std::int32_t row = bitmap.height - 1; row >= 0; --row) {
    std::uint8_t* out = bytes.data() + at;
    for (std::int32_t column = 0; column < bitmap.width; ++column) {
      const std::uint8_t index =
          bitmap.pixels[static_cast<std::size_t>(row) * bitmap.width + column];
      const std::size_t bit = static_cast<std::size_t>(column) * bitmap.bits;
      out[bit / 8] |= static_cast<std::uint8_t>(index << (8 - bitmap.bits - bit % 8));
    }
    at += padded_row_bytes;
  }
  return bytes;
}

bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

}  // namespace tools
