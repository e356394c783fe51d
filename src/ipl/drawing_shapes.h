// The rectangle and ellipse tools: a filled shape drawn into a canvas-sized
// overlay and composited onto the current layer at an opacity, through the
// selection.
#pragma once

#include <cstdint>

#include "core/engine.h"

namespace cvl {

// The box spans the dragged points: columns x0 .. x1 - 1 when x0 < x1, else
// x1 + 1 .. x0 (the second point's column is left out); rows min(y0, y1) ..
// max(y0, y1), both included.
struct ShapeBox {
  int32_t left, top, right, bottom;  // inclusive
};
ShapeBox shape_box(int32_t x0, int32_t y0, int32_t x1, int32_t y1);

void ipl_rectangle(Engine& canvas, uint8_t r, uint8_t g, uint8_t b, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                   int32_t opacity_percent);
// The ellipse inscribed in the box, radii at least 2, with an anti-aliased edge.
void ipl_ellipse(Engine& canvas, uint8_t r, uint8_t g, uint8_t b, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                 int32_t opacity_percent);

}  // namespace cvl
