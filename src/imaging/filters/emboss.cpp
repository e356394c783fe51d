#include "imaging/filters/emboss.h"

#include <algorithm>
#include <cmath>

#include "imaging/channel_mask.h"
#include "imaging/filters/sobel.h"

namespace cvl::imaging {

bool emboss(const uint8_t* height, int32_t height_stride, const ImageView& src, const ImageView& dst,
            double azimuth, double elevation, int32_t depth) {
  if (!height || !same_shape(src, dst) || src.channels < 3 || height_stride < src.width) return false;
  if (!std::isfinite(azimuth) || !std::isfinite(elevation)) return false;
  // The light in (right, up, out of the picture) coordinates.
  const float lx = float(std::cos(azimuth) * std::cos(elevation));
  const float ly = float(std::sin(azimuth) * std::cos(elevation));
  const float lz = float(std::sin(elevation));
  // The surface normal is (-gx, gy, nz) (rows run downward, so up is -gy): a
  // Sobel response of 1020 is a full-range step over two pixels.
  const float nz = depth > 0 ? 8 * 255.0f / float(depth) : 0;
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
