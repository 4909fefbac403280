#include "tests/game/recording_operations.h"

#include <memory>
#include <sstream>

#include "game/game.h"

namespace testing_support {

std::string Call::describe() const {
  std::ostringstream out;
  const char* names[] = {"open_screen",  "load_image", "put_image", "set_pages", "copy_page",
                         "clear_screen", "print_text", "key_down",  "sleep_ms",  "end_program"};
  out << names[static_cast<int>(op)] << "(";
  if (op == Op::put_image) out << picture << ", " << x << ", " << y << ", ";
  if (op == Op::load_image) out << picture << " into " << capacity << " bytes";
  if (op == Op::print_text) out << '"' << text << "\", ";
  for (std::size_t i = 0; i < numbers.size(); ++i) out << (i ? ", " : "") << numbers[i];
  out << ")";
  return out.str();
}

void RecordingOperations::record(Call call) {
  if (!trajectory_only) calls.push_back(std::move(call));
}

int RecordingOperations::open_screen(int mode, int depth, int page_count, int flags,
                                     int refresh_hz) {
  record({.op = Op::open_screen, .numbers = {mode, depth, page_count, flags, refresh_hz}});
  return 0;
}

int RecordingOperations::load_image(const char* file_name, std::span<std::uint8_t> destination) {
  buffers_[destination.data()] = file_name;
  record({.op = Op::load_image, .picture = file_name, .capacity = destination.size()});
  return 0;
}

int RecordingOperations::put_image(float x, float y, std::span<const std::uint8_t> image,
                                   int mode) {
  const std::string& picture = buffers_.at(image.data());
  if (picture == "ball.bmp") ball_moves.push_back({x, y});
  record({.op = Op::put_image, .picture = picture, .numbers = {mode}, .x = x, .y = y});
  return 0;
}

void RecordingOperations::set_pages(int work, int visible) {
  record({.op = Op::set_pages, .numbers = {work, visible}});
}

void RecordingOperations::copy_page(int source, int destination) {
  record({.op = Op::copy_page, .numbers = {source, destination}});
}

void RecordingOperations::clear_screen() {
  record({.op = Op::clear_screen});
}

void RecordingOperations::print_text(std::string_view text, bool line_break) {
  record({.op = Op::print_text, .text = std::string(text), .numbers = {line_break ? 1 : 0}});
}

int RecordingOperations::key_down(int scancode) {
  if (polls_in_frame_ == 0 && frame_ == stop_at_frame) throw GameStopped{};
  record({.op = Op::key_down, .numbers = {scancode}});
  const int held = keys(frame_, scancode);
  if (++polls_in_frame_ == 2) {
    polls_in_frame_ = 0;
    ++frame_;
  }
  return held;
}

void RecordingOperations::sleep_ms(int ms) {
  record({.op = Op::sleep_ms, .numbers = {ms}});
}

void RecordingOperations::end_program(int code) {
  record({.op = Op::end_program, .numbers = {code}});
  throw GameEnded{code};
}

void play(RecordingOperations& operations) {
  auto game = std::make_unique<game::Game>(operations);
  try {
    game->run();
  } catch (const GameEnded&) {
  } catch (const GameStopped&) {
  }
}

}  // namespace testing_support
