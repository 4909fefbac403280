// Choosing a display back-end: the back-end list tried in passes, in the order
// the "QZGFX" environment variable and the full-screen flag give.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "display/display_link.h"

namespace window {

// Starts a back-end; returns nullptr, having released whatever it got, when it
// cannot start.
using BackendStart = std::unique_ptr<display::DisplayLink> (*)(const display::DisplayRequest&,
                                                               display::ScreenRecord&);

struct BackendEntry {
  std::string_view name;
  BackendStart start;
};

// Returns the first back-end that starts, the null back-end when asked for, or
// nullptr. qzgfx is the variable's value, or null when it is unset.
std::unique_ptr<display::DisplayLink> choose_backend(std::span<const BackendEntry> backends,
                                                     const char* qzgfx,
                                                     const display::DisplayRequest& request,
                                                     display::ScreenRecord& screen);

}  // namespace window
