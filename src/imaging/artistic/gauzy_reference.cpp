// The gauzy glow as first written, each byte worked out in floats and rounded
// by the library: the plain twin gauzy.cpp is held to.
#include "imaging/artistic/gauzy.h"

#include <algorithm>
#include <cmath>

#include "imaging/filters/gaussian_blur.h"

namespace cvl::imaging {

bool gauzy_image_reference(const ImageView& src, const ImageView& dst, float sigma, float strength, float lift,
                           GauzyBlend blend) {
  if (!rgb24_pair(src, dst) || !std::isfinite(sigma)) return false;
  // The glow is built in dst and then mixed with src there.
  if (!gaussian_blur_reference(src, dst, std::max(sigma, 0.5f))) return false;
  strength = std::clamp(strength, 0.0f, 1.0f);
  const float gain = 1 + std::clamp(lift, 0.0f, 1.0f);
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* p = src.row(y);
    uint8_t* q = dst.row(y);
    for (int32_t i = 0; i < src.width * 3; ++i) {
      const float a = p[i], g = std::min(255.0f, q[i] * gain);
      float b = a;
      switch (blend) {
        case GauzyBlend::Lighten:
          b = std::max(a, g);
          break;
        case GauzyBlend::Screen:
          b = 255 - (255 - a) * (255 - g) / 255;
          break;
        case GauzyBlend::Darken:
          b = std::min(a, g);
          break;
      }
      q[i] = uint8_t(std::lround(a + (b - a) * strength));
    }
  }
  return true;
}

}  // namespace cvl::imaging
