// libFuzzer target for the picture path: arbitrary file bytes go through
// load_image into a buffer of one of the game's four capacities, then the
// buffer is drawn with put_image at an arbitrary position, by XOR and AND.
//
// Checks after each input:
// - the guard bytes around the buffer are untouched;
// - the result code and the buffer agree with a byte-level model of the
//   loader (which records are written, which are left alone);
// - put_image's result and the two pages agree with a pixel-by-pixel model of
//   the drawing: nothing outside the clipped picture changes, the page that is
//   not drawn on stays as it was.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "display/image.h"
#include "display/screen.h"
#include "fuzz/picture_input.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t GUARD_BYTES = 64;
constexpr std::uint8_t GUARD = 0xA5;
constexpr int WIDTH = 800;
constexpr int HEIGHT = 600;

[[noreturn]] void fault(const char* what) {
  std::fprintf(stderr, "picture fuzzer: %s\n", what);
  std::abort();
}

class NoLink final : public display::DisplayLink {
 public:
  void lock() override {}
  void unlock() override {}
  void set_colour(int, std::uint8_t, std::uint8_t, std::uint8_t) override {}
};

// A memory file the loader opens by name; refilled for each input.
class MemoryFile {
 public:
  MemoryFile() : fd_(memfd_create("picture", 0)) {
    if (fd_ < 0) fault("memfd_create failed");
    name_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  void fill(std::span<const std::uint8_t> bytes) {
    if (ftruncate(fd_, 0) != 0) fault("ftruncate failed");
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t wrote =
          pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
      if (wrote <= 0) fault("pwrite failed");
      done += static_cast<std::size_t>(wrote);
    }
  }
  const char* name() const { return name_.c_str(); }

 private:
  int fd_;
  std::string name_;
};

std::uint32_t u32_at(std::span<const std::uint8_t> b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}
std::uint16_t u16_at(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

struct Loaded {
  int result;
  Bytes buffer;
};

// Reads a file position by position, as stdio does.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> file) : file_(file) {}
  void seek(std::size_t at) { at_ = at; }
  // Like fread: consumes what is there, true when all count bytes were.
  bool read(std::size_t count, const std::uint8_t** start = nullptr) {
    if (start != nullptr) *start = file_.data() + std::min(at_, file_.size());
    const std::size_t left = at_ < file_.size() ? file_.size() - at_ : 0;
    at_ += std::min(count, left);
    return count <= left;
  }
  int byte() {
    if (at_ >= file_.size()) return -1;
    return file_[at_++];
  }

 private:
  std::span<const std::uint8_t> file_;
  std::size_t at_ = 0;
};

void put_header(Bytes& buffer, int width, int height) {
  const unsigned word0 = (static_cast<unsigned>(width) * 8) & 0xFFFF;
  buffer[0] = word0 & 0xFF;
  buffer[1] = static_cast<std::uint8_t>(word0 >> 8);
  buffer[2] = static_cast<std::uint8_t>(height & 0xFF);
  buffer[3] = static_cast<std::uint8_t>((height >> 8) & 0xFF);
}

