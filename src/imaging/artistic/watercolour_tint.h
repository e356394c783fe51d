// Watercolour tint: the picture as a light, soft wash of transparent paint.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

namespace watercolour {
constexpr uint32_t kDarkEdges = 1;  // pigment pools where the wash changes, darkening the borders
constexpr uint32_t kGrain = 2;      // a fixed paper grain shows through
}  // namespace watercolour

// dst = src softened (a small blur), lightened as a thin wash and mixed over
// src by `amount` (0 keeps src, 1 is the full wash). 3- or 4-channel views of
// the same size; a fourth channel is copied. src and dst must not overlap.
bool watercolour_tint(const ImageView& src, const ImageView& dst, double amount, uint32_t flags);

}  // namespace cvl::imaging
