#include "window/console.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "window/code_page_437.h"

namespace {

// Every byte value once, in order.
std::string all_bytes(int first, int last) {
  std::string bytes;
  for (int b = first; b <= last; ++b) bytes += static_cast<char>(b);
  return bytes;
}

// Decodes one UTF-8 character that must fill the whole of bytes; returns its
// code point, or -1 when the bytes are not exactly one well-formed character.
long decode_one(std::string_view bytes) {
  if (bytes.empty()) return -1;
  const auto lead = static_cast<unsigned char>(bytes[0]);
  std::size_t length = 0;
  long code_point = 0;
  long smallest = 0;
  if (lead < 0x80) {
    length = 1, code_point = lead, smallest = 0;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, code_point = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code_point = lead & 0x0F, smallest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code_point = lead & 0x07, smallest = 0x10000;
  } else {
    return -1;
  }
  if (bytes.size() != length) return -1;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(bytes[i]);
    if ((next & 0xC0) != 0x80) return -1;
    code_point = (code_point << 6) | (next & 0x3F);
  }
  const bool surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
  if (code_point < smallest || surrogate || code_point > 0x10FFFF) return -1;
  return code_point;
}

// Points standard output at a temporary file or a pipe for its lifetime.
// Check results only after it is gone: test failures print to standard output.
class StdoutRedirect {
 public:
  explicit StdoutRedirect(int target) : saved_(dup(STDOUT_FILENO)) {
    std::fflush(stdout);
    dup2(target, STDOUT_FILENO);
  }
  ~StdoutRedirect() {
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
  }
  StdoutRedirect(const StdoutRedirect&) = delete;
  StdoutRedirect& operator=(const StdoutRedirect&) = delete;

 private:
  int saved_;
};

std::string read_all(int fd) {
  std::string bytes;
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  return bytes;
}

// What the console operation writes to standard output when that is a file.
template <typename Operation>
std::string written_into_file(Operation operation) {
  char name[] = "/tmp/paddleball_console_XXXXXX";
  const int fd = mkstemp(name);
  if (fd < 0) {
    ADD_FAILURE() << "no temporary file";
    return {};
  }
  unlink(name);
  {
    StdoutRedirect redirect(fd);
    operation();
  }
  lseek(fd, 0, SEEK_SET);
  std::string bytes = read_all(fd);
  close(fd);
  return bytes;
}

TEST(CodePage437, BytesBelow128PassUnchanged) {
  const std::string lower = all_bytes(0, 127);
  EXPECT_EQ(window::code_page_437_to_utf8(lower), lower);
}

TEST(CodePage437, UpperHalfBecomesTheDosCharacters) {
  struct Case {
    unsigned char byte;
    std::string_view utf8;
    const char* name;
  };
  const Case cases[] = {
      {0x80, "\xC3\x87", "C cedilla"},        {0x9B, "\xC2\xA2", "cent sign"},
      {0xB0, "\xE2\x96\x91", "light shade"},  {0xC9, "\xE2\x95\x94", "double down and right"},
      {0xDB, "\xE2\x96\x88", "full block"},   {0xE1, "\xC3\x9F", "sharp s"},
      {0xFE, "\xE2\x96\xA0", "black square"}, {0xFF, "\xC2\xA0", "no-break space"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(window::code_page_437_to_utf8(std::string(1, static_cast<char>(c.byte))), c.utf8)
        << "byte " << int(c.byte) << ", " << c.name;
  }
  EXPECT_EQ(window::code_page_437_to_utf8("a\x80z\xFF"), "a\xC3\x87z\xC2\xA0") << "order kept";
}

TEST(CodePage437, EachUpperHalfByteIsOneDistinctCharacter) {
  std::set<long> code_points;
  for (int byte = 128; byte <= 255; ++byte) {
    const std::string utf8 = window::code_page_437_to_utf8(std::string(1, static_cast<char>(byte)));
    const long code_point = decode_one(utf8);
    EXPECT_GE(code_point, 0x80) << "byte " << byte << " gives no single non-ASCII character";
    code_points.insert(code_point);
  }
  EXPECT_EQ(code_points.size(), 128u);
}

TEST(ConsoleOutput, WriteIntoAFileKeepsTheBytes) {
  const std::string bytes = all_bytes(0, 255) + "YOU LOST, SUCKER!!!!!!!!!!\r\n";
  EXPECT_EQ(written_into_file([&] { window::console_write(bytes); }), bytes);
}

TEST(ConsoleOutput, WriteIntoAPipeKeepsTheBytes) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  const std::string bytes = all_bytes(0, 255) + "\r\n";
  {
    StdoutRedirect redirect(ends[1]);
    window::console_write(bytes);
  }
  close(ends[1]);
  EXPECT_EQ(read_all(ends[0]), bytes);
  close(ends[0]);
}

TEST(ConsoleOutput, ClearWritesNothingWhenNotATerminal) {
  EXPECT_EQ(written_into_file([] { window::console_clear(); }), "");
}

}  // namespace