// What load_image must do with file into a buffer holding before.
Loaded model_bitmap(std::span<const std::uint8_t> file, Bytes buffer) {
  using display::RESULT_BAD_FILE;
  using display::RESULT_CANNOT;
  using display::RESULT_DONE;
  if (file.size() < 54 || file[1] != 'M' || u32_at(file, 14) != 40)
    return {RESULT_BAD_FILE, buffer};
  const std::uint32_t pixel_offset = u32_at(file, 10);
  const auto width = static_cast<std::int32_t>(u32_at(file, 18));
  const auto height = static_cast<std::int32_t>(u32_at(file, 22));
  const int bits = u16_at(file, 28);
  const std::uint32_t compression = u32_at(file, 30);
  if (bits == 15 || bits == 16) return {RESULT_CANNOT, buffer};
  if (width < 0 || height < 0 || width > 8191 || height > 65535) return {RESULT_BAD_FILE, buffer};
  if (bits < 8 && bits != 1 && bits != 4) return {RESULT_CANNOT, buffer};
  if (pixel_offset < 54 || pixel_offset - 54 > 1027) return {RESULT_BAD_FILE, buffer};
  const std::uint32_t colours = (pixel_offset - 54) / 4;
  const bool pixels_follow = compression != 3 && bits <= 8;
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (4 + (pixels_follow ? pixels : 0) > buffer.size()) return {RESULT_CANNOT, buffer};

  Reader reader(file);
  reader.seek(54);
  for (std::uint32_t k = 0; k < colours; ++k) {
    if (!reader.read(4)) break;
  }
  put_header(buffer, width, height);
  if (compression == 3) {
    const std::uint8_t* masks = nullptr;
    if (!reader.read(12, &masks)) return {RESULT_BAD_FILE, buffer};
    const std::uint32_t red =
        masks[0] | (masks[1] << 8) | (masks[2] << 16) | (std::uint32_t{masks[3]} << 24);
    return {red == 0x00FF0000 ? RESULT_CANNOT : RESULT_BAD_FILE, buffer};
  }
  if (bits > 8) return {RESULT_CANNOT, buffer};

  const auto w = static_cast<std::size_t>(width);
  Bytes row(w);
  for (std::int32_t record_row = height - 1; record_row >= 0; --record_row) {
    if (bits == 8) {
      const std::uint8_t* start = nullptr;
      if (!reader.read((w + 3) & ~std::size_t{3}, &start)) return {RESULT_BAD_FILE, buffer};
      std::copy_n(start, w, row.begin());
    } else {
      const std::size_t row_bytes = (w * bits + 7) / 8;
      for (std::size_t i = 0; i < row_bytes; ++i) {
        const int byte = reader.byte();
        if (byte < 0) return {RESULT_BAD_FILE, buffer};
        const std::size_t per_byte = 8 / bits;
        for (std::size_t j = 0; j < per_byte && i * per_byte + j < w; ++j) {
          const int shift = 8 - bits * static_cast<int>(j + 1);
          row[i * per_byte + j] = static_cast<std::uint8_t>((byte >> shift) & ((1 << bits) - 1));
        }
      }
      for (std::size_t pad = (4 - row_bytes % 4) % 4; pad > 0; --pad) reader.byte();
    }
    std::copy(row.begin(), row.end(),
              buffer.begin() + 4 + static_cast<std::size_t>(record_row) * w);
  }
  return {RESULT_DONE, buffer};
}

Loaded model_load(std::span<const std::uint8_t> file, Bytes buffer) {
  if (file.empty()) return {display::RESULT_BAD_FILE, buffer};
  if (file[0] == 0x42) return model_bitmap(file, std::move(buffer));
  if (file[0] != 0xFE && file[0] != 0xFD) return {display::RESULT_BAD_FILE, buffer};
  const std::size_t header = file[0] == 0xFE ? 4 : 6;
  if (file.size() < 1 + header) return {display::RESULT_BAD_FILE, buffer};
  const std::size_t length = file[0] == 0xFE ? u32_at(file, 1) : u16_at(file, 5);
  if (length > buffer.size()) return {display::RESULT_CANNOT, buffer};
  const std::size_t got = std::min(length, file.size() - 1 - header);
  std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(1 + header), got, buffer.begin());
  return {display::RESULT_DONE, buffer};
}

std::optional<int> pixel_position(float value) {
  const double rounded = std::round(static_cast<double>(value));
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return std::nullopt;
  return static_cast<int>(rounded);
}

// What put_image must do to page (the work page) and its result.
int model_draw(float x, float y, std::span<const std::uint8_t> image, int mode, Bytes& page) {
  const display::ImageHeader header = display::read_image_header(image);
  if (header.pixel_size_code > 1) return display::RESULT_CANNOT;
  if (header.width == 0 || header.height == 0) return display::RESULT_DONE;
  const std::size_t pixels = static_cast<std::size_t>(header.width) * header.height;
  if (image.size() - 4 < pixels) return display::RESULT_CANNOT;
  const auto px = pixel_position(x);
  const auto py = pixel_position(y);
  if (!px || !py) return display::RESULT_DONE;
  for (int row = 0; row < header.height; ++row) {
    const std::int64_t screen_y = std::int64_t{*py} + row;
    if (screen_y < 0 || screen_y >= HEIGHT) continue;
    for (int column = 0; column < header.width; ++column) {
      const std::int64_t screen_x = std::int64_t{*px} + column;
      if (screen_x < 0 || screen_x >= WIDTH) continue;
      std::uint8_t& target = page[static_cast<std::size_t>(screen_y * WIDTH + screen_x)];
      const std::uint8_t source = image[4 + static_cast<std::size_t>(row) * header.width + column];
      target = mode == display::RASTER_XOR ? target ^ source : target & source;
    }
  }
  return display::RESULT_DONE;
}

