#include "imaging/filters/sharpen.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

#include "imaging/filters/blur.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {

bool sharpen(const ImageView& src, const ImageView& dst, int32_t amount, int32_t size) {
  if (!sharpen_detail::views_fit(src, dst)) return false;
  const int32_t w = src.width, h = src.height, ch = src.channels;
  const int32_t radius = sharpen_detail::box_radius(size);
  // The three colour channels packed side by side, blurred together.
  const int32_t n = w * 3;
  std::vector<uint8_t> rgb(static_cast<size_t>(n) * static_cast<size_t>(h));
  // The detail a pixel gains for each difference from its blur, -255..255:
  // (v - blurred) * amount / 10 rounded half away from zero, held to a range
  // that still saturates the result either way.
  std::array<int32_t, 511> detail{};
  for (int32_t diff = -255; diff <= 255; ++diff) {
    const int64_t tenths = int64_t(diff) * static_cast<int64_t>(amount);
    detail[size_t(diff + 255)] = int32_t(std::clamp<int64_t>((tenths >= 0 ? tenths + 5 : tenths - 5) / 10, -512, 512));
  }
  // Every loop here writes rows of its own, so each runs in bands.
  for_each_band(h, w, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* s = src.row(y);
      uint8_t* p = rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(n);
      if (ch == 3) std::memcpy(p, s, size_t(n));
      else
        for (int32_t x = 0; x < w; ++x, s += ch, p += 3) p[0] = s[0], p[1] = s[1], p[2] = s[2];
    }
  });
  blur_interleaved8(rgb.data(), w, h, n, 3, radius, 3);
  for_each_band(h, w * 3, [&](int32_t first, int32_t end) {
    const int32_t* gain = detail.data() + 255;
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* s = src.row(y);
      const uint8_t* p = rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(n);
      uint8_t* d = dst.row(y);
      for (int32_t x = 0; x < w; ++x, s += ch, d += ch, p += 3) {
        for (int32_t c = 0; c < 3; ++c) {
          const int32_t v = s[c];
          d[c] = static_cast<uint8_t>(std::clamp(v + gain[v - p[c]], 0, 255));
        }
        if (ch == 4) d[3] = s[3];
      }
    }
  });
  return true;
}

}  // namespace cvl::imaging
