// What the user sees: the visible layers, the stroke in progress above the
// current layer, the checkerboard where the canvas is transparent, the trace
// layer and the mask overlay, as blue, green, red bytes in the host's buffer at
// the view scale.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Shows canvas rectangle (x, y, width, height) in dst, output row j at byte
// j * dst_stride. Writes nothing before the host has given a view size or chosen
// a current layer with pixels. Allocates nothing and writes only into dst.
void render_view(const Engine& e, uint8_t* dst, int32_t dst_stride, int32_t x, int32_t y, int32_t width,
                 int32_t height);

}  // namespace cvl
