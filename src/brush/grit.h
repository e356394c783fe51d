// Grit patterns: the 20 byte planes that thin a dab pixel by pixel. A byte of 255
// marks a pixel without grit; patterns are read with row stride brush_capacity.
#pragma once

#include <cstdint>

namespace cvl {

// Where the dab renderer reads the current grit pattern: a buffer number and a
// byte offset into it. Kept as a position rather than an address so that it stays
// valid when the canvas (and with it every grit buffer) is made anew.
struct GritPosition {
  int32_t buffer = 0;
  int32_t offset = 0;
};

GritPosition& current_grit();
// The current pattern's first byte, or null while the canvas has no grit buffers.
const uint8_t* current_grit_bytes();

// Random dot patterns from the tool's dot size, chance and fill, drawn from the
// rand_255/rand_254 tables; the caller has seeded the generator.
void build_random_grit();
// Patterns cut at random from an image script or an image file; false (and the
// patterns untouched) when the path opens neither way.
bool build_grit_from_source(const char* path);

}  // namespace cvl
