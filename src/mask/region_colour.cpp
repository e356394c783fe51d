#include "mask/region_colour.h"

#include <cstddef>

#include "core/engine.h"

namespace cvl {

void colour_rgba32_from_flood_map(const Engine& e, uint8_t* rgba, const uint8_t* flood_map, uint8_t r, uint8_t g,
                                  uint8_t b, uint8_t a) {
  if (!rgba || !flood_map) return;
  const size_t n = e.canvas_pixels();
  for (size_t i = 0; i < n; ++i, rgba += 4) {
    if (flood_map[i] != 1) continue;
    rgba[0] = r, rgba[1] = g, rgba[2] = b, rgba[3] = a;
  }
}

void clear_alpha_of_colour(const Engine& e, uint8_t* rgba, uint8_t r, uint8_t g, uint8_t b) {
  if (!rgba) return;
  const size_t n = e.canvas_pixels();
  for (size_t i = 0; i < n; ++i, rgba += 4)
    if (rgba[0] == r && rgba[1] == g && rgba[2] == b) rgba[3] = 0;
}

}  // namespace cvl
