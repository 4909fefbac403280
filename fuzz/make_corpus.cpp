// Writes the picture fuzzer's seed inputs into a folder: valid 1-, 4- and 8-bit
// bitmaps with odd widths, the game's own picture sizes, raw dumps of both
// kinds, bitmaps cut short in each region, and headers that claim too much.
// Usage: make_corpus FOLDER
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/picture_input.h"
#include "tools/bmp_file.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

tools::Bitmap bitmap(int width, int height, std::uint16_t bits, int colours) {
  tools::Bitmap b;
  b.width = width;
  b.height = height;
  b.bits = bits;
  for (int i = 0; i < colours; ++i) {
    const auto c = static_cast<std::uint8_t>(i * 37);
    b.colours.push_back({c, static_cast<std::uint8_t>(255 - c), static_cast<std::uint8_t>(i)});
  }
  const int values = 1 << bits;
  for (int i = 0; i < width * height; ++i) {
    b.pixels.push_back(static_cast<std::uint8_t>((i * 5 + i / width) % values));
  }
  return b;
}

Bytes control(int buffer, std::int32_t x_quarters, std::int32_t y_quarters,
              std::uint8_t flags = 0) {
  Bytes bytes(fuzz::CONTROL_BYTES, 0);
  bytes[0] = static_cast<std::uint8_t>((buffer & fuzz::BUFFER_BITS) | flags);
  bytes[1] = 0xCC;
  for (int i = 0; i < 4; ++i) {
    bytes[2 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(x_quarters) >> (8 * i));
    bytes[6 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(y_quarters) >> (8 * i));
  }
  return bytes;
}

Bytes cut(Bytes bytes, std::size_t length) {
  bytes.resize(std::min(length, bytes.size()));
  return bytes;
}

Bytes with_u32(Bytes bytes, std::size_t at, std::uint32_t value) {
  tools::put_u32(bytes, at, value);
  return bytes;
}

Bytes with_u16(Bytes bytes, std::size_t at, std::uint16_t value) {
  tools::put_u16(bytes, at, value);
  return bytes;
}

Bytes dump_fe(const Bytes& record) {
  Bytes bytes = {0xFE};
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(record.size() >> (8 * i)));
  bytes.insert(bytes.end(), record.begin(), record.end());
  return bytes;
}

Bytes dump_fd(const Bytes& record) {
  Bytes bytes = {0xFD, 0, 0, 0, 0};
  bytes.push_back(static_cast<std::uint8_t>(record.size() & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>((record.size() >> 8) & 0xFF));
  bytes.insert(bytes.end(), record.begin(), record.end());
  return bytes;
}

Bytes record(int width, int height) {
  Bytes bytes = {static_cast<std::uint8_t>((width * 8) & 0xFF),
                 static_cast<std::uint8_t>((width * 8) >> 8), static_cast<std::uint8_t>(height),
                 static_cast<std::uint8_t>(height >> 8)};
  for (int i = 0; i < width * height; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 3));
  return bytes;
}

