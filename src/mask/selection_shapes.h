// Rectangle and ellipse selections. The shape is drawn in grey into a picture
// of the mask (protected parts white) and the picture is loaded back, so the
// whole mask makes the round trip: every word comes back rounded down to a
// multiple of 256, fully open ones stay 65535.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// The box is given by two corners in either order, both included. A strength
// of 100 % protects the shape fully, 0 % opens it.
void mask_rectangle(Engine& e, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t strength_percent);
// The ellipse inscribed in the box, with radii of at least 2 pixels.
void mask_ellipse(Engine& e, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t strength_percent);

}  // namespace cvl
