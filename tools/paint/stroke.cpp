#include "stroke.h"

#include <cmath>

#include "corvel/corvel.h"

namespace corvel_paint {

namespace {
constexpr double kPi = 3.14159265358979323846;
}

int dab_size(int size, double pressure) {
  return std::max(1, static_cast<int>(std::lround(size * std::clamp(pressure, 0.0, 1.0))));
}

double Stroke::step_at(double pressure) const {
  // Spacing is a share of the dab actually painted, so light pressure (small dabs)
  // places dabs closer together and the line stays continuous.
  return std::max(1.0, dab_size(s_.size, pressure) * s_.preset->spacing);
}

Rect Stroke::begin(const StrokeSettings& settings, double x, double y, double pressure) {
  s_ = settings;
  active_ = true;
  dabs_ = 0;
  changed_ = {};
  const BrushPreset& p = *s_.preset;
  // Choosing a layer copies all of it for undo, so only when it is not current already.
  if (CVL_GetLayerNum() != s_.layer) CVL_SetLayer(s_.layer);
  if (p.uses_paint_layer()) {
    // Dabs pile up at full strength in the paint layer; the stroke's opacity is the
    // paint layer's, so overlapping dabs never darken past it. The layer is already
    // clear: it is made cleared, and merging clears it. Clearing again here would cost
    // a pass over the whole canvas at every pen-down.
    CVL_CreatePaintLayer(s_.opacity, "Normal");
  } else {
    CVL_DeletePaintLayer();  // without a paint layer dabs land on the layer itself
  }
  CVL_SetColor(s_.colour.r, s_.colour.g, s_.colour.b);
  if (p.smudge) CVL_CopyBlendBufferSurface(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), 0, 0);
  last_x_ = x;
  last_y_ = y;
  last_p_ = pressure;
  travelled_ = 0;
  return dab(x, y, pressure, 0);
}

Rect Stroke::move_to(double x, double y, double pressure) {
  Rect painted;
  if (!active_) return painted;
  const double dx = x - last_x_, dy = y - last_y_, length = std::hypot(dx, dy);
  const double angle = std::atan2(-dy, dx) * 180 / kPi;
  // Walk the segment: the next dab sits one step past the previous one, the step taken
  // at the pressure interpolated to that point.
  double at = 0;
  for (;;) {
    const double t0 = length > 0 ? at / length : 1;
    const double step = step_at(last_p_ + (pressure - last_p_) * t0) - travelled_;
    if (at + step > length) break;
    at += step;
    travelled_ = 0;
    const double t = at / length;
    painted.add(dab(last_x_ + dx * t, last_y_ + dy * t, last_p_ + (pressure - last_p_) * t, angle));
  }
  travelled_ += length - at;
  last_x_ = x;
  last_y_ = y;
  last_p_ = pressure;
  return painted;
}

Rect Stroke::dab(double x, double y, double pressure, double angle_degrees) {
  const BrushPreset& p = *s_.preset;
  const int size = dab_size(s_.size, pressure);
  CVL_SetScaleSize(size);
  if (p.follow_direction) CVL_SetRotateBrushMode(1, static_cast<int>(std::lround(angle_degrees)));
  const int cx = static_cast<int>(std::lround(x)), cy = static_cast<int>(std::lround(y));
  Colour c = s_.colour;
  if (p.eraser) {
    // The background layer keeps its alpha, so erasing there means painting paper white.
    if (s_.layer == 1)
      c = {255, 255, 255};
    else
      CVL_SetEraseModeOn();
  }
  CVL_DrawDabGrit(cx, cy, c.r << 8, c.g << 8, c.b << 8);
  CVL_DecDrawingLength();
  ++dabs_;
  const Rect r{cx - size / 2, cy - size / 2, cx - size / 2 + size, cy - size / 2 + size};
  changed_.add(r);
  return r;
}

Rect Stroke::end() {
  if (!active_) return {};
  active_ = false;
  if (s_.preset->uses_paint_layer()) CVL_MergePaintLayer(s_.layer);
  CVL_SetRotateBrushMode(0, 0);
  CVL_SaveUndoBuffer(1, 0);
  return changed_;
}

}  // namespace corvel_paint
