#include "imaging/artistic/gauzy.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/artistic/gauzy_support.h"
#include "imaging/filters/gaussian_blur.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {

GauzyBlend gauzy_blend_from_code(int32_t code) {
  return code == 1 ? GauzyBlend::Screen : code == 2 ? GauzyBlend::Darken : GauzyBlend::Lighten;
}

// A result byte depends only on the picture's byte and the glow's, so the float
// work is done once for each of the 65536 pairs and the picture then looks its
// bytes up; the table's entries are worked out exactly as the plain twin works
// each byte.
bool gauzy_image(const ImageView& src, const ImageView& dst, float sigma, float strength, float lift,
                 GauzyBlend blend) {
  if (!rgb24_pair(src, dst) || !std::isfinite(sigma)) return false;
  // The glow is built in dst and then mixed with src there.
  if (!gaussian_blur(src, dst, std::max(sigma, 0.5f))) return false;
  strength = std::clamp(strength, 0.0f, 1.0f);
  const float gain = 1 + std::clamp(lift, 0.0f, 1.0f);
  std::vector<uint8_t> table(256 * 256);
  for (int32_t pa = 0; pa < 256; ++pa)
    for (int32_t qa = 0; qa < 256; ++qa) {
      table[size_t(pa) * 256 + size_t(qa)] = detail::gauzy_mix(float(pa), float(qa), gain, strength, blend);
    }
  const uint8_t* t = table.data();
  const int32_t n = src.width * 3;
  for_each_band(src.height, n, [&src, &dst, t, n](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* p = src.row(y);
      uint8_t* q = dst.row(y);
      for (int32_t i = 0; i < n; ++i) q[i] = t[size_t(p[i]) << 8 | q[i]];
    }
  });
  return true;
}

}  // namespace cvl::imaging
