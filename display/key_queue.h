// The key queue: the last key codes pressed in the window, and the key-press
// flag that every addition sets and only the key check of a wait clears.
#pragma once

#include <array>
#include <cstdint>

namespace display {

// Special keys are queued as the PC BIOS extended code shifted left by 8 with
// 255 in the low byte; the close request is that of Alt+F4.
constexpr std::uint32_t special_key_code(std::uint8_t extended_code) {
  return (std::uint32_t{extended_code} << 8) | 0xFF;
}
constexpr std::uint32_t KEY_CODE_CLOSE_REQUEST = special_key_code(0x6B);  // Alt+F4, 27647

class KeyQueue {
 public:
  static constexpr int SLOTS = 16;

  // A full queue (15 codes) loses its oldest code.
  void add(std::uint32_t code) {
    slots_[write_] = code;
    write_ = (write_ + 1) % SLOTS;
    if (write_ == read_) read_ = (read_ + 1) % SLOTS;
    pressed_ = true;
  }

  int size() const { return (write_ - read_ + SLOTS) % SLOTS; }
  std::uint32_t oldest() const { return slots_[read_]; }

  // Reads and clears the key-press flag.
  bool take_pressed() {
    const bool was = pressed_;
    pressed_ = false;
    return was;
  }

 private:
  std::array<std::uint32_t, SLOTS> slots_{};
  int read_ = 0;
  int write_ = 0;
  bool pressed_ = false;
};

}  // namespace display
