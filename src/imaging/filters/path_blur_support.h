// What the spin and zoom blurs share with their plain twins: the similarity a tap
// applies, the bilinear sample, the walk of a tap along a row, and the halving
// passes that build a long path's mean. Only the pass that averages two taps
// differs between path_blur.cpp and path_blur_reference.cpp.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "imaging/channel_mask.h"
#include "imaging/image_view.h"

namespace cvl::imaging::path_blur_detail {

// p -> c + s (R(a) (p - c)): a turn by a and a scale by s about the centre.
struct Similarity {
  double a = 0, s = 1;
};

// The four pixels a bilinear sample at (qx, qy) in 16.16 fixed point reads, with
// coordinates clamped to the image, and the fractions that weigh them.
struct SamplePoint {
  const uint8_t *r0, *r1;  // the top and bottom rows
  int32_t x0, x1;          // the left and right columns
  int32_t fx, fy;          // fractions in 0..255
};

inline SamplePoint locate(const ImageView& in, int64_t qx, int64_t qy) {
  const int64_t max_x = int64_t(in.width - 1) << 16, max_y = int64_t(in.height - 1) << 16;
  qx = std::clamp<int64_t>(qx, 0, max_x);
  qy = std::clamp<int64_t>(qy, 0, max_y);
  const int32_t x0 = int32_t(qx >> 16), y0 = int32_t(qy >> 16);
  const int32_t fx = int32_t(qx >> 8) & 255, fy = int32_t(qy >> 8) & 255;
  // On the last row or column the fraction is 0, so the neighbour is not read
  // past the edge.
  const uint8_t* r0 = in.row(y0);
  return SamplePoint{r0, fy ? in.row(y0 + 1) : r0, x0, fx ? x0 + 1 : x0, fx, fy};
}

// Bilinear sample of a 4-channel image at (qx, qy) (see `locate`) into out as
// value x 65536.
inline void sample(const ImageView& in, int64_t qx, int64_t qy, int32_t out[4]) {
  const SamplePoint p = locate(in, qx, qy);
  const int32_t fx = p.fx, fy = p.fy;
  const uint8_t *a = p.r0 + p.x0 * 4, *b = p.r0 + p.x1 * 4, *c = p.r1 + p.x0 * 4, *d = p.r1 + p.x1 * 4;
  for (int k = 0; k < 4; ++k) {
    const int32_t top = a[k] * (256 - fx) + b[k] * fx, bottom = c[k] * (256 - fx) + d[k] * fx;
    out[k] = top * (256 - fy) + bottom * fy;
  }
}

// Where a similarity sends the start of row y, and its step per pixel, in 16.16.
struct RowWalk {
  double x = 0, y = 0, dx = 0, dy = 0;
  RowWalk(Similarity t, double cx, double cy, int32_t row) {
    const double c = t.s * std::cos(t.a), s = t.s * std::sin(t.a), py = row - cy;
    x = (cx + c * -cx - s * py) * 65536, y = (cy + s * -cx + c * py) * 65536;
    dx = c * 65536, dy = s * 65536;
  }
  int64_t qx(int32_t i) const { return static_cast<int64_t>(x + dx * i + 0.5); }
  int64_t qy(int32_t i) const { return static_cast<int64_t>(y + dy * i + 0.5); }
};

// Row y of a two-tap pass, a pixel and channel at a time: out(p) = mean of in(A p)
// and in(B p), A the identity when `a_is_identity`, (sum + bias) >> 17.
inline void two_tap_row(const ImageView& in, const ImageView& out, double cx, double cy, Similarity A, Similarity B,
                        bool a_is_identity, int32_t bias, int32_t y) {
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

inline double farthest_corner(const ImageView& v, double cx, double cy) {
  const double dx = std::max(cx, v.width - 1 - cx), dy = std::max(cy, v.height - 1 - cy);
  return std::hypot(dx, dy);
}

// Averages over `first`, then `first` followed by steps of `step` composed k
// times, k < 2^passes. `compose(step, times)` gives the step repeated.
// `pass(in, out, cx, cy, A, B, a_is_identity, round_up)` writes every pixel of
// out as the mean of in(A p) and in(B p); A may be the identity (`a_is_identity`),
// read without resampling, and `round_up` alternates between passes so the
// halvings do not drift the image's mean.
template <class Pass, class Compose>
bool path_mean(const ImageView& src, const ImageView& dst, double cx, double cy, double span_pixels, Similarity first,
               Similarity step, Pass pass, Compose compose) {
  if (!same_shape(src, dst) || src.channels != 4 || src.data == dst.data) return false;
  if (!(span_pixels >= 1.0)) {
    copy_view(src, dst);
    return true;
  }
  const int32_t passes = std::clamp(static_cast<int32_t>(std::ceil(std::log2(span_pixels))), 1, 10);
  const double count = double(1 << passes);
  step = compose(step, 1.0 / (count - 1));
  // Left unfilled: every pass writes all of its output before the next reads it,
  // and the pages are first touched by the banded passes rather than by one thread.
  const std::unique_ptr<uint8_t[]> scratch(new uint8_t[size_t(src.width) * src.height * 4]);
  // Passes alternate between dst and the scratch image so the last lands in dst.
  ImageView a = dst, b{scratch.get(), src.width, src.height, 4, src.width * 4};
  if (passes % 2 == 0) std::swap(a, b);
  const Similarity second{first.a + step.a, first.s * step.s};
  pass(src, a, cx, cy, first, second, false, true);
  for (int32_t p = 1; p < passes; ++p) {
    pass(a, b, cx, cy, Similarity{}, compose(step, double(1 << p)), true, p % 2 == 0);
    std::swap(a, b);
  }
  return true;
}

// The spin blur's path: turns spread evenly over the angle, centred on no turn.
template <class Pass>
bool spin_blur_with(Pass pass, const ImageView& src, const ImageView& dst, double cx, double cy, double angle_radians) {
  if (!std::isfinite(angle_radians) || !std::isfinite(cx) || !std::isfinite(cy)) return false;
  const double angle = std::fabs(angle_radians);
  return path_mean(src, dst, cx, cy, angle * farthest_corner(src, cx, cy), Similarity{-angle / 2, 1},
                   Similarity{angle, 1}, pass, [](Similarity s, double t) {
                     return Similarity{s.a * t, 1};
                   });
}

// The zoom blur's path: scales from 1 + spread / 2 down to 1 - spread / 2.
template <class Pass>
bool zoom_blur_with(Pass pass, const ImageView& src, const ImageView& dst, double cx, double cy, double spread) {
  if (!std::isfinite(spread) || !std::isfinite(cx) || !std::isfinite(cy)) return false;
  spread = std::clamp(spread, 0.0, 1.0);
  const double top = 1 + spread / 2, bottom = 1 - spread / 2;
  return path_mean(src, dst, cx, cy, spread * farthest_corner(src, cx, cy), Similarity{0, top},
                   Similarity{0, bottom / top}, pass, [](Similarity s, double t) {
                     return Similarity{0, std::pow(s.s, t)};
                   });
}

}  // namespace cvl::imaging::path_blur_detail
