// Regions grown from a seed pixel: every pixel reachable from the seed through
// its four neighbours (left, right, up, down) whose colour lies within a
// squared distance of the seed pixel's own colour (see colour_distance.h).
// The seed always belongs to its region unless the tolerance is negative.
//
// The walk is a scanline fill with an explicit stack of row spans: no
// recursion, no allocation per pixel, each pixel looked at a small constant
// number of times, so a canvas-sized maze costs about as much as an open one.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"
#include "imaging/pixel_span.h"

namespace cvl::imaging {

struct Point {
  int32_t x = 0, y = 0;
};

// Paints the seed's region in `colour` (its first `channels` bytes). Returns
// the number of pixels painted, or -1 when the image is not 1, 3 or 4 bytes a
// pixel or the seed is off the image.
int64_t flood_fill(const ImageView& image, Point seed, const Colour& colour, int32_t tolerance);

// Marks the seed's region in a byte map of the image's size (rows map_pitch
// bytes apart): 1 on the region, 0 everywhere else. The image is not changed.
// Returns the region's size, or -1 as for flood_fill (the map then untouched).
int64_t colour_match_map(const ImageView& image, Point seed, int32_t tolerance, uint8_t* map, int32_t map_pitch);

}  // namespace cvl::imaging
