#include "imaging/filters/unsharp_mask.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/filters/gaussian_blur.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

// One row's bytes: the blur in d becomes the result. Without a branch, so the
// compiler runs many bytes at once: the change is rounded on its size with the
// sign put back, and the threshold picks by a select. A fourth channel goes
// through too: the blur copied it, so its detail is 0, which leaves it as it was.
void sharpen_row(const uint8_t* s, uint8_t* d, int32_t n, int32_t gain, int32_t threshold, int32_t limit) {
  for (int32_t i = 0; i < n; ++i) {
    const int32_t v = s[i], detail = v - d[i];
    const int32_t scaled = detail * gain, sign = scaled >> 31;
    const int32_t rounded = ((((scaled ^ sign) - sign) + 128) >> 8 ^ sign) - sign;
    // As std::clamp works it out, so a negative limit goes as it always went.
    const int32_t change = std::min(std::max(rounded, -limit), limit);
    const int32_t moved = std::min(std::max(v + change, 0), 255);
    const int32_t size = detail < 0 ? -detail : detail;
    d[i] = static_cast<uint8_t>(size <= threshold ? v : moved);
  }
}

}  // namespace

bool unsharp_mask(const ImageView& src, const ImageView& dst, double amount, double sigma, int32_t threshold,
                  int32_t limit) {
  if (!same_shape(src, dst) || src.channels < 3 || src.data == dst.data || !std::isfinite(amount) ||
      !std::isfinite(sigma))
    return false;
  // The blur lands in dst and is replaced pixel by pixel with the result.
  if (!gaussian_blur(src, dst, float(std::max(sigma, 0.0)), 7)) return false;
  const int32_t gain = static_cast<int32_t>(std::lround(std::clamp(amount, 0.0, 64.0) * 256));
  const int32_t n = src.width * src.channels;
  for_each_band(src.height, n, [&src, &dst, n, gain, threshold, limit](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      sharpen_row(src.row(y), dst.row(y), n, gain, threshold, limit);
      // Only a negative limit with a negative threshold moves a 0 detail (the
      // clamp's bounds cross), so only then is the fourth channel put back.
      if (src.channels == 4 && threshold < 0 && limit < 0)
        for (int32_t x = 3; x < n; x += 4) dst.row(y)[x] = src.row(y)[x];
    }
  });
  return true;
}

}  // namespace cvl::imaging
