// Grit patterns: the 20 byte planes that thin a dab pixel by pixel. A byte of 255
// marks a pixel without grit; patterns are read with row stride brush_capacity.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;
struct ToolSettings;

// Where the dab renderer reads the current grit pattern: a buffer number and a
// byte offset into it. Kept as a position rather than an address so that it stays
// valid when the canvas (and with it every grit buffer) is made anew.
struct GritPosition {
  int32_t buffer = 0;
  int32_t offset = 0;
};

GritPosition& current_grit();
// The first byte of the pattern at `g` in the canvas's grit buffers, or null
// while the canvas has none.
const uint8_t* grit_bytes(const Engine& e, const GritPosition& g);

// Random dot patterns from the tool's dot size, chance and fill, drawn from the
// rand_255/rand_254 tables; the caller has seeded the generator. `g` is left
// at the last pattern built.
void build_random_grit(Engine& e, const ToolSettings& t, GritPosition& g);
// Patterns cut at random from an image script or an image file; false (and the
// patterns untouched) when the path opens neither way.
bool build_grit_from_source(Engine& e, const ToolSettings& t, const char* path);

}  // namespace cvl
