// The row code of the dab renderer. A dab picks its row function once, from what
// cannot change within it; each call then renders one canvas row of the footprint.
#pragma once

#include <cstdint>

#include "brush/dab_frame.h"

namespace cvl {

// Renders canvas row y, whose tip row is tr, over the frame's columns.
using DabRowFn = void (*)(DabFrame& f, int32_t y, int32_t tr);

// Both choose the passes for the frame's switches and keep them in f.plan.
DabRowFn select_colour_row(DabFrame& f);
DabRowFn select_mask_row(DabFrame& f);

// The reference rows: every step per pixel, settings tested as they come.
void colour_row_generic(DabFrame& f, int32_t y, int32_t tr);
void mask_row_generic(DabFrame& f, int32_t y, int32_t tr);

}  // namespace cvl
