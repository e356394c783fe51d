// Whole-image passes over canvas-sized RGBA32 caller images that turn a marked
// region into paint or into transparency.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Every pixel whose flood-map byte is 1 becomes (r, g, b, a).
void colour_rgba32_from_flood_map(const Engine& e, uint8_t* rgba, const uint8_t* flood_map, uint8_t r, uint8_t g,
                                  uint8_t b, uint8_t a);

// Every pixel whose first three bytes are (r, g, b) gets alpha 0.
void clear_alpha_of_colour(const Engine& e, uint8_t* rgba, uint8_t r, uint8_t g, uint8_t b);

}  // namespace cvl
