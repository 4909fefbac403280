// The program's icon. A program may link in an icon under this name; the
// window uses it when it is there, and the window system's default otherwise.
#pragma once

#include <cstdint>

struct ProgramIcon {
  int width_px;
  int height_px;
  const std::uint32_t* argb;  // width * height pixels, 0xAARRGGBB, top row first
};

extern "C" const ProgramIcon QZ_PROGRAM_ICON __attribute__((weak));
