// The area changed since the last undo save. Painting widens it; a save reads it
// and empties it again, so the brush engine never saves anything before it paints.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;

// Inclusive bounds in canvas pixels.
struct StrokeRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

StrokeRect& stroke_rect();

// The empty state: left = canvas width - 1, top = canvas height - 1, right = bottom = 0,
// so that the first widening sets every bound from the painted area.
void reset_stroke_rect(const Engine& e);

// Grows the rectangle to cover the given inclusive bounds.
void widen_stroke_rect(int32_t left, int32_t top, int32_t right, int32_t bottom);
void widen_stroke_rect(StrokeRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom);

}  // namespace cvl
