#include <algorithm>
#include <cmath>
#include <cstdint>

#include "display/image.h"
#include "display/lock_scope.h"

namespace display {

namespace {

void xor_row(std::uint8_t* page, const std::uint8_t* picture, int count) {
  for (int i = 0; i < count; ++i) page[i] ^= picture[i];
}

void and_row(std::uint8_t* page, const std::uint8_t* picture, int count) {
  for (int i = 0; i < count; ++i) page[i] &= picture[i];
}

}  // namespace

bool to_pixel_position(float value, int& position) {
  // Formed in double precision: in single precision the largest float below
  // one half plus 0.5 would round up to 1.
  const double v = value;
  const double rounded = std::trunc(v > 0 ? v + 0.5 : v - 0.5);
  if (!(rounded >= INT32_MIN && rounded <= INT32_MAX)) return false;  // NaN too
  position = static_cast<int>(rounded);
  return true;
}

int put_image(float x, float y, std::span<const std::uint8_t> image, int mode) {
  ScreenRecord* screen = open_screen_record();
  if (screen == nullptr) return RESULT_CANNOT;
  if (image.size() < IMAGE_HEADER_BYTES) return RESULT_CANNOT;
  if (mode != RASTER_XOR && mode != RASTER_AND) return RESULT_CANNOT;

  const ImageHeader header = read_image_header(image);
  if (header.pixel_size_code != 0 && header.pixel_size_code != 1) return RESULT_CANNOT;
  if (header.width == 0 || header.height == 0) return RESULT_DONE;
  // A header that claims more pixels than the record holds is not drawn.
  const std::size_t pixel_bytes = static_cast<std::size_t>(header.width) * header.height;
  if (image.size() - IMAGE_HEADER_BYTES < pixel_bytes) return RESULT_CANNOT;

  int px = 0;
  int py = 0;
  if (!to_pixel_position(x, px) || !to_pixel_position(y, py)) return RESULT_DONE;  // off the page
  const ViewRect& view = screen->view;
  const std::int64_t left = std::int64_t{px} + view.left;
  const std::int64_t top = std::int64_t{py} + view.top;
  const std::int64_t right = left + header.width;   // one past the last column
  const std::int64_t bottom = top + header.height;  // one past the last row
  const std::int64_t view_right = view.left + view.width;
  const std::int64_t view_bottom = view.top + view.height;
  if (right <= view.left || left >= view_right || bottom <= view.top || top >= view_bottom) {
    return RESULT_DONE;
  }

  const int first_row = static_cast<int>(std::max<std::int64_t>(top, view.top));
  const int end_row = static_cast<int>(std::min(bottom, view_bottom));
  const int first_column = static_cast<int>(std::max<std::int64_t>(left, view.left));
  const int end_column = static_cast<int>(std::min(right, view_right));
  const int skip_columns = static_cast<int>(first_column - left);
  const int count = end_column - first_column;
  const std::uint8_t* pixels = image.data() + IMAGE_HEADER_BYTES;

  LockScope lock(*screen);
  for (int row = first_row; row < end_row; ++row) {
    const std::uint8_t* source =
        pixels + static_cast<std::size_t>(row - top) * header.width + skip_columns;
    std::uint8_t* target = screen->row_start[row] + first_column;
    if (mode == RASTER_XOR) {
      xor_row(target, source, count);
    } else {
      and_row(target, source, count);
    }
  }
  if (screen->work_is_visible()) mark_rows(*screen, first_row, end_row - 1);
  return RESULT_DONE;
}

}  // namespace display
