// Hue, saturation and value (or lightness) shifts over a packed RGBA32 buffer.
#pragma once

#include <cstdint>

namespace cvl {

// hue_shift in degrees; saturation and value/lightness changes in percent,
// added as change / 100 and held to 0..1. Alpha bytes are kept.
void hsv_adjust_buffer(uint8_t* rgba, int32_t width, int32_t height, int32_t hue_shift, int32_t saturation,
                       int32_t value);
void hsl_adjust_buffer(uint8_t* rgba, int32_t width, int32_t height, int32_t hue_shift, int32_t saturation,
                       int32_t lightness);

}  // namespace cvl
