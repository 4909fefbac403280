// xprobe: looks at a window of a running X server for the end-to-end tests.
// It reads pixels as the window shows them (through the window's colormap),
// waits for pictures and pixels, and watches a window go away.
//
//   xprobe snap WINDOW OUT.ppm
//       Writes the window's whole drawing area as a binary PPM. Parts of the
//       window beyond the edge of the X screen cannot be read: they come out
//       magenta, and wait-picture does not compare them.
//   xprobe wait-picture WINDOW EXPECTED.ppm TIMEOUT_MS [LAST.ppm]
//       Polls until the drawing area equals EXPECTED pixel for pixel (it
//       watches the first 16 rows and compares the whole area once they match).
//       Prints "shown NS" (exit 0), "gone NS" when the window stopped being
//       viewable first (exit 3; NS is the time of the last look at it while it
//       did not match), or "timeout" (exit 1). LAST.ppm receives the last
//       whole picture seen (one is kept at least every 200 ms).
//   xprobe wait-pixel WINDOW X Y RRGGBB TIMEOUT_MS
//       Polls until the pixel has the colour: "shown NS" (0), "gone" (3),
//       "timeout" (1).
//   xprobe wait-gone WINDOW PID TIMEOUT_MS
//       Waits until the window is unmapped or destroyed and prints
//       "gone NS running|ended withdrawn|kept|unseen" (exit 0): whether process
//       PID had not ended yet when that was seen, and whether the window's
//       owner withdrew it itself ("unseen": it was gone already); "timeout"
//       (exit 1).
//   xprobe no-windows PID TIMEOUT_MS
//       For a process PID that stopped itself (SIGSTOP) before it started:
//       watches the screen, lets the process go on (SIGCONT; prints
//       "continued NS"), and prints each window created or mapped until it has
//       ended: exit 0 when there was none, 3 when there were, 1 on timeout.
//   xprobe paddle PICTURE.ppm
//       Finds the paddle's white bar (columns 191 to 202 for the game's paddle
//       column) in a snapshot and prints "TOP BOTTOM" of its rows (exit 0; TOP
//       is negative when the bar is clipped at the top edge), or explains what
//       is wrong with it (exit 1).
//
// WINDOW is a decimal or 0x-prefixed window id; NS is CLOCK_REALTIME in
// nanoseconds, like `date +%s%N`.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int EXIT_MATCHED = 0;
constexpr int EXIT_TIMEOUT = 1;
constexpr int EXIT_USAGE = 2;
constexpr int EXIT_GONE = 3;
constexpr auto POLL_PAUSE = std::chrono::milliseconds(2);

// Where a window reaches past the edge of the X screen its pixels cannot be
// read; they are left in this colour and not compared.
constexpr std::uint8_t UNSEEN[3] = {255, 0, 255};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // 3 bytes a pixel, top row first
  // The part that was read: columns seen_left to seen_right - 1, rows seen_top
  // to seen_bottom - 1 (all of it for a picture read from a file).
  int seen_left = 0, seen_top = 0, seen_right = 0, seen_bottom = 0;

  const std::uint8_t* at(int x, int y) const { return &rgb[(std::size_t(y) * width + x) * 3]; }
  std::uint8_t* at(int x, int y) { return &rgb[(std::size_t(y) * width + x) * 3]; }
};

// True when the part of `seen` that was read equals `expected` there, and the
// two have the same size.
bool matches(const Picture& seen, const Picture& expected) {
  if (seen.width != expected.width || seen.height != expected.height) return false;
  const std::size_t row_bytes = std::size_t(seen.seen_right - seen.seen_left) * 3;
  for (int y = seen.seen_top; y < seen.seen_bottom; ++y) {
    if (std::memcmp(seen.at(seen.seen_left, y), expected.at(seen.seen_left, y), row_bytes) != 0) {
      return false;
    }
  }
  return true;
}

bool x_error = false;

int note_error(Display*, XErrorEvent*) {
  x_error = true;
  return 0;
}

long long now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

Window parse_window(const char* text) {
  return static_cast<Window>(std::strtoul(text, nullptr, 0));
}

bool write_ppm(const std::string& path, const Picture& picture) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << picture.width << " " << picture.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(picture.rgb.data()),
            static_cast<std::streamsize>(picture.rgb.size()));
  return bool(out);
}

