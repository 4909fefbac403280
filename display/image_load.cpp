#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "display/image.h"
#include "display/lock_scope.h"
#include "display/palette.h"

namespace display {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

constexpr std::size_t BITMAP_HEADER_BYTES = 54;
constexpr std::uint32_t BITMAP_INFO_HEADER_BYTES = 40;
constexpr std::uint32_t COMPRESSION_BIT_FIELDS = 3;
constexpr std::uint32_t RED_MASK_24_BIT = 0x00FF0000;
constexpr int MAX_WIDTH = 8191;  // what the record header's 13 width bits hold
constexpr int MAX_HEIGHT = 65535;

std::uint32_t u32_at(const std::uint8_t* bytes) {
  return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24);
}
std::uint16_t u16_at(const std::uint8_t* bytes) {
  return bytes[0] | (bytes[1] << 8);
}

bool read_exactly(std::FILE* file, void* into, std::size_t count) {
  return std::fread(into, 1, count, file) == count;
}

struct BitmapHeader {
  std::int32_t width;
  std::int32_t height;
  int bits;
  std::uint32_t compression;
  std::uint32_t colour_count;
};

// Reads the 54-byte header and checks what the record and the palette can hold.
// Returns RESULT_DONE when the bitmap may be loaded.
int read_bitmap_header(std::FILE* file, BitmapHeader& header) {
  std::uint8_t bytes[BITMAP_HEADER_BYTES];
  std::rewind(file);
  if (!read_exactly(file, bytes, sizeof bytes)) return RESULT_BAD_FILE;
  if (bytes[0] != 'B' || bytes[1] != 'M' || u32_at(bytes + 14) != BITMAP_INFO_HEADER_BYTES) {
    return RESULT_BAD_FILE;
  }
  const std::uint32_t pixel_offset = u32_at(bytes + 10);
  header.width = static_cast<std::int32_t>(u32_at(bytes + 18));
  header.height = static_cast<std::int32_t>(u32_at(bytes + 22));
  header.bits = u16_at(bytes + 28);
  header.compression = u32_at(bytes + 30);
  if (header.bits == 15 || header.bits == 16) return RESULT_CANNOT;

  // Top-down rows, and sizes the record header cannot hold, are refused.
  if (header.width < 0 || header.height < 0 || header.width > MAX_WIDTH ||
      header.height > MAX_HEIGHT) {
    return RESULT_BAD_FILE;
  }
  if (header.bits < 8 && header.bits != 1 && header.bits != 4) return RESULT_CANNOT;
  // At most 256 colour-table entries fit the palette.
  if (pixel_offset < BITMAP_HEADER_BYTES || pixel_offset - BITMAP_HEADER_BYTES > 4 * 256 + 3) {
    return RESULT_BAD_FILE;
  }
  header.colour_count = (pixel_offset - BITMAP_HEADER_BYTES) / 4;
  return RESULT_DONE;
}

// Reads one file row of a 1- or 4-bit bitmap into pixels; false when the file
// ends while a pixel byte is due.
bool read_packed_row(std::FILE* file, int bits, std::uint8_t* pixels, int width) {
  const int per_byte = 8 / bits;
  unsigned current = 0;
  for (int column = 0; column < width; ++column) {
    if (column % per_byte == 0) {
      const int byte = std::fgetc(file);
      if (byte == EOF) return false;
      current = static_cast<unsigned>(byte);
    }
    pixels[column] = static_cast<std::uint8_t>(current >> (8 - bits));
    current = (current << bits) & 0xFF;
  }
  const int row_bytes = (width * bits + 7) / 8;
  for (int pad = (4 - row_bytes % 4) % 4; pad > 0; --pad) std::fgetc(file);  // end of file is fine
  return true;
}

int load_bitmap(std::FILE* file, std::span<std::uint8_t> destination) {
  ScreenRecord* screen = open_screen_record();
  if (screen == nullptr) return RESULT_CANNOT;
  BitmapHeader header{};
  if (const int refused = read_bitmap_header(file, header); refused != RESULT_DONE) return refused;

  const bool pixels_follow = header.compression != COMPRESSION_BIT_FIELDS && header.bits <= 8;
  const std::size_t pixel_bytes = static_cast<std::size_t>(header.width) * header.height;
  const std::size_t record_bytes = IMAGE_HEADER_BYTES + (pixels_follow ? pixel_bytes : 0);
  if (record_bytes > destination.size()) return RESULT_CANNOT;  // nothing is written

  // Entries the file does not hold keep the colours they have.
  Palette colours = screen->palette;
  for (std::uint32_t k = 0; k < header.colour_count; ++k) {
    std::uint8_t entry[4];
    if (!read_exactly(file, entry, sizeof entry)) break;
    colours[k] = pack_colour(entry[2], entry[1], entry[0]);
  }

  write_image_header(destination, header.width, header.height);
  if (header.compression == COMPRESSION_BIT_FIELDS) {
    std::uint8_t masks[12];
    if (!read_exactly(file, masks, sizeof masks) || u32_at(masks) != RED_MASK_24_BIT) {
      return RESULT_BAD_FILE;
    }
    return RESULT_CANNOT;
  }
  if (header.bits > 8) return RESULT_CANNOT;

  LockScope lock(*screen);
  std::copy_n(colours.begin(), header.colour_count, screen->palette.begin());
  hand_over_palette(*screen);

  int result = RESULT_DONE;
  const std::size_t width = static_cast<std::size_t>(header.width);
  std::vector<std::uint8_t> row((width + 3) & ~std::size_t{3});
  for (int record_row = header.height - 1; record_row >= 0; --record_row) {
    const bool read = header.bits == 8
                          ? read_exactly(file, row.data(), row.size())
                          : read_packed_row(file, header.bits, row.data(), header.width);
    if (!read) {
      result = RESULT_BAD_FILE;
      break;
    }
    // copy_n, not memcpy: a bitmap 0 pixels wide has an empty row whose data() may be null.
    std::copy_n(row.data(), width, destination.data() + IMAGE_HEADER_BYTES + record_row * width);
  }
  if (screen->work_is_visible()) mark_all_rows(*screen);
  return result;
}

int load_dump(std::FILE* file, int kind, std::span<std::uint8_t> destination) {
  std::uint8_t header[6];
  std::uint32_t length = 0;
  if (kind == 0xFE) {
    if (!read_exactly(file, header, 4)) return RESULT_BAD_FILE;
    length = u32_at(header);
  } else {
    if (!read_exactly(file, header, 6)) return RESULT_BAD_FILE;
    length = u16_at(header + 4);
  }
  if (length > destination.size()) return RESULT_CANNOT;  // nothing is written
  const std::size_t got = std::fread(destination.data(), 1, length, file);
  // A dump that ends early keeps the bytes that were there.
  return got < length && std::ferror(file) ? RESULT_BAD_FILE : RESULT_DONE;
}

}  // namespace

int load_image(const char* file_name, std::span<std::uint8_t> destination) {
  const File file(std::fopen(file_name, "rb"));
  if (!file) return RESULT_CANNOT_OPEN;
  const int first = std::fgetc(file.get());
  if (first == 0x42) return load_bitmap(file.get(), destination);
  if (first == 0xFE || first == 0xFD) return load_dump(file.get(), first, destination);
  return RESULT_BAD_FILE;
}

}  // namespace display
