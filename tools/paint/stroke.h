// One stroke from pen-down to pen-up: pointer samples become dabs at even spacing,
// painted into the stroke's paint layer, merged and saved for undo at the end.
#pragma once

#include <algorithm>

#include "brushes.h"

namespace corvel_paint {

// A canvas rectangle, right and bottom exclusive; empty when right <= left.
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
  void add(const Rect& r) {
    if (r.empty()) return;
    if (empty()) {
      *this = r;
      return;
    }
    left = std::min(left, r.left);
    top = std::min(top, r.top);
    right = std::max(right, r.right);
    bottom = std::max(bottom, r.bottom);
  }
};

struct Colour {
  int r = 0, g = 0, b = 0;
};

// What a stroke is painted with, fixed at pen-down.
struct StrokeSettings {
  const BrushPreset* preset = nullptr;
  int size = 24;         // brush size in canvas pixels at full pressure
  int opacity = 100;     // percent: the paint layer's for painting brushes, per dab otherwise
  Colour colour;
  int layer = 2;         // slot the stroke lands on
};

class Stroke {
 public:
  bool active() const { return active_; }
  // Pen-down at a canvas position with pressure 0..1; returns the area it painted.
  Rect begin(const StrokeSettings& settings, double x, double y, double pressure);
  // Pen moved: dabs every `spacing` of the dab size along the straight segment from
  // the last sample, pressure interpolated along it. Returns the area painted.
  Rect move_to(double x, double y, double pressure);
  // Pen-up: merges the paint layer into the layer and records the step for undo.
  // Returns the area that changed.
  Rect end();
  int dabs() const { return dabs_; }

 private:
  Rect dab(double x, double y, double pressure, double angle_degrees);
  double step_at(double pressure) const;

  StrokeSettings s_;
  bool active_ = false;
  double last_x_ = 0, last_y_ = 0, last_p_ = 1;
  double travelled_ = 0;  // distance since the last dab
  int dabs_ = 0;
  Rect changed_;
};

// Dab edge for a brush size and pressure: pressure scales the size, never below 1 pixel.
int dab_size(int size, double pressure);

}  // namespace corvel_paint