int written = 0;
bool write_seed(const std::string& folder, const Bytes& head, const Bytes& file) {
  Bytes input = head;
  input.insert(input.end(), file.begin(), file.end());
  char name[32];
  std::snprintf(name, sizeof name, "/seed-%03d", written++);
  return tools::write_file(folder + name, input);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_corpus FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  bool ok = true;
  const auto seed = [&](const Bytes& head, const Bytes& file) {
    ok = write_seed(folder, head, file) && ok;
  };

  // Valid bitmaps with odd widths, drawn inside, across an edge and outside.
  const struct {
    int width, height;
    std::uint16_t bits;
    int colours;
  } valid[] = {{1, 1, 1, 2},     {3, 2, 1, 2},   {9, 5, 1, 2}, {33, 3, 1, 2},
               {1, 3, 4, 16},    {5, 4, 4, 16},  {7, 7, 4, 3}, {3, 2, 8, 2},
               {13, 11, 8, 256}, {31, 97, 8, 0}, {0, 5, 8, 1}, {5, 0, 4, 1}};
  int n = 0;
  for (const auto& v : valid) {
    const Bytes file = tools::encode_bmp(bitmap(v.width, v.height, v.bits, v.colours));
    seed(control(n % 4, 400 * 4, 300 * 4, static_cast<std::uint8_t>(n % 2 ? fuzz::SECOND_DRAW : 0)),
         file);
    seed(control(n % 4, -2 * 4 - 2, 598 * 4 + 1, fuzz::AND_FIRST | fuzz::WORK_HIDDEN), file);
    seed(control(n % 4, 799 * 4, -1, fuzz::SECOND_DRAW), file);
    ++n;
  }
  // The game's picture sizes: a paddle that fills its buffer, one pixel too many, a ball.
  const Bytes paddle = tools::encode_bmp(bitmap(11, 2739, 8, 256));  // 4 + 30129 bytes
  seed(control(0, 50 * 4, 300 * 4), paddle);
  seed(control(1, 50 * 4, 300 * 4), paddle);
  seed(control(0, 0, 0), tools::encode_bmp(bitmap(139, 216, 8, 16)));  // 30028 + 4
  seed(control(1, 0, 0), tools::encode_bmp(bitmap(41, 78, 8, 16)));    // 3198 + 4
  seed(control(2, 0, 0), tools::encode_bmp(bitmap(3211, 1, 8, 16)));   // exactly full
  seed(control(2, 0, 0), tools::encode_bmp(bitmap(3212, 1, 8, 16)));   // one over
  // Raw dumps of both kinds: fitting, exactly full, too long, ending early.
  seed(control(1, 100, 100), dump_fe(record(7, 5)));
  seed(control(1, 100, 100), dump_fd(record(9, 3)));
  seed(control(2, 0, 0), dump_fe(record(3211, 1)));
  seed(control(2, 0, 0), dump_fd(record(3212, 1)));
  seed(control(3, 0, 0), cut(dump_fe(record(21, 21)), 200));
  seed(control(3, 0, 0), cut(dump_fd(record(21, 21)), 3));
  seed(control(0, 0, 0), with_u32(dump_fe(record(2, 2)), 1, 0xFFFFFFFF));
  Bytes lying = record(2, 2);
  lying[0] = 0xF8;  // claims 31 columns of a 2 by 2 record
  lying[1] = 0x00;
  seed(control(1, 0, 0), dump_fe(lying));
  lying[0] = 0x12;  // a pixel-size code of 2
  seed(control(1, 0, 0), dump_fd(lying));
  // Bitmaps cut short in the header, the colour table and the rows.
  const Bytes base = tools::encode_bmp(bitmap(5, 4, 8, 4));
  for (const std::size_t length : {1, 2, 14, 30, 53, 54, 58, 70, 73, 80, 90}) {
    seed(control(1, 10 * 4, 10 * 4), cut(base, length));
  }
  const Bytes packed = tools::encode_bmp(bitmap(9, 3, 1, 2));
  for (const std::size_t length : {55, 62, 63, 64, 66, 70})
    seed(control(1, 0, 0), cut(packed, length));
  // Headers that claim too much or what is not read.
  seed(control(1, 0, 0), with_u32(base, tools::BMP_WIDTH_AT, 8192));
  seed(control(1, 0, 0), with_u32(base, tools::BMP_WIDTH_AT, 0x80000001));
  seed(control(1, 0, 0), with_u32(base, tools::BMP_HEIGHT_AT, 0xFFFFFFFF));
  seed(control(0, 0, 0),
       with_u32(with_u32(base, tools::BMP_WIDTH_AT, 8191), tools::BMP_HEIGHT_AT, 65535));
  seed(control(1, 0, 0), with_u32(base, tools::BMP_PIXEL_OFFSET_AT, 54 + 1028));
  seed(control(1, 0, 0), with_u32(base, tools::BMP_PIXEL_OFFSET_AT, 53));
  seed(control(1, 0, 0), with_u32(base, tools::BMP_PIXEL_OFFSET_AT, 54 + 1027));
  seed(control(1, 0, 0), with_u32(base, tools::BMP_INFO_SIZE_AT, 108));
  for (const std::uint16_t bits : {0, 2, 15, 16, 24, 32}) {
    seed(control(1, 0, 0), with_u16(base, tools::BMP_BITS_AT, bits));
  }
  Bytes fields = with_u32(with_u16(base, tools::BMP_BITS_AT, 32), tools::BMP_COMPRESSION_AT, 3);
  seed(control(1, 0, 0), fields);
  seed(control(1, 0, 0), with_u32(fields, 54 + 16, 0x00FF0000));
  // Positions no pixel can hold.
  seed(control(1, 0x7FC00000, 0, fuzz::RAW_FLOATS), base);
  seed(control(1, 0x4F000000, 0x3EFFFFFF, fuzz::RAW_FLOATS), base);
  if (!ok) {
    std::fprintf(stderr, "make_corpus: cannot write into %s\n", folder.c_str());
    return 1;
  }
  std::printf("%d seeds in %s\n", written, folder.c_str());
  return 0;
}
