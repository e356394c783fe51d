// The paint bucket: paints, or erases, the pixels a click selects in the
// current layer. The result enters the layer through the selection, so the
// mask and texture protect what they protect.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Modes: "Paint Connected", "Paint Non-connected", "Erase Connected",
// "Erase Non-connected", "Paint Alpha Connected", "Paint Alpha Non-Connected"
// (capital N there). `tolerance` is a percentage * 500; (r, g, b) the 8-bit
// paint colour. Erasing on the background paints instead. A click off the
// canvas does nothing; an unknown mode still refills and frees the IPL source.
void paint_bucket(Engine& e, int32_t r, int32_t g, int32_t b, int32_t x, int32_t y, int32_t tolerance,
                  const char* mode);

}  // namespace cvl