std::optional<Picture> read_ppm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maximum = 0;
  in >> magic >> width >> height >> maximum;
  in.get();
  if (!in || magic != "P6" || maximum != 255 || width <= 0 || height <= 0) return std::nullopt;
  Picture picture{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 3), 0, 0,
                  width, height};
  in.read(reinterpret_cast<char*>(picture.rgb.data()),
          static_cast<std::streamsize>(picture.rgb.size()));
  if (!in) return std::nullopt;
  return picture;
}

int lowest_bit(unsigned long mask) {
  int shift = 0;
  while (mask != 0 && !(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

// Reads windows' pixels and turns them into the colours they show.
class Reader {
 public:
  explicit Reader(Display* display) : display_(display) {}

  // The window's drawing area, or its first `rows` rows, or nothing when it is
  // not viewable (any more).
  std::optional<Picture> read(Window window, int rows = 0) {
    x_error = false;
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window, &attributes) || x_error ||
        attributes.map_state != IsViewable) {
      return std::nullopt;
    }
    if (rows > 0 && rows < attributes.height) attributes.height = rows;
    // Only the part of the window that lies on the screen can be read.
    int origin_x = 0, origin_y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, attributes.root, 0, 0, &origin_x, &origin_y, &child);
    const int left = std::max(0, -origin_x);
    const int top = std::max(0, -origin_y);
    const int right = std::min(attributes.width, WidthOfScreen(attributes.screen) - origin_x);
    const int bottom = std::min(attributes.height, HeightOfScreen(attributes.screen) - origin_y);
    if (x_error || right <= left || bottom <= top) return std::nullopt;
    XImage* image = XGetImage(display_, window, left, top, unsigned(right - left),
                              unsigned(bottom - top), AllPlanes, ZPixmap);
    XSync(display_, False);
    if (image == nullptr || x_error) {
      if (image != nullptr) XDestroyImage(image);
      return std::nullopt;
    }
    prepare_colours(attributes);
    Picture picture{attributes.width, attributes.height, {}, left, top, right, bottom};
    picture.rgb.resize(std::size_t(attributes.width) * attributes.height * 3);
    for (std::size_t i = 0; i < picture.rgb.size(); i += 3) {
      std::memcpy(&picture.rgb[i], UNSEEN, 3);
    }
    const bool packed = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
    for (int y = top; y < bottom; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(
          image->data + std::size_t(y - top) * image->bytes_per_line);
      std::uint8_t* out = picture.at(left, y);
      for (int x = left; x < right; ++x) {
        const unsigned long pixel = packed ? row[x - left] : XGetPixel(image, x - left, y - top);
        *out++ = red_[(pixel & red_mask_) >> red_shift_ & 0xFF];
        *out++ = green_[(pixel & green_mask_) >> green_shift_ & 0xFF];
        *out++ = blue_[(pixel & blue_mask_) >> blue_shift_ & 0xFF];
      }
    }
    XDestroyImage(image);
    return picture;
  }

 private:
  // TrueColor shows the bits as they are; DirectColor looks each channel up in
  // the window's colormap.
  void prepare_colours(const XWindowAttributes& attributes) {
    const Visual* visual = attributes.visual;
    red_mask_ = visual->red_mask;
    green_mask_ = visual->green_mask;
    blue_mask_ = visual->blue_mask;
    red_shift_ = lowest_bit(red_mask_);
    green_shift_ = lowest_bit(green_mask_);
    blue_shift_ = lowest_bit(blue_mask_);
    for (int i = 0; i < 256; ++i) red_[i] = green_[i] = blue_[i] = static_cast<std::uint8_t>(i);
    if (visual->c_class != DirectColor) return;
    std::array<XColor, 256> cells{};
    for (int i = 0; i < 256; ++i) {
      cells[i].pixel = (static_cast<unsigned long>(i) << red_shift_ & red_mask_) |
                       (static_cast<unsigned long>(i) << green_shift_ & green_mask_) |
                       (static_cast<unsigned long>(i) << blue_shift_ & blue_mask_);
    }
    x_error = false;
    XQueryColors(display_, attributes.colormap, cells.data(), 256);
    XSync(display_, False);
    if (x_error) return;
    for (int i = 0; i < 256; ++i) {
      red_[i] = static_cast<std::uint8_t>(cells[i].red >> 8);
      green_[i] = static_cast<std::uint8_t>(cells[i].green >> 8);
      blue_[i] = static_cast<std::uint8_t>(cells[i].blue >> 8);
    }
  }

  Display* display_;
  unsigned long red_mask_ = 0, green_mask_ = 0, blue_mask_ = 0;
  int red_shift_ = 0, green_shift_ = 0, blue_shift_ = 0;
  std::array<std::uint8_t, 256> red_{}, green_{}, blue_{};
};

