// The texture map: one byte per canvas pixel (4..250) weighting dab coverage,
// built from a layer's mean channel.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Builds the map from the slot's pixels; returns its address, null when the slot is empty.
uint8_t* create_texture(Engine& e, int32_t slot);
void delete_texture(Engine& e);

}  // namespace cvl
