#include "display/display_link.h"

namespace display {

namespace {
DisplayPlatform& platform_storage() {
  static DisplayPlatform platform;
  return platform;
}
}  // namespace

void set_display_platform(DisplayPlatform platform) {
  platform_storage() = std::move(platform);
}

const DisplayPlatform& display_platform() {
  return platform_storage();
}

}  // namespace display
