// Hue, saturation and value/lightness adjusters over caller RGBA32 buffers.
#include "core/colour_adjust.h"
#include "corvel/corvel.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_ProcessBuffer_HSVAdjust(uint8_t* buffer, int32_t width, int32_t height, int32_t hue,
                                                     int32_t saturation, int32_t value) {
  hsv_adjust_buffer(buffer, width, height, hue, saturation, value);
  return width;
}

CVL_API int32_t CVL_CALL CVL_ProcessBuffer_HSLAdjust(uint8_t* buffer, int32_t width, int32_t height, int32_t hue,
                                                     int32_t saturation, int32_t lightness) {
  hsl_adjust_buffer(buffer, width, height, hue, saturation, lightness);
  return width;
}

}  // extern "C"