bool process_running(long pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return false;
  const std::size_t paren = line.rfind(')');
  if (paren == std::string::npos || paren + 2 >= line.size()) return false;
  const char state = line[paren + 2];
  return state != 'Z' && state != 'X' && state != 'x';
}

int snap(Display* display, Window window, const std::string& path) {
  Reader reader(display);
  const auto picture = reader.read(window);
  if (!picture) {
    std::printf("gone\n");
    return EXIT_GONE;
  }
  return write_ppm(path, *picture) ? EXIT_MATCHED : EXIT_USAGE;
}

// The first rows of a picture.
Picture top_rows(const Picture& picture, int rows) {
  Picture top{picture.width, rows, {}, 0, 0, picture.width, rows};
  top.rgb.assign(picture.rgb.begin(),
                 picture.rgb.begin() + std::ptrdiff_t(picture.width) * rows * 3);
  return top;
}

// Watches the first rows, which are cheap to read often, and checks the whole
// drawing area once they match.
int wait_picture(Display* display, Window window, const std::string& expected_path, int timeout_ms,
                 const char* last_path) {
  constexpr int WATCHED_ROWS = 16;
  const auto expected = read_ppm(expected_path);
  if (!expected || expected->height < WATCHED_ROWS) {
    std::fprintf(stderr, "xprobe: cannot read %s\n", expected_path.c_str());
    return EXIT_USAGE;
  }
  const Picture expected_top = top_rows(*expected, WATCHED_ROWS);
  Reader reader(display);
  std::optional<Picture> last;
  long long last_look_ns = now_ns();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  constexpr auto KEEP_EVERY = std::chrono::milliseconds(200);
  auto next_keep = std::chrono::steady_clock::now();
  int result = EXIT_TIMEOUT;
  for (;;) {
    const long long look_ns = now_ns();
    auto top = reader.read(window, WATCHED_ROWS);
    const bool top_matches = top && matches(*top, expected_top);
    auto whole = top_matches ? reader.read(window) : std::nullopt;
    if (!top || (top_matches && !whole)) {
      std::printf("gone %lld\n", last_look_ns);
      result = EXIT_GONE;
      break;
    }
    if (whole && matches(*whole, *expected)) {
      std::printf("shown %lld\n", look_ns);
      last = std::move(whole);
      result = EXIT_MATCHED;
      break;
    }
    if (whole) {
      last = std::move(whole);
    } else if (std::chrono::steady_clock::now() > next_keep) {
      // Now and then keep the whole picture, to show what was there instead.
      if (auto kept = reader.read(window)) last = std::move(kept);
      next_keep = std::chrono::steady_clock::now() + KEEP_EVERY;
    }
    last_look_ns = look_ns;
    if (std::chrono::steady_clock::now() > deadline) {
      std::printf("timeout\n");
      break;
    }
    std::this_thread::sleep_for(POLL_PAUSE);
  }
  if (last_path != nullptr && last) write_ppm(last_path, *last);
  return result;
}

int wait_pixel(Display* display, Window window, int x, int y, unsigned long colour,
               int timeout_ms) {
  Reader reader(display);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  const std::uint8_t want[3] = {std::uint8_t(colour >> 16), std::uint8_t(colour >> 8),
                                std::uint8_t(colour)};
  for (;;) {
    const long long look_ns = now_ns();
    const auto picture = reader.read(window);
    if (!picture) {
      std::printf("gone\n");
      return EXIT_GONE;
    }
    if (x < picture->width && y < picture->height && std::memcmp(picture->at(x, y), want, 3) == 0) {
      std::printf("shown %lld\n", look_ns);
      return EXIT_MATCHED;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      std::printf("timeout\n");
      return EXIT_TIMEOUT;
    }
    std::this_thread::sleep_for(POLL_PAUSE);
  }
}

