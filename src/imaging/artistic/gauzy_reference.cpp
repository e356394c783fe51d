// The gauzy glow as first written, each byte worked out in floats and rounded
// by the library: the plain twin gauzy.cpp is held to.
#include "imaging/artistic/gauzy.h"

#include <algorithm>
#include <cmath>

#include "imaging/artistic/gauzy_support.h"
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
      q[i] = detail::gauzy_mix(p[i], q[i], gain, strength, blend);
    }
  }
  return true;
}

}  // namespace cvl::imaging
