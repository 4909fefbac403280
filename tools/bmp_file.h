// Writes BMP bitmaps of 1, 4 or 8 bits per pixel: the picture generator uses it
// for the game's pictures, the tests for their fixtures.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct Bitmap {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bits = 8;
  // Colour-table entries as red, green, blue.
  std::vector<std::array<std::uint8_t, 3>> colours;
  // One palette index per pixel, top row first, width * height of them.
  std::vector<std::uint8_t> pixels;
};

// The whole file: 14-byte file header, 40-byte info header, the colour table,
// then the rows bottom row first, each padded to a multiple of 4 bytes.
std::vector<std::uint8_t> encode_bmp(const Bitmap& bitmap);

// Byte offsets of the fields that tests change after encoding.
constexpr std::size_t BMP_PIXEL_OFFSET_AT = 10;
constexpr std::size_t BMP_INFO_SIZE_AT = 14;
constexpr std::size_t BMP_WIDTH_AT = 18;
constexpr std::size_t BMP_HEIGHT_AT = 22;
constexpr std::size_t BMP_BITS_AT = 28;
constexpr std::size_t BMP_COMPRESSION_AT = 30;
constexpr std::size_t BMP_HEADER_BYTES = 54;

void put_u32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value);
void put_u16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value);

bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace tools
