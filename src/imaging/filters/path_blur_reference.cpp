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
  for (int32_t y = 0; y < in.height; ++y) two_tap_row(in, out, cx, cy, A, B, a_is_identity, bias, y);
}

}  // namespace

bool spin_blur_reference(const ImageView& src, const ImageView& dst, double cx, double cy, double angle_radians) {
  return spin_blur_with(two_tap_pass, src, dst, cx, cy, angle_radians);
}

bool zoom_blur_reference(const ImageView& src, const ImageView& dst, double cx, double cy, double spread) {
  return zoom_blur_with(two_tap_pass, src, dst, cx, cy, spread);
}

}  // namespace cvl::imaging
