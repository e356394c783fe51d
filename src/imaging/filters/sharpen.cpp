#include "imaging/filters/sharpen.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "imaging/filters/blur.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {

bool sharpen(const ImageView& src, const ImageView& dst, int32_t amount, int32_t size) {
  if (!sharpen_detail::views_fit(src, dst)) return false;
  const int32_t w = src.width, h = src.height, ch = src.channels;
  const int32_t radius = sharpen_detail::box_radius(size);
  std::vector<uint8_t> plane(static_cast<size_t>(w) * static_cast<size_t>(h));
  // The detail a pixel gains for each difference from its blur, -255..255:
  // (v - blurred) * amount / 10 rounded half away from zero, held to a range
  // that still saturates the result either way.
  std::array<int32_t, 511> detail{};
  for (int32_t diff = -255; diff <= 255; ++diff) {
    const int64_t tenths = int64_t(diff) * static_cast<int64_t>(amount);
    detail[size_t(diff + 255)] = int32_t(std::clamp<int64_t>((tenths >= 0 ? tenths + 5 : tenths - 5) / 10, -512, 512));
  }
  // Every loop here writes rows of its own, so each runs in bands.
  if (ch == 4) {
    for_each_band(h, w, [&](int32_t first, int32_t end) {
      for (int32_t y = first; y < end; ++y) {
        const uint8_t* s = src.row(y);
        uint8_t* d = dst.row(y);
        for (int32_t x = 0; x < w; ++x) d[x * 4 + 3] = s[x * 4 + 3];
      }
    });
  }
  for (int32_t c = 0; c < 3; ++c) {
    for_each_band(h, w, [&](int32_t first, int32_t end) {
      for (int32_t y = first; y < end; ++y) {
        const uint8_t* s = src.row(y);
        uint8_t* p = plane.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        for (int32_t x = 0; x < w; ++x) p[x] = s[x * ch + c];
      }
    });
    blur_plane8(plane.data(), w, h, w, radius, 3);
    for_each_band(h, w * 2, [&](int32_t first, int32_t end) {
      for (int32_t y = first; y < end; ++y) {
        const uint8_t* s = src.row(y);
        const uint8_t* p = plane.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        uint8_t* d = dst.row(y);
        for (int32_t x = 0; x < w; ++x) {
          const int32_t v = s[x * ch + c];
          d[x * ch + c] = static_cast<uint8_t>(std::clamp(v + detail[size_t(v - p[x] + 255)], 0, 255));
        }
      }
    });
  }
  return true;
}

}  // namespace cvl::imaging
