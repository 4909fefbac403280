#include "window/backends.h"

#include "window/directx_backend.h"
#include "window/gdi_backend.h"

namespace window {

namespace {

constexpr BackendEntry BACKENDS[] = {
    {"DirectX", start_directx},
    {"GDI", start_gdi},
    {"OpenGL", start_opengl},
};

}  // namespace

std::span<const BackendEntry> window_backends() {
  return BACKENDS;
}

}  // namespace window
