// Pictures in memory and how they are loaded and drawn.
//
// An ImageRecord is caller-owned memory: a 4-byte header of two little-endian
// 16-bit words (width * 8 plus a bytes-per-pixel code, then height), followed by
// one palette index per pixel, top row first, rows packed without gaps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace display {

// Results of load_image and put_image.
constexpr int RESULT_DONE = 0;
constexpr int RESULT_CANNOT = 1;       // no screen, a depth that cannot be shown, or no room
constexpr int RESULT_CANNOT_OPEN = 2;  // the file cannot be opened
constexpr int RESULT_BAD_FILE = 3;     // not a kind that is read, refused header, short read

// Raster operations of put_image.
constexpr int RASTER_AND = 3;
constexpr int RASTER_XOR = 5;

constexpr std::size_t IMAGE_HEADER_BYTES = 4;

struct ImageHeader {
  int width = 0;
  int height = 0;
  int pixel_size_code = 0;
};

ImageHeader read_image_header(std::span<const std::uint8_t> record);
void write_image_header(std::span<std::uint8_t> record, int width, int height);

// Loads a BMP bitmap (1, 4 or 8 bits per pixel) or a raw dump into
// destination, never writing past its end. A bitmap's colour table replaces the
// leading entries of the screen palette.
int load_image(const char* file_name, std::span<std::uint8_t> destination);

// Combines the whole record into the work page at (x, y), clipped to the page,
// by XOR (5) or AND (3). Never reads past the record's span.
int put_image(float x, float y, std::span<const std::uint8_t> image, int mode);

// A coordinate as put_image places it: rounded half away from zero.
// Returns false for a value no whole pixel position can hold.
bool to_pixel_position(float value, int& position);

}  // namespace display
