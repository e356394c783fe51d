// The paint layer: a canvas-sized layer outside the slots that a whole stroke is
// painted into, shown above the current layer with its own mode and opacity,
// and merged into a layer in one step at the end of the stroke.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Creates the paint layer if it has no pixels, then sets its options.
void create_paint_layer(Engine& e, int32_t opacity_percent, const char* mode_name);
// All pixels transparent black; changed area empty.
void clear_paint_layer(Engine& e);
// Every word 65535, then the changed area 0; changed area empty.
void clear_paint_layer_old(Engine& e);
void delete_paint_layer(Engine& e);
// Composites the changed area onto the slot, then clears the paint layer.
void merge_paint_layer(Engine& e, int32_t slot);
// Softens the paint layer's alpha; colours are untouched.
void blur_paint_layer_alpha(Engine& e);

}  // namespace cvl
