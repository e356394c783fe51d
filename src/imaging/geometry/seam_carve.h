// Content-aware width change: the least visible vertical seams (one pixel per
// row, neighbours in adjacent rows at most one column apart) are removed, or
// duplicated to widen, so that detail keeps its shape.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// An optional plane of 16-bit protection values, one per source pixel, rows
// `stride` values apart: 0 leaves a pixel free, 65535 protects it fully. A
// fully protected pixel costs more than any whole seam of free pixels, so no
// seam crosses it while a free seam remains.
struct SeamProtection {
  const uint16_t* values = nullptr;
  int32_t stride = 0;  // in values
};

// Writes `src` with its width changed to dst.width into `dst` (same height and
// channel count). Returns false, writing nothing, when the views do not fit.
bool seam_carve_width(const ImageView& src, SeamProtection protection, const ImageView& dst);

}  // namespace cvl::imaging
