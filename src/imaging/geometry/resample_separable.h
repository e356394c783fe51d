// The separable resizer behind every named resampling method: one horizontal
// and one vertical pass over tap tables (resample_kernels.h), in floating point.
#pragma once

#include <cstdint>
#include <functional>

#include "imaging/image_view.h"
#include "imaging/geometry/resample_kernels.h"

namespace cvl::imaging {

// Resamples `src` into `dst` (any sizes, same channel count of 1 to 4 bytes).
// Four-channel images are filtered premultiplied by their fourth channel, so
// transparent pixels lend no colour to their neighbours; a pixel whose alpha
// comes out 0 is all zero (Nearest copies pixels as they are). Results are
// rounded and clamped to 0..255. Returns false, writing nothing, when the
// views do not fit.
bool resample(const ImageView& src, const ImageView& dst, ResampleMethod method);

// A source read one row at a time, for pictures that are not held as one
// 8-bit image (a 16-bit layer narrowed row by row). `row` returns row y
// (0 <= y < height) as width x channels bytes: a pointer into the caller's
// own pixels or into `scratch`, which it may fill. Rows are asked for top to
// bottom, each about once.
struct RowSource {
  std::function<const uint8_t*(int32_t y, uint8_t* scratch)> row;
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 4;
};
bool resample(const RowSource& src, const ImageView& dst, ResampleMethod method);

}  // namespace cvl::imaging
