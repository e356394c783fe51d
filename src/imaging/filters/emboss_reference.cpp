// The emboss one pixel at a time on one thread, as first written: the twin the
// banded emboss in emboss.cpp is held to.
#include "imaging/filters/emboss.h"

#include <algorithm>
#include <cmath>

#include "imaging/channel_mask.h"
#include "imaging/filters/sobel.h"

namespace cvl::imaging {

bool emboss_reference(const uint8_t* height, int32_t height_stride, const ImageView& src, const ImageView& dst,
                      double azimuth, double elevation, int32_t depth) {
  if (!emboss_detail::views_fit(height, height_stride, src, dst, azimuth, elevation)) return false;
  const emboss_detail::Light light(azimuth, elevation, depth);
  const float lx = light.x, ly = light.y, lz = light.z, nz = light.nz;
  const int32_t w = src.width, h = src.height, ch = src.channels;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* s = src.row(y);
    uint8_t* d = dst.row(y);
    for (int32_t x = 0; x < w; ++x, s += ch, d += ch) {
      float shade = lz;
      if (depth > 0) {
        int32_t gx, gy;
        sobel_at(height, height_stride, w, h, x, y, gx, gy);
        if (gx | gy) {
          const float nx = float(-gx), ny = float(gy);
          shade = (nx * lx + ny * ly + nz * lz) / std::sqrt(nx * nx + ny * ny + nz * nz);
        }
      }
      const int32_t k = static_cast<int32_t>(std::clamp(shade, 0.0f, 1.0f) * 256 + 0.5f);
      for (int32_t c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * k + 128) >> 8);
      if (ch == 4) d[3] = s[3];
    }
  }
  return true;
}

}  // namespace cvl::imaging