Bytes pattern(std::uint8_t seed) {
  Bytes page(static_cast<std::size_t>(WIDTH) * HEIGHT);
  for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i * 7 + seed);
  return page;
}

struct Fixture {
  Fixture() {
    display::DisplayPlatform platform;
    platform.start_display = [](const display::DisplayRequest&, display::ScreenRecord&) {
      return std::make_unique<NoLink>();
    };
    display::set_display_platform(std::move(platform));
    if (display::open_screen(display::SCREEN_MODE_800X600, 8, 2, 0, 0) != 0) {
      fault("open_screen failed");
    }
  }
  MemoryFile file;
  // What the work page and the other page hold before each draw.
  const Bytes work_before = pattern(0);
  const Bytes other_before = pattern(101);
  Bytes work = work_before;
};

float coordinate(const std::uint8_t* bytes, bool raw) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, bytes, sizeof bits);
  if (raw) {
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  return static_cast<float>(static_cast<std::int32_t>(bits)) / 4.0f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Fixture fixture;
  if (size < fuzz::CONTROL_BYTES) return 0;
  const std::uint8_t control = data[0];
  const std::uint8_t fill = data[1];
  const float x = coordinate(data + 2, (control & fuzz::RAW_FLOATS) != 0);
  const float y = coordinate(data + 6, (control & fuzz::RAW_FLOATS) != 0);
  const std::span<const std::uint8_t> file(data + fuzz::CONTROL_BYTES, size - fuzz::CONTROL_BYTES);
  const std::size_t capacity = fuzz::CAPACITIES[control & fuzz::BUFFER_BITS];

  // The buffer sits between guard bytes in one allocation of its exact size.
  Bytes storage(GUARD_BYTES + capacity + GUARD_BYTES, GUARD);
  const std::span<std::uint8_t> buffer(storage.data() + GUARD_BYTES, capacity);
  std::fill(buffer.begin(), buffer.end(), fill);
  fixture.file.fill(file);

  const Loaded expected = model_load(file, Bytes(buffer.begin(), buffer.end()));
  const int loaded = display::load_image(fixture.file.name(), buffer);
  for (std::size_t i = 0; i < GUARD_BYTES; ++i) {
    if (storage[i] != GUARD || storage[GUARD_BYTES + capacity + i] != GUARD) {
      fault("load_image wrote outside its buffer");
    }
  }
  if (loaded != expected.result) fault("load_image's result differs from the model");
  if (std::memcmp(buffer.data(), expected.buffer.data(), capacity) != 0) {
    fault("load_image's buffer differs from the model");
  }

  display::ScreenRecord& screen = *display::open_screen_record();
  const bool hidden = (control & fuzz::WORK_HIDDEN) != 0;
  display::set_pages(hidden ? 1 : 0, 0);
  Bytes& work = fixture.work;
  std::memcpy(work.data(), fixture.work_before.data(), work.size());
  std::memcpy(screen.page(hidden ? 1 : 0), work.data(), work.size());
  std::memcpy(screen.page(hidden ? 0 : 1), fixture.other_before.data(), work.size());

  const int first = (control & fuzz::AND_FIRST) != 0 ? display::RASTER_AND : display::RASTER_XOR;
  const int second = first == display::RASTER_AND ? display::RASTER_XOR : display::RASTER_AND;
  const std::span<const std::uint8_t> image(buffer.data(), buffer.size());
  for (const int mode : {first, second}) {
    if (mode == second && (control & fuzz::SECOND_DRAW) == 0) break;
    const int want = model_draw(x, y, image, mode, work);
    if (display::put_image(x, y, image, mode) != want) fault("put_image's result differs");
  }
  if (std::memcmp(work.data(), screen.page(hidden ? 1 : 0), work.size()) != 0) {
    fault("put_image's work page differs from the model");
  }
  if (std::memcmp(fixture.other_before.data(), screen.page(hidden ? 0 : 1), work.size()) != 0) {
    fault("put_image changed the page it does not draw on");
  }
  for (std::size_t i = 0; i < GUARD_BYTES; ++i) {
    if (storage[i] != GUARD || storage[GUARD_BYTES + capacity + i] != GUARD) {
      fault("put_image wrote outside its buffer");
    }
  }
  return 0;
}
