#include "imaging/artistic/fingerprint.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/filters/gaussian_blur.h"
#include "imaging/image_view.h"
#include "imaging/tone/tone_curves.h"

namespace cvl::imaging {

bool fingerprint(const uint8_t* grey, int32_t grey_stride, int32_t width, int32_t height, double bands,
                 double smoothing, bool invert, uint8_t* out, int32_t out_stride) {
  if (!grey || !out || width <= 0 || height <= 0 || grey_stride < width || out_stride < width) return false;
  if (!std::isfinite(bands) || !std::isfinite(smoothing)) return false;
  if (out != grey)
    for (int32_t y = 0; y < height; ++y)
      std::memmove(out + static_cast<ptrdiff_t>(y) * out_stride, grey + static_cast<ptrdiff_t>(y) * grey_stride,
                   width);
  const ImageView plane{out, width, height, 1, out_stride};
  gaussian_blur(plane, plane, float(smoothing), 1);
  // The cosine once per grey level, not per pixel.
  uint8_t ridges[256];
  for (int g = 0; g < 256; ++g) {
    const double v = 127.5 + 127.5 * std::cos(2 * 3.14159265358979323846 * g * bands / 255);
    ridges[g] = static_cast<uint8_t>(std::lround(invert ? 255 - v : v));
  }
  return apply_tone_table(plane, ridges, 1);
}

}  // namespace cvl::imaging
