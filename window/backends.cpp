#include "window/backends.h"

namespace window {

// The window back-ends join this list as they are built; until then only the
// null back-end ("QZGFX=null") opens a screen.
std::span<const BackendEntry> window_backends() {
  return {};
}

}  // namespace window
