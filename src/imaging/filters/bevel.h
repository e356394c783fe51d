// Bevel: the picture's border shaded as the sloping edge of a raised (or sunken) tile.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

struct BevelSettings {
  int32_t width = 10;       // pixels of slope along each border; 0 does nothing
  double azimuth = 2.356;   // light direction, radians (0 from the right, counter-clockwise)
  double elevation = 0.785; // light height above the picture, radians
  double highlight = 0.5;   // how far lit slopes move toward white (0..1)
  double shadow = 0.5;      // how far slopes turned away move toward black (0..1)
  double rounding = 0;      // 0 straight slopes at 45 degrees, 1 a rounded profile, steep at the edge
  bool sunken = false;      // slopes fall toward the middle instead of toward the border
};

// Shades the border band of a 3- or 4-channel image in place (alpha left alone):
// each pixel belongs to the slope of its nearest border, lit by how much more or
// less than a flat surface the slope faces the light.
bool shade_bevel_edge(const ImageView& image, const BevelSettings& settings);

}  // namespace cvl::imaging
