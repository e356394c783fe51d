#include "imaging/filters/sharpen.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "imaging/filters/blur.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {

bool sharpen(const ImageView& src, const ImageView& dst, int32_t amount, int32_t size) {
  if (!src.data || !dst.data || src.width <= 0 || src.height <= 0) return false;
  if (src.width != dst.width || src.height != dst.height || src.channels != dst.channels) return false;
  if (src.channels != 3 && src.channels != 4) return false;
  const int32_t w = src.width, h = src.height, ch = src.channels;
  const int32_t radius = std::max((size - 1) / 6, 1);
  const size_t area = static_cast<size_t>(w) * static_cast<size_t>(h);
  std::vector<uint8_t> planes(3 * area);
  uint8_t* plane[3] = {planes.data(), planes.data() + area, planes.data() + 2 * area};
  for_each_band(h, int64_t(w) * 3, [&](int first, int end) {
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* s = src.row(y);
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(w);
      uint8_t *p0 = plane[0] + at, *p1 = plane[1] + at, *p2 = plane[2] + at;
      for (int32_t x = 0; x < w; ++x, s += ch) p0[x] = s[0], p1[x] = s[1], p2[x] = s[2];
    }
  });
  for (uint8_t* p : plane) blur_plane8(p, w, h, w, radius, 3);
  // The detail (v - blurred) x amount / 10, rounded half away from zero, for
  // every difference; held within +-512, which clamps to the same byte.
  int32_t detail_of[511];
  for (int32_t diff = -255; diff <= 255; ++diff) {
    const int64_t tenths = diff * static_cast<int64_t>(amount);
    const int64_t detail = (tenths >= 0 ? tenths + 5 : tenths - 5) / 10;
    detail_of[diff + 255] = static_cast<int32_t>(std::clamp<int64_t>(detail, -512, 512));
  }
  for_each_band(h, int64_t(w) * 3, [&](int first, int end) {
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* s = src.row(y);
      uint8_t* d = dst.row(y);
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(w);
      const uint8_t* p[3] = {plane[0] + at, plane[1] + at, plane[2] + at};
      for (int32_t x = 0; x < w; ++x, s += ch, d += ch) {
        for (int32_t c = 0; c < 3; ++c) {
          const int32_t v = s[c];
          d[c] = static_cast<uint8_t>(std::clamp(v + detail_of[v - p[c][x] + 255], 0, 255));
        }
        if (ch == 4) d[3] = s[3];
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging
