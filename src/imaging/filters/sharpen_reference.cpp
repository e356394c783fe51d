// Sharpening as first written: one channel at a time, the plain box passes
// and the detail worked out per pixel. Kept as the reference sharpen() is
// checked against, word for word.
#include "imaging/filters/sharpen.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "imaging/filters/blur.h"

namespace cvl::imaging {

bool sharpen_reference(const ImageView& src, const ImageView& dst, int32_t amount, int32_t size) {
  if (!sharpen_detail::views_fit(src, dst)) return false;
  const int32_t w = src.width, h = src.height, ch = src.channels;
  const int32_t radius = sharpen_detail::box_radius(size);
  std::vector<uint8_t> plane(static_cast<size_t>(w) * static_cast<size_t>(h));
  if (ch == 4) {
    for (int32_t y = 0; y < h; ++y) {
      const uint8_t* s = src.row(y);
      uint8_t* d = dst.row(y);
      for (int32_t x = 0; x < w; ++x) d[x * 4 + 3] = s[x * 4 + 3];
    }
  }
  for (int32_t c = 0; c < 3; ++c) {
    for (int32_t y = 0; y < h; ++y) {
      const uint8_t* s = src.row(y);
      uint8_t* p = plane.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
      for (int32_t x = 0; x < w; ++x) p[x] = s[x * ch + c];
    }
    blur_plane8_reference(plane.data(), w, h, w, radius, 3);
    for (int32_t y = 0; y < h; ++y) {
      const uint8_t* s = src.row(y);
      const uint8_t* p = plane.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
      uint8_t* d = dst.row(y);
      for (int32_t x = 0; x < w; ++x) {
        const int64_t v = s[x * ch + c];
        // (v - blurred) * amount / 10, rounded half away from zero.
        const int64_t tenths = (v - p[x]) * static_cast<int64_t>(amount);
        const int64_t detail = (tenths >= 0 ? tenths + 5 : tenths - 5) / 10;
        d[x * ch + c] = static_cast<uint8_t>(std::clamp<int64_t>(v + detail, 0, 255));
      }
    }
  }
  return true;
}

}  // namespace cvl::imaging
