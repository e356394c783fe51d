// The 64 layer slots: creating, deleting, swapping and choosing layers, their
// options, and whole-layer alpha operations.
//
// Slot numbers are the layer identities; the stacking order is the slot order.
// Slot 0 is the trace layer, slot 1 the background, slots 2..63 painting layers.
// Every function ignores slot numbers outside 0..63.
#pragma once

#include <cstdint>

#include "core/engine.h"

namespace cvl {

// The slot's record when the number names a slot that holds pixels, else null.
Layer* layer_with_pixels(Engine& e, int32_t slot);

// Whether create_layer takes these arguments; when it does and still returns 0,
// memory ran out.
bool layer_request_valid(int32_t slot, int32_t width, int32_t height);
// Gives the slot a cleared layer of the size (slot 1 opaque white, others
// transparent black), keeping its buffer when the size is unchanged. When memory
// is short it releases undo history, oldest first, and retries; it returns 0 once
// the history has nothing more to release. 1 on success.
int32_t create_layer(Engine& e, int32_t slot, int32_t width, int32_t height);
// Frees a slot's pixels; the other fields stay.
void delete_layer(Engine& e, int32_t slot);
// Exchanges two slots' records whole; the current layer number stays with its slot.
void swap_layers(Engine& e, int32_t a, int32_t b);
// Makes a slot that holds pixels the current layer and copies it into the
// under-layer buffer; leaving or entering a Texturize3 layer rebuilds or drops the
// texture map.
void set_layer(Engine& e, int32_t slot);
// Stores visibility, alpha lock, opacity (percent x 2.56) and the mix mode by name
// (a null or unknown name is Normal), then recomputes the top layer.
int32_t set_layer_options(Engine& e, int32_t slot, int32_t visible, int32_t lock_alpha, int32_t opacity_percent,
                          const char* mode_name);
// Slots 0..63 that hold pixels.
int32_t layer_count(const Engine& e);
int32_t current_layer_number(const Engine& e);

// Whole-layer alpha operations over the layer's own size.
void invert_alpha(Engine& e, int32_t slot);
void set_layer_alpha(Engine& e, int32_t slot, int32_t value);
// Folds the opacity into the alpha (opacity x alpha >> 8) and makes the layer fully opaque.
void normalize_layer_alpha(Engine& e, int32_t slot);

// Test seam: the next `count` layer allocations fail as if memory were exhausted,
// so the release of undo history under memory pressure can be exercised. Tests only.
void fail_next_layer_allocations(int32_t count);

}  // namespace cvl