// Waits until the window is unmapped or destroyed and tells whether process
// PID was still running when that was seen, and whether the window's owner
// withdrew it: the withdrawal of a top-level window sends a synthetic
// UnmapNotify to the root window, which only a client still connected can do.
int wait_gone(Display* display, Window window, long pid, int timeout_ms) {
  constexpr auto SETTLE = std::chrono::milliseconds(300);
  const Window root = DefaultRootWindow(display);
  x_error = false;
  XSelectInput(display, window, StructureNotifyMask);
  XSelectInput(display, root, SubstructureNotifyMask);
  XWindowAttributes attributes{};
  const bool viewable = XGetWindowAttributes(display, window, &attributes) && !x_error &&
                        attributes.map_state == IsViewable;
  XSync(display, False);
  if (!viewable || x_error) {
    const long long gone_ns = now_ns();
    std::printf("gone %lld %s unseen\n", gone_ns, process_running(pid) ? "running" : "ended");
    return EXIT_MATCHED;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  auto settled = deadline;
  long long gone_ns = 0;
  bool running = false, withdrawn = false, destroyed = false;
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      const bool unmapped = event.type == UnmapNotify && event.xunmap.window == window;
      destroyed =
          destroyed || (event.type == DestroyNotify && event.xdestroywindow.window == window);
      if (unmapped && event.xunmap.send_event && event.xunmap.event == root) withdrawn = true;
      if ((unmapped || destroyed) && gone_ns == 0) {
        running = process_running(pid);
        gone_ns = now_ns();
        settled = std::chrono::steady_clock::now() + SETTLE;
      }
    }
    const auto now = std::chrono::steady_clock::now();
    if (gone_ns != 0 && (destroyed || now > settled)) break;
    if (now > deadline) {
      std::printf("timeout\n");
      return EXIT_TIMEOUT;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::min(gone_ns != 0 ? settled : deadline, deadline) - now);
    poll(&connection, 1, static_cast<int>(std::max<long long>(left.count(), 1)));
  }
  std::printf("gone %lld %s %s\n", gone_ns, running ? "running" : "ended",
              withdrawn ? "withdrawn" : "kept");
  return EXIT_MATCHED;
}

char process_state(long pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return 0;
  const std::size_t paren = line.rfind(')');
  return paren == std::string::npos || paren + 2 >= line.size() ? 0 : line[paren + 2];
}

// Lets the stopped process PID go on once windows are being watched (and the
// window manager has made its own), then reports every window created or
// mapped until the process has ended.
int no_windows(Display* display, long pid, int timeout_ms) {
  constexpr auto QUIET = std::chrono::milliseconds(300);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (process_state(pid) != 'T') {
    if (process_state(pid) == 0 || std::chrono::steady_clock::now() > deadline) {
      std::printf("process %ld did not stop to wait\n", pid);
      return EXIT_USAGE;
    }
    std::this_thread::sleep_for(POLL_PAUSE);
  }
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  // While PID is stopped, whatever appears is another client's.
  auto quiet_until = std::chrono::steady_clock::now() + QUIET;
  while (std::chrono::steady_clock::now() < quiet_until) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == CreateNotify || event.type == MapNotify) {
        quiet_until = std::chrono::steady_clock::now() + QUIET;
      }
    }
    if (std::chrono::steady_clock::now() > deadline) {
      std::printf("timeout\n");
      return EXIT_TIMEOUT;
    }
    poll(&connection, 1, 10);
  }
  std::printf("continued %lld\n", now_ns());
  std::fflush(stdout);
  kill(static_cast<pid_t>(pid), SIGCONT);
  int created = 0;
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == CreateNotify) {
        std::printf("created 0x%lx\n", event.xcreatewindow.window);
        ++created;
      } else if (event.type == MapNotify) {
        std::printf("mapped 0x%lx\n", event.xmap.window);
        ++created;
      }
    }
    if (!process_running(pid)) break;
    if (std::chrono::steady_clock::now() > deadline) {
      std::printf("timeout\n");
      return EXIT_TIMEOUT;
    }
    poll(&connection, 1, 10);
  }
  return created == 0 ? EXIT_MATCHED : EXIT_GONE;
}

