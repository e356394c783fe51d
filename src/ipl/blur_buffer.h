// A light blur of a caller's RGB24 buffer, mixed with the original.
#pragma once

#include <cstdint>

namespace cvl {

// Blurs the packed RGB24 buffer with radius size / 5 and mixes the blur in by
// strength percent (0 keeps the buffer, 100 takes the blur). A null buffer,
// an empty size or a radius of 0 leaves it as it is.
void blur_more_buffer_rgb24(uint8_t* buffer, int32_t width, int32_t height, int32_t size, int32_t strength);

}  // namespace cvl
