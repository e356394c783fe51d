// The displacement bump effects: the current layer seen through the relief of
// an image script tiled over the canvas.
#pragma once

#include <cstdint>
#include <vector>

#include "core/engine.h"
#include "core/last_error.h"

namespace cvl {

// Reads the IPL source of `canvas` (32-bit, already premultiplied by the caller), displaces
// it by the grey relief of the script at `path` tiled over the canvas, and
// writes the un-premultiplied result through the selection into the current
// layer. `fill` (r | g << 8 | b << 16) shows where the displacement reaches
// past the canvas. A path that is not a script is read as an image file.
// Changes nothing when neither can be read, either IPL image (32-bit) is
// missing or the depth is no number. Empty when done, else why not.
// The grey relief the effect reads: the path's picture (script or image file)
// repeated from (0, 0) over a w x h canvas, one byte a pixel, packed. False when
// the path gives no picture.
bool grey_relief(const char* path, int32_t w, int32_t h, std::vector<uint8_t>& grey);

FailureCause ipl_displacement_bump(Engine& canvas, const char* path, double depth, uint32_t fill);

}  // namespace cvl