bool is_white(const std::uint8_t* p) {
  return p[0] == 255 && p[1] == 255 && p[2] == 255;
}
bool is_black(const std::uint8_t* p) {
  return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

// The game's paddle: a 12 pixel wide white bar whose right edge is column 202,
// 196 rows tall, clipped at the top and bottom of the drawing area.
int paddle(const std::string& path) {
  constexpr int RIGHT = 202, WIDTH = 12, HEIGHT = 196;
  const auto picture = read_ppm(path);
  if (!picture || picture->width <= RIGHT + 1) {
    std::printf("cannot read %s\n", path.c_str());
    return EXIT_USAGE;
  }
  int top = -1, bottom = -1;
  for (int y = 0; y < picture->height; ++y) {
    if (!is_white(picture->at(RIGHT, y))) continue;
    if (top < 0) top = y;
    if (bottom >= 0 && bottom != y - 1) {
      std::printf("column %d is white in two separate runs (rows %d-%d and %d)\n", RIGHT, top,
                  bottom, y);
      return EXIT_TIMEOUT;
    }
    bottom = y;
  }
  if (top < 0) {
    std::printf("no paddle: column %d has no white pixel\n", RIGHT);
    return EXIT_TIMEOUT;
  }
  const int rows = bottom - top + 1;
  const bool clipped = top == 0 || bottom == picture->height - 1;
  if (rows > HEIGHT || (!clipped && rows != HEIGHT)) {
    std::printf("the bar in column %d spans rows %d-%d, %d rows instead of %d\n", RIGHT, top,
                bottom, rows, HEIGHT);
    return EXIT_TIMEOUT;
  }
  for (int y = top; y <= bottom; ++y) {
    for (int x = RIGHT - WIDTH + 1; x <= RIGHT; ++x) {
      if (!is_white(picture->at(x, y))) {
        std::printf("pixel (%d, %d) of the bar is not white\n", x, y);
        return EXIT_TIMEOUT;
      }
    }
    if (!is_black(picture->at(RIGHT - WIDTH, y)) || !is_black(picture->at(RIGHT + 1, y))) {
      std::printf("row %d: the bar is not %d pixels wide with black on both sides\n", y, WIDTH);
      return EXIT_TIMEOUT;
    }
  }
  // Clipped at the top edge, the bar's bottom row tells where its top is.
  const int paddle_top = top == 0 && rows < HEIGHT ? bottom - (HEIGHT - 1) : top;
  std::printf("%d %d\n", paddle_top, bottom);
  return EXIT_MATCHED;
}

int usage() {
  std::fprintf(stderr,
               "usage: xprobe snap WINDOW OUT.ppm | wait-picture WINDOW EXPECTED.ppm TIMEOUT_MS "
               "[LAST.ppm] | wait-pixel WINDOW X Y RRGGBB TIMEOUT_MS | wait-gone WINDOW PID "
               "TIMEOUT_MS | no-windows PID TIMEOUT_MS | paddle PICTURE.ppm\n");
  return EXIT_USAGE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string command = argv[1];
  if (command == "paddle") return paddle(argv[2]);

  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "xprobe: cannot open display\n");
    return EXIT_USAGE;
  }
  XSetErrorHandler(note_error);
  const Window window = command == "no-windows" ? 0 : parse_window(argv[2]);
  int result = EXIT_USAGE;
  if (command == "snap" && argc == 4) {
    result = snap(display, window, argv[3]);
  } else if (command == "wait-picture" && (argc == 5 || argc == 6)) {
    result =
        wait_picture(display, window, argv[3], std::atoi(argv[4]), argc == 6 ? argv[5] : nullptr);
  } else if (command == "wait-pixel" && argc == 7) {
    result = wait_pixel(display, window, std::atoi(argv[3]), std::atoi(argv[4]),
                        std::strtoul(argv[5], nullptr, 16), std::atoi(argv[6]));
  } else if (command == "no-windows" && argc == 4) {
    result = no_windows(display, std::atol(argv[2]), std::atoi(argv[3]));
  } else if (command == "wait-gone" && argc == 5) {
    result = wait_gone(display, window, std::atol(argv[3]), std::atoi(argv[4]));
  } else {
    result = usage();
  }
  std::fflush(stdout);
  XCloseDisplay(display);
  return result;
}
