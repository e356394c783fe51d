// Tone curves: operations that map every byte value of the selected channels
// through one 256-entry table built once per call (brightness and contrast,
// gamma, posterize, solarize, threshold).
#pragma once

#include <cstdint>

#include "imaging/image_view.h"

namespace cvl::imaging {

// `brightness` and `contrast` in -1..1, 0 leaving the image alone. Brightness
// shifts every value by brightness x 255; contrast scales the distance from the
// middle grey by 1 + contrast below 0 (-1 flattens to grey) and by
// 1 / (1 - contrast) above (1 becomes a hard threshold at the middle).
bool adjust_brightness_contrast(const ImageView& image, double brightness, double contrast, uint32_t channel_mask);

// v -> 255 (v / 255)^(1 / gamma): gamma 1 is the identity, above 1 lightens the
// mid tones, below 1 darkens them. Gammas at or below 0 count as 1/256.
bool adjust_gamma(const ImageView& image, double gamma, uint32_t channel_mask);

// Cuts each channel into `levels` equal bands (2..256), each shown by an evenly
// spaced value from 0 to 255.
bool posterize(const ImageView& image, int32_t levels, uint32_t channel_mask);

// Values at or above `threshold` are inverted, those below kept, as film that
// was exposed to light while it developed.
bool solarize(const ImageView& image, int32_t threshold, uint32_t channel_mask);

// Values below the lower of `lo` and `hi` become 0, values above the higher
// become 255, values between are kept; lo = hi is a plain two-level threshold.
bool threshold(const ImageView& image, int32_t lo, int32_t hi, uint32_t channel_mask);

// Maps the selected channels through `table` (one table shared by them).
bool apply_tone_table(const ImageView& image, const uint8_t table[256], uint32_t channel_mask);

}  // namespace cvl::imaging
