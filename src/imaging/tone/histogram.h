// Histogram equalization and stretching of 8-bit colour images.
//
// Only the colour channels are remapped: alpha is coverage, not tone, and a
// remapped alpha would make opaque layers translucent. On 4-channel images the
// histogram counts only pixels that are not fully transparent, whose colour is
// not seen and would otherwise pull the darkest value to whatever transparent
// pixels happen to hold.
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

enum class HistogramBasis : uint8_t {
  Brightness,  // one histogram of the pixels' luma; its table is applied to R, G and B
  PerChannel,  // R, G and B each remapped by their own histogram
};

// Remaps values so that their cumulative count rises evenly from `lo` to `hi`
// (output bytes; lo > hi inverts). An image of one value is left alone.
bool histogram_equalize(const ImageView& image, int32_t lo, int32_t hi, HistogramBasis basis);

// Maps the darkest counted value to `lo` and the brightest to `hi`, linearly.
// An image of one value is left alone.
bool histogram_stretch(const ImageView& image, int32_t lo, int32_t hi, HistogramBasis basis);

// Stretches the HSL lightness from its darkest to its brightest onto lo..hi,
// keeping each pixel's hue and saturation.
bool lightness_histogram_stretch(const ImageView& image, int32_t lo, int32_t hi);

}  // namespace cvl::imaging
