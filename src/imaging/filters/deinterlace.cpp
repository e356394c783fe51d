#include "imaging/filters/deinterlace.h"

#include <cstring>

namespace cvl::imaging {

bool deinterlace(const ImageView& image, int32_t mode) {
  if (!image.data || image.width <= 0 || image.height <= 0 || image.channels < 1 ||
      image.stride < image.width * image.channels)
    return false;
  if (!(mode & 1)) return true;
  const bool interpolate = (mode & 4) != 0;
  const size_t bytes = static_cast<size_t>(image.width) * image.channels;
  for (int32_t y = 1; y < image.height; y += 2) {
    const uint8_t* above = image.row(y - 1);
    uint8_t* row = image.row(y);
    if (!interpolate || y + 1 >= image.height) {
      std::memcpy(row, above, bytes);
      continue;
    }
    const uint8_t* below = image.row(y + 1);
    for (size_t i = 0; i < bytes; ++i) row[i] = static_cast<uint8_t>((above[i] + below[i] + 1) >> 1);
  }
  return true;
}

}  // namespace cvl::imaging
