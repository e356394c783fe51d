#include "imaging/artistic/gauzy.h"

#include <algorithm>
#include <cmath>

#include "imaging/filters/gaussian_blur.h"

namespace cvl::imaging {

GauzyBlend gauzy_blend_from_code(int32_t code) {
  return code == 1 ? GauzyBlend::Screen : code == 2 ? GauzyBlend::Darken : GauzyBlend::Lighten;
}

bool gauzy_image(const ImageView& src, const ImageView& dst, float sigma, float strength, float lift,
                 GauzyBlend blend) {
  if (!rgb24_pair(src, dst) || !std::isfinite(sigma)) return false;
  // The glow is built in dst and then mixed with src there.
  if (!gaussian_blur(src, dst, std::max(sigma, 0.5f))) return false;
  strength = std::clamp(strength, 0.0f, 1.0f);
  const float gain = 1 + std::clamp(lift, 0.0f, 1.0f);
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* p = src.row(y);
    uint8_t* q = dst.row(y);
    for (int32_t i = 0; i < src.width * 3; ++i) {
      const float a = p[i], g = std::min(255.0f, q[i] * gain);
      float b = a;
      switch (blend) {
        case GauzyBlend::Lighten: b = std::max(a, g); break;
        case GauzyBlend::Screen: b = 255 - (255 - a) * (255 - g) / 255; break;
        case GauzyBlend::Darken: b = std::min(a, g); break;
      }
      q[i] = uint8_t(std::lround(a + (b - a) * strength));
    }
  }
  return true;
}

}  // namespace cvl::imaging
