#include "imaging/path_blur.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "imaging/channel_mask.h"

namespace cvl::imaging {
namespace {

// p -> c + s (R(a) (p - c)): a turn by a and a scale by s about the centre.
struct Similarity {
  double a = 0, s = 1;
};

// Bilinear sample of a 4-channel image at (x, y), clamped to the border, into out.
inline void sample(const ImageView& in, double x, double y, int32_t out[4]) {
  x = std::clamp(x, 0.0, double(in.width - 1));
  y = std::clamp(y, 0.0, double(in.height - 1));
  const int32_t x0 = std::min(int32_t(x), in.width - 2 < 0 ? 0 : in.width - 2);
  const int32_t y0 = std::min(int32_t(y), in.height - 2 < 0 ? 0 : in.height - 2);
  const int32_t x1 = std::min(x0 + 1, in.width - 1), y1 = std::min(y0 + 1, in.height - 1);
  const int32_t fx = static_cast<int32_t>((x - x0) * 256 + 0.5), fy = static_cast<int32_t>((y - y0) * 256 + 0.5);
  const uint8_t *a = in.row(y0) + x0 * 4, *b = in.row(y0) + x1 * 4;
  const uint8_t *c = in.row(y1) + x0 * 4, *d = in.row(y1) + x1 * 4;
  for (int k = 0; k < 4; ++k) {
    const int32_t top = a[k] * (256 - fx) + b[k] * fx, bottom = c[k] * (256 - fx) + d[k] * fx;
    out[k] = top * (256 - fy) + bottom * fy;  // value x 65536
  }
}

// out(p) = mean of in(A p) and in(B p). `round_up` alternates between passes so
// the halvings do not drift the image's mean.
void two_tap_pass(const ImageView& in, const ImageView& out, double cx, double cy, Similarity A, Similarity B,
                  bool round_up) {
  const double ac = A.s * std::cos(A.a), as = A.s * std::sin(A.a);
  const double bc = B.s * std::cos(B.a), bs = B.s * std::sin(B.a);
  const int32_t bias = round_up ? 65536 : 65535;
  for (int32_t y = 0; y < in.height; ++y) {
    uint8_t* d = out.row(y);
    const double py = y - cy;
    for (int32_t x = 0; x < in.width; ++x, d += 4) {
      const double px = x - cx;
      int32_t u[4], v[4];
      sample(in, cx + ac * px - as * py, cy + as * px + ac * py, u);
      sample(in, cx + bc * px - bs * py, cy + bs * px + bc * py, v);
      for (int k = 0; k < 4; ++k) d[k] = static_cast<uint8_t>((int64_t(u[k]) + v[k] + bias) >> 17);
    }
  }
}

double farthest_corner(const ImageView& v, double cx, double cy) {
  const double dx = std::max(cx, v.width - 1 - cx), dy = std::max(cy, v.height - 1 - cy);
  return std::hypot(dx, dy);
}

// Averages over `first`, then `first` followed by steps of `step` composed k
// times, k < 2^passes. `compose(step, times)` gives the step repeated.
template <class Compose>
bool path_mean(const ImageView& src, const ImageView& dst, double cx, double cy, double span_pixels,
               Similarity first, Similarity step, Compose compose) {
  if (!same_shape(src, dst) || src.channels != 4 || src.data == dst.data) return false;
  if (!(span_pixels >= 1.0)) {
    copy_view(src, dst);
    return true;
  }
  const int32_t passes = std::clamp(static_cast<int32_t>(std::ceil(std::log2(span_pixels))), 1, 10);
  const double count = double(1 << passes);
  step = compose(step, 1.0 / (count - 1));
  Image scratch{std::vector<uint8_t>(size_t(src.width) * src.height * 4), src.width, src.height, 4};
  // Passes alternate between dst and the scratch image so the last lands in dst.
  ImageView a = dst, b = scratch.view();
  if (passes % 2 == 0) std::swap(a, b);
  const Similarity second{first.a + step.a, first.s * step.s};
  two_tap_pass(src, a, cx, cy, first, second, true);
  for (int32_t p = 1; p < passes; ++p) {
    two_tap_pass(a, b, cx, cy, Similarity{}, compose(step, double(1 << p)), p % 2 == 0);
    std::swap(a, b);
  }
  return true;
}

}  // namespace

bool spin_blur(const ImageView& src, const ImageView& dst, double cx, double cy, double angle_radians) {
  if (!std::isfinite(angle_radians) || !std::isfinite(cx) || !std::isfinite(cy)) return false;
  const double angle = std::fabs(angle_radians);
  return path_mean(src, dst, cx, cy, angle * farthest_corner(src, cx, cy), Similarity{-angle / 2, 1},
                   Similarity{angle, 1}, [](Similarity s, double t) { return Similarity{s.a * t, 1}; });
}

bool zoom_blur(const ImageView& src, const ImageView& dst, double cx, double cy, double spread) {
  if (!std::isfinite(spread) || !std::isfinite(cx) || !std::isfinite(cy)) return false;
  spread = std::clamp(spread, 0.0, 1.0);
  const double top = 1 + spread / 2, bottom = 1 - spread / 2;
  return path_mean(src, dst, cx, cy, spread * farthest_corner(src, cx, cy), Similarity{0, top},
                   Similarity{0, bottom / top}, [](Similarity s, double t) { return Similarity{0, std::pow(s.s, t)}; });
}

}  // namespace cvl::imaging
