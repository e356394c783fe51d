#include "imaging/filters/path_blur_reference.h"

#include "imaging/filters/path_blur_support.h"

namespace cvl::imaging {
namespace {

using namespace path_blur_detail;

// out(p) = mean of in(A p) and in(B p); A may be the identity (`a_is_identity`),
// read without resampling. `round_up` alternates between passes so the halvings
// do not drift the image's mean.
void two_tap_pass(const ImageView& in, const ImageView& out, double cx, double cy, Similarity A, Similarity B,
                  bool a_is_identity, bool round_up) {
  const int32_t bias = round_up ? 65536 : 65535;
  for (int32_t y = 0; y < in.height; ++y) {
    const RowWalk wa(A, cx, cy, y), wb(B, cx, cy, y);
    const uint8_t* own = in.row(y);
    uint8_t* d = out.row(y);
    for (int32_t x = 0; x < in.width; ++x, d += 4) {
      int32_t u[4], v[4];
      if (a_is_identity)
        for (int k = 0; k < 4; ++k) u[k] = own[x * 4 + k] << 16;
      else sample(in, wa.qx(x), wa.qy(x), u);
      sample(in, wb.qx(x), wb.qy(x), v);
      for (int k = 0; k < 4; ++k) d[k] = static_cast<uint8_t>((int64_t(u[k]) + v[k] + bias) >> 17);
    }
  }
}

}  // namespace

bool spin_blur_reference(const ImageView& src, const ImageView& dst, double cx, double cy, double angle_radians) {
  return spin_blur_with(two_tap_pass, src, dst, cx, cy, angle_radians);
}

bool zoom_blur_reference(const ImageView& src, const ImageView& dst, double cx, double cy, double spread) {
  return zoom_blur_with(two_tap_pass, src, dst, cx, cy, spread);
}

}  // namespace cvl::imaging
