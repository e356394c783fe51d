#pragma once

#include <cstdint>

#include "core/engine.h"

namespace cvl {

// The slot's record when the number names a slot that holds pixels, else null.
Layer* layer_with_pixels(int32_t slot);
// Frees a slot's pixels; the other fields stay.
void delete_layer(int32_t slot);

}  // namespace cvl

namespace cvl {

// Gives the slot a cleared layer of the size (slot 1 opaque white); 1 on success.
int32_t create_layer(int32_t slot, int32_t width, int32_t height);
// Makes a slot that holds pixels the current layer.
void set_layer(int32_t slot);

}  // namespace cvl
