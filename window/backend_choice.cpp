#include "window/backend_choice.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "display/screen.h"
#include "window/null_backend.h"

namespace window {

namespace {

bool same_name(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// One attempt at a back-end: the requested refresh rate first, then the display's own.
std::unique_ptr<display::DisplayLink> try_start(const BackendEntry& backend,
                                                display::DisplayRequest request,
                                                display::ScreenRecord& screen) {
  if (auto link = backend.start(request, screen)) return link;
  request.refresh_hz = 0;
  return backend.start(request, screen);
}

}  // namespace

std::unique_ptr<display::DisplayLink> choose_backend(std::span<const BackendEntry> backends,
                                                     const char* qzgfx,
                                                     const display::DisplayRequest& request,
                                                     display::ScreenRecord& screen) {
  if (request.flags == display::FLAGS_NO_WINDOW || (qzgfx && same_name(qzgfx, "null"))) {
    return std::make_unique<NullLink>();
  }

  struct Pass {
    bool matching_only;
    bool toggled;
  };
  const std::vector<Pass> passes =
      qzgfx ? std::vector<Pass>{{true, false}, {false, false}, {true, false}, {false, true}}
            : std::vector<Pass>{{false, false}, {false, true}};

  for (const Pass& pass : passes) {
    display::DisplayRequest attempt = request;
    if (pass.toggled) attempt.flags ^= display::FLAG_FULL_SCREEN;
    for (const BackendEntry& backend : backends) {
      if (pass.matching_only && !same_name(backend.name, qzgfx)) continue;
      if (auto link = try_start(backend, attempt, screen)) return link;
    }
  }
  return nullptr;
}

}  // namespace window
