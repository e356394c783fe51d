// Filled shapes drawn straight into 8-bit images of 1, 3 or 4 bytes a pixel:
// the selection tools draw them into a grey picture of the mask, the drawing
// tools into an overlay.
//
// Each returns false (and draws nothing) when the image is not one it can
// draw on: no pixels, or another pixel size. Shapes are clipped to the image,
// so a shape partly or wholly outside is not a failure.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"
#include "imaging/pixel_span.h"

namespace cvl::imaging {

// Inclusive on all four sides: {2, 3, 2, 3} is the single pixel (2, 3).
struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// `opacity` is a fraction of the colour laid over what is there: 1 (or more)
// replaces the pixels, 0 leaves them.
bool fill_rect(const ImageView& image, const Rect& rect, const Colour& colour, double opacity = 1.0);

// The ellipse centred on (cx, cy) with radii rx and ry: every pixel with
// (dx / rx)^2 + (dy / ry)^2 <= 1, so it spans cx - rx .. cx + rx. Edges are
// hard (no partial pixels), which keeps a selection's inside and outside
// exact. Negative radii fail.
bool fill_ellipse(const ImageView& image, int32_t cx, int32_t cy, int32_t rx, int32_t ry, const Colour& colour,
                  double opacity = 1.0);

}  // namespace cvl::imaging
