// A filled ellipse with an anti-aliased edge, for the drawing tools (the
// selection's hard-edged shapes are in shapes.h).
#pragma once

#include <cstdint>

#include "imaging/image_view.h"
#include "imaging/pixel_span.h"

namespace cvl::imaging {

// The ellipse centred on (cx, cy) with radii rx and ry, pixels weighted by how
// much of them it covers: a one-pixel ramp across the edge, so a pixel centred
// on the edge gets half the colour. Clipped to the image; false for an image
// it cannot draw on or radii below 1.
bool fill_smooth_ellipse(const ImageView& image, int64_t cx, int64_t cy, int64_t rx, int64_t ry,
                         const Colour& colour);

}  // namespace cvl::imaging
