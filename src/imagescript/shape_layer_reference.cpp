// The layer's drawing as first written: every pixel of a shape's box measured with
// its exact distance, one pixel at a time. The drawing in shape_layer.cpp skips what
// cannot change and must give the same words; the differential tests hold it to this.
#include <cmath>

#include "imagescript/shape_layer.h"

namespace cvl::imagescript {

using detail::span;

void PaintLayer::cover_reference(int32_t x, int32_t y, const Rgb& colour, double coverage) {
  lay(x, y, colour, coverage, [](int32_t n, int32_t d) { return static_cast<uint8_t>(n / d); });
}

namespace {

// Distance from p to the segment a-b.
double segment_distance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

}  // namespace

void PaintLayer::ring_reference(double cx, double cy, double radius, double width, const Rgb& colour) {
  radius = std::max(radius, 0.5);
  int32_t x0, x1, y0, y1;
  span(cx, cx, radius + 1, w_, x0, x1);
  span(cy, cy, radius + 1, h_, y0, y1);
  const double inner = width > 0 ? std::max(radius - width, 0.0) : -1.0;
  for (int32_t y = y0; y < y1; ++y)
    for (int32_t x = x0; x < x1; ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      double c = std::clamp(radius + 0.5 - d, 0.0, 1.0);
      if (inner >= 0) c = std::min(c, std::clamp(d - inner + 0.5, 0.0, 1.0));
      cover_reference(x, y, colour, c);
    }
}

void PaintLayer::polyline_reference(const std::vector<double>& xy, double width, const Rgb& colour, double opacity) {
  const size_t points = xy.size() / 2;
  if (points == 0) return;
  const double half = std::max(width, 1.0) * 0.5;
  // The coverage of each pixel is that of its nearest segment, found over the
  // stroke's box in one pass so that overlapping joints are not laid twice.
  int32_t bx0, bx1, by0, by1;
  detail::points_box(xy.data(), points, half + 1, w_, h_, bx0, bx1, by0, by1);
  if (bx0 >= bx1 || by0 >= by1) return;
  // Long wandering strokes would make the box large; stamp segment by segment then,
  // keeping the best coverage per pixel in a small map of the box.
  std::vector<float> best(size_t(bx1 - bx0) * (by1 - by0), 0.f);
  const size_t bw = size_t(bx1 - bx0);
  for (size_t i = 0; i + 1 < std::max<size_t>(points, 2); ++i) {
    const size_t j = std::min(i + 1, points - 1);
    const double ax = xy[2 * i], ay = xy[2 * i + 1], cx = xy[2 * j], cy = xy[2 * j + 1];
    int32_t sx0, sx1, sy0, sy1;
    span(ax, cx, half + 1, w_, sx0, sx1);
    span(ay, cy, half + 1, h_, sy0, sy1);
    for (int32_t y = sy0; y < sy1; ++y)
      for (int32_t x = sx0; x < sx1; ++x) {
        const double c = std::clamp(half + 0.5 - segment_distance(x + 0.5, y + 0.5, ax, ay, cx, cy), 0.0, 1.0);
        float& b = best[size_t(y - by0) * bw + size_t(x - bx0)];
        b = std::max(b, static_cast<float>(c));
      }
  }
  for (int32_t y = by0; y < by1; ++y)
    for (int32_t x = bx0; x < bx1; ++x) {
      const float c = best[size_t(y - by0) * bw + size_t(x - bx0)];
      if (c > 0) cover_reference(x, y, colour, c * opacity);
    }
}

void PaintLayer::rectangle_reference(double x0, double y0, double x1, double y1, double line, const Rgb& colour) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  int32_t px0, px1, py0, py1;
  span(x0, x1, 1, w_, px0, px1);
  span(y0, y1, 1, h_, py0, py1);
  for (int32_t y = py0; y < py1; ++y) {
    // Coverage of the pixel's extent by an interval, per axis.
    const double cy = std::clamp(std::min(y + 1.0, y1) - std::max(double(y), y0), 0.0, 1.0);
    for (int32_t x = px0; x < px1; ++x) {
      const double cx = std::clamp(std::min(x + 1.0, x1) - std::max(double(x), x0), 0.0, 1.0);
      double c = cx * cy;
      if (line > 0 && c > 0) {
        const double ix0 = x0 + line, ix1 = x1 - line, iy0 = y0 + line, iy1 = y1 - line;
        const double icx = std::clamp(std::min(x + 1.0, ix1) - std::max(double(x), ix0), 0.0, 1.0);
        const double icy = std::clamp(std::min(y + 1.0, iy1) - std::max(double(y), iy0), 0.0, 1.0);
        if (ix1 > ix0 && iy1 > iy0) c -= icx * icy;
      }
      cover_reference(x, y, colour, c);
    }
  }
}

void PaintLayer::blend_onto_reference(uint8_t* rgba, Blend mode) const {
  detail::blend_pixels(px_.data(), rgba, size_t(w_) * h_, mode,
                       [](int32_t mixed, int32_t sa, int32_t dk, int32_t da, int32_t oa) {
                         return oa ? detail::saturate_byte((mixed * sa + dk * da * (255 - sa) / 255) / oa) : uint8_t{0};
                       });
}

}  // namespace cvl::imagescript
