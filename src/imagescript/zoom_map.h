// Zoom (effect 50): value 3 the magnification in percent (100 keeps the size), 4 and 5
// the centre of the zoom in thousandths of half the width and height from the
// middle, 7 = 1 repeats the picture where zooming out uncovers the canvas (else
// transparent). The source column depends on the destination column alone, and the
// row on the row.
#pragma once

#include "imagescript/effect_support.h"

namespace cvl::imagescript {

class ZoomMap {
 public:
  ZoomMap(const Values& v, int32_t w, int32_t h)
      : percent_(v(3, 100)),
        cx_(centre_x(w) + v(4) * 0.001 * w * 0.5),
        cy_(centre_y(h) + v(5) * 0.001 * h * 0.5),
        inv_(percent_ > 0 ? 100.0 / percent_ : 0),
        edge_(edge_of(v(7), Edge::Transparent)) {}
  bool valid() const { return percent_ > 0; }
  bool changes_nothing() const { return percent_ == 100; }
  Edge edge() const { return edge_; }
  double across(int32_t x) const { return cx_ + (x - cx_) * inv_; }
  double down(int32_t y) const { return cy_ + (y - cy_) * inv_; }

 private:
  int32_t percent_;
  double cx_, cy_, inv_;
  Edge edge_;
};

}  // namespace cvl::imagescript
