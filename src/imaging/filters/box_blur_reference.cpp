// The box blur as first written: one thread, each pass reading a copy of the
// previous one. The plain twin the banded passes of box_blur.cpp are held to.
#include "imaging/filters/box_blur.h"

#include <algorithm>

#include "imaging/channel_mask.h"
#include "imaging/filters/window_sum.h"

namespace cvl::imaging {
namespace {

// One pass from `in` into `out`, which must not share rows with `in`.
template <int C>
void box_pass(const ImageView& in, const ImageView& out, int32_t radius) {
  const int32_t w = in.width;
  const uint32_t area = uint32_t(2 * radius + 1) * uint32_t(2 * radius + 1);
  const double inverse = 1.0 / area;
  window_sums<C>(
      w, in.height, radius, radius,
      [&](int32_t y, uint32_t* values) {
        const uint8_t* p = in.row(y);
        for (int32_t i = 0; i < w * C; ++i) values[i] = p[i];
      },
      [&](int32_t y, const uint32_t* sums) {
        uint8_t* d = out.row(y);
        for (int32_t i = 0; i < w * C; ++i) d[i] = static_cast<uint8_t>(sums[i] * inverse + 0.5);
      });
}

void box_pass_any(const ImageView& in, const ImageView& out, int32_t radius) {
  switch (in.channels) {
    case 1:
      box_pass<1>(in, out, radius);
      break;
    case 3:
      box_pass<3>(in, out, radius);
      break;
    default:
      box_pass<4>(in, out, radius);
      break;
  }
}

}  // namespace

bool box_blur_reference(const ImageView& src, const ImageView& dst, int32_t radius, int32_t passes,
                        uint32_t channel_mask) {
  if (!same_shape(src, dst) || radius < 0 || passes < 0) return false;
  radius = std::min(radius, kMaxBoxRadius);
  if (radius == 0 || passes == 0) {
    copy_view(src, dst);
    return true;
  }
  // Every pass reads a whole window of rows around the one it writes, so it
  // reads from a copy: of the source first, of the previous pass's result after.
  Image scratch{std::vector<uint8_t>(size_t(src.width) * src.height * src.channels), src.width, src.height,
                src.channels};
  const ImageView copy = scratch.view();
  copy_view(src, copy);
  // Masked channels come back from the source, which filtering in place overwrites.
  const bool masked = !all_channels(channel_mask, src.channels);
  Image original;
  if (masked && src.data == dst.data) original = scratch;
  for (int32_t p = 0; p < passes; ++p) {
    if (p > 0) copy_view(dst, copy);
    box_pass_any(copy, dst, radius);
  }
  if (masked) restore_unmasked(src.data == dst.data ? original.view() : src, dst, channel_mask);
  return true;
}

}  // namespace cvl::imaging
