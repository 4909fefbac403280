// A stand-in for the display facility that records every call the game makes,
// answers key polls from a script, and ends the game by throwing.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "game/operations.h"

namespace testing_support {

enum class Op {
  open_screen,
  load_image,
  put_image,
  set_pages,
  copy_page,
  clear_screen,
  print_text,
  key_down,
  sleep_ms,
  end_program
};

struct Call {
  Op op;
  std::string picture;       // load_image and put_image: the file loaded into the buffer
  std::string text;          // print_text
  std::vector<int> numbers;  // integer arguments in order; put_image: the mode
  float x = 0;               // put_image
  float y = 0;
  std::size_t capacity = 0;  // load_image: the destination's size

  std::string describe() const;
};

struct GameEnded {
  int code;
};

// Stops a game that would otherwise run on; thrown from a key poll.
struct GameStopped {};

class RecordingOperations : public game::Operations {
 public:
  // Answers key_down(scancode) in the given frame (0 for the first frame).
  std::function<int(int frame, int scancode)> keys = [](int, int) { return 0; };
  // Keep only the ball's position of each move instead of every call.
  bool trajectory_only = false;
  // Throws GameStopped at the first key poll of this frame.
  int stop_at_frame = -1;

  std::vector<Call> calls;
  struct Position {
    float x;
    float y;
  };
  // Where the ball was drawn: at the start, then after each move.
  std::vector<Position> ball_moves;

  int open_screen(int mode, int depth, int page_count, int flags, int refresh_hz) override;
  int load_image(const char* file_name, std::span<std::uint8_t> destination) override;
  int put_image(float x, float y, std::span<const std::uint8_t> image, int mode) override;
  void set_pages(int work, int visible) override;
  void copy_page(int source, int destination) override;
  void clear_screen() override;
  void print_text(std::string_view text, bool line_break) override;
  int key_down(int scancode) override;
  void sleep_ms(int ms) override;
  [[noreturn]] void end_program(int code) override;

  int frames() const { return frame_; }

 private:
  void record(Call call);

  std::map<const std::uint8_t*, std::string> buffers_;
  int frame_ = 0;
  int polls_in_frame_ = 0;
};

// Runs a game against the recorder until it ends or is stopped.
void play(RecordingOperations& operations);

}  // namespace testing_support
