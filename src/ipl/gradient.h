// The gradient tool: a fade between up to four colours along a line, or around
// a centre, composited onto the current layer through the selection.
#pragma once

#include <cstdint>

#include "core/engine.h"

namespace cvl {

struct GradientColours {
  uint8_t rgb[4][3];
};

// `count` colours (0 fades the first colour in along the line, 1 fades it out;
// more than four are taken as four). Type "Linear" runs from (x0, y0) to
// (x1, y1); any other type (or none) is radial around (x0, y0) with the line's
// length as radius. A gradient that cannot be filled leaves the layer unchanged.
void ipl_gradient(Engine& canvas, const GradientColours& colours, int32_t count, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                  const char* type);

}  // namespace cvl
