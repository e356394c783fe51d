// The offset transform: an image shifted by whole pixels, with a rule for the
// pixels that the shift uncovers.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

enum class EdgeMode {
  Fill,    // uncovered pixels take the fill colour
  Wrap,    // what leaves one side comes back on the other
  Repeat,  // the nearest edge pixel is repeated outwards
};

// The transform's numbering of edge modes as callers store it: 0 and 3 fill,
// 1 wraps, 2 repeats the edge. Other codes are not edge modes (false).
bool edge_mode_from_code(int32_t code, EdgeMode* mode);

// dst(x, y) = src(x - dx, y - dy), both views of the same size and channel
// count and not overlapping; `fill` holds one pixel's bytes, read in Fill mode only.
bool offset_image(const ImageView& src, const ImageView& dst, int32_t dx, int32_t dy, EdgeMode mode,
                  const uint8_t* fill);

}  // namespace cvl::imaging
