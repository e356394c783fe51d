// A light 3x3 blur of one 8-bit plane, used to soften stroke edges.
#pragma once

#include <cstdint>

namespace cvl::imaging {

// Writes into dst the 3x3 box average of src (edges repeat the border pixel),
// mixed with the original by strength percent (100 = fully blurred). Strides are
// in bytes; src and dst must not overlap. Returns false for an empty plane.
bool blur3x3_plane8(const uint8_t* src, int32_t width, int32_t height, int32_t src_stride, uint8_t* dst,
                    int32_t dst_stride, int32_t strength);

}  // namespace cvl::imaging
