// The back-end list in the order it is tried.
#pragma once

#include <span>

#include "window/backend_choice.h"

namespace window {

std::span<const BackendEntry> window_backends();

}  // namespace window
