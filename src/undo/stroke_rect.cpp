#include "undo/stroke_rect.h"

#include <algorithm>

#include "core/engine.h"

namespace cvl {

namespace {
StrokeRect g_stroke_rect;
}

StrokeRect& stroke_rect() { return g_stroke_rect; }

void reset_stroke_rect(const Engine& e) { g_stroke_rect = {e.canvas_width - 1, e.canvas_height - 1, 0, 0}; }

void widen_stroke_rect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  widen_stroke_rect(g_stroke_rect, left, top, right, bottom);
}

void widen_stroke_rect(StrokeRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  r.left = std::min(r.left, left);
  r.top = std::min(r.top, top);
  r.right = std::max(r.right, right);
  r.bottom = std::max(r.bottom, bottom);
}

}  // namespace cvl
