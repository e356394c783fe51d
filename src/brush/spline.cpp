#include "brush/spline.h"

#include <array>

#include "core/engine.h"
#include "layers/rgba32_loader.h"
#include "imaging/geometry/push_warp.h"
#include "draw/curve_samples.h"
#include "layers/ipl_images.h"
#include "layers/filter_prep.h"

namespace cvl {
namespace {

struct SplineState {
  std::array<double, 3> control_x{}, control_y{}, control_z{};
  std::array<double, kSplinePoints> x{}, y{}, z{};
  int32_t count = 0;
};

SplineState& spline() {
  static SplineState s;
  return s;
}

double point(const SplineState& s, const std::array<double, kSplinePoints>& axis, uint32_t i) {
  const int32_t n = s.count;
  if (n == 0) return 0;
  return axis[i < static_cast<uint32_t>(n) ? i : static_cast<uint32_t>(n - 1)];
}

// Pushes canvas-sized `src` from (x1, y1) to (x2, y2) into `dst` and loads the
// result into the current layer through the selection.
void push_point(Engine& e, uint8_t* src, uint8_t* dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int32_t w = e.canvas_width, h = e.canvas_height;
  adjust_rgba32_pre_filter(src, w, h);
  const imaging::ImageView from{src, w, h, 4, w * 4}, to{dst, w, h, 4, w * 4};
  if (!imaging::push_image(from, to, x1, y1, x2, y2)) return;
  adjust_rgba32_post_filter(dst, w, h);
  load_rgba32(e, dst, w * 4, true);
}

}  // namespace

int32_t calc_spline3(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint32_t x2, uint32_t y2) {
  SplineState& s = spline();
  s.control_x = {double(x0), double(x1), double(x2)};
  s.control_y = {double(y0), double(y1), double(y2)};
  s.control_z = {0, 0, 0};
  const bool ok = imaging::spline_points_3(kSplinePoints, s.control_x.data(), s.control_y.data(), s.control_z.data(),
                                           s.x.data(), s.y.data(), s.z.data());
  s.count = kSplinePoints;
  return ok ? 1 : 0;
}

int32_t spline_point_count() { return spline().count; }
double spline_point_x(uint32_t i) { return point(spline(), spline().x, i); }
double spline_point_y(uint32_t i) { return point(spline(), spline().y, i); }

void warp_point_to_point(Engine& e, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  uint8_t* src = ipl_buffer(e, IplBuffer::Src32);
  uint8_t* dst = ipl_buffer(e, IplBuffer::Dst32);
  if (!src || !dst) return;
  push_point(e, src, dst, x1, y1, x2, y2);
}

}  // namespace cvl
