// Oil paint: every pixel takes the mean colour of the most common brightness
// (or, per channel, the most common value) in its neighbourhood, so areas flatten
// into strokes while edges stay.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

enum OilPaintFlags : uint32_t {
  kOilRound = 1,       // a round brush instead of a square one
  kOilPerChannel = 2,  // each channel's own most common value instead of brightness
};

// src -> dst, RGB24 views of one size that do not overlap. The neighbourhood
// reaches `radius` pixels each way (parts off the picture are left out); values
// fall into `levels` bins (clamped to 1..256). False for unusable views.
bool oil_paint(const ImageView& src, const ImageView& dst, int32_t radius, int32_t levels, uint32_t flags);

// The same result one plain step at a time: the reference oil_paint is checked
// against.
bool oil_paint_reference(const ImageView& src, const ImageView& dst, int32_t radius, int32_t levels, uint32_t flags);

}  // namespace cvl::imaging
