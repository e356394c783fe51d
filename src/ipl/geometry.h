// Whole-canvas geometric operations: every layer is flipped, turned, cut or
// resized through a canvas-sized RGBA32 copy (see layer_frame.h). They change
// the layers only; the canvas size, the mask and the working images stay, and
// the host resizes the canvas itself afterwards.
#pragma once

#include <cstdint>

#include "core/engine.h"
#include "core/last_error.h"

namespace cvl {

// Each takes the canvas whose layers (and, for pan, working images) it changes.

// Mirror images. A layer with its alpha locked has its colour flipped and
// keeps its alpha where it was.
void ipl_flip_horizontal(Engine& canvas);
void ipl_flip_vertical(Engine& canvas);

// Quarter turns: a W x H canvas leaves H x W layers.
void ipl_rotate_left(Engine& canvas);
void ipl_rotate_right(Engine& canvas);

// Cuts [left, right) x [top, bottom) out of every layer. A rectangle that is
// empty or leaves the canvas changes nothing. Empty when cut, else why not.
FailureCause ipl_crop(Engine& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom);

// Resamples every layer to new_width x new_height with the named filter
// ("Area Average", "Nearest Neighbor", "Bilinear", "Bicubic", "Box", ...
// "Catrom"). An unknown name or an empty size changes nothing. Empty when
// resampled, else why not.
FailureCause ipl_resize(Engine& canvas, int32_t new_width, int32_t new_height, const char* filter_name);
// The filter names in their table order, for hosts that list them.
int32_t resize_filter_count();
const char* resize_filter_name(int32_t index);

// Changes the width by removing (or inserting) the least visible seams; while
// the mask is enabled, unselected pixels are protected. Rows beyond the
// original height of a taller layer are transparent.
void ipl_seam_carve(Engine& canvas, int32_t new_width, int32_t new_height);

// Grows or shrinks the page around an anchor ("TL" ... "BR"); new area is
// white on the background layer and transparent on the others. An empty size
// changes nothing. Empty when done, else why not.
FailureCause ipl_resize_page(Engine& canvas, int32_t new_width, int32_t new_height, const char* anchor);

// "the size W x H is empty" when either side is not positive, else empty.
FailureCause empty_size(int32_t width, int32_t height);

// Shifts the 32-bit working source by (dx, dy) into the working destination
// and composites that onto the current layer. Edge mode 0 shifts over
// transparency; 1 wraps, 2 repeats the edge, 3 fills with the colour.
void ipl_pan(Engine& canvas, int32_t dx, int32_t dy, int32_t edge_mode, uint8_t r, uint8_t g, uint8_t b,
             uint8_t a, bool apply_mask);

}  // namespace cvl
