#include "ipl/drawing_shapes.h"

#include <algorithm>

#include "core/engine.h"
#include "layers/ipl_images.h"
#include "layers/pixel_access.h"
#include "core/pixel_convert.h"
#include "draw/shapes.h"
#include "draw/smooth_ellipse.h"
#include "ipl/overlay_composite.h"

namespace cvl {
namespace {

constexpr int64_t kMinRadius = 2;

// Draws the shape into the overlay; false when the drawing call fails.
using DrawShape = bool (*)(const imaging::ImageView&, const ShapeBox&, const imaging::Colour&);

void draw_shape(Engine& canvas, uint8_t r, uint8_t g, uint8_t b, const ShapeBox& box, int32_t opacity_percent,
                DrawShape draw) {
  if (!ipl_source_layer(canvas)) return;
  const OverlayScope scope(canvas);
  uint8_t* overlay = scope.get();
  if (!overlay) return;
  const Engine& e = canvas;
  // The overlay starts as the shape's colour, fully transparent, so that an
  // anti-aliased edge only ever varies in alpha.
  clear_rgba32(overlay, e.canvas_width * 4, e.canvas_width, e.canvas_height, r, g, b, 0);
  const imaging::ImageView view{overlay, e.canvas_width, e.canvas_height, 4, e.canvas_width * 4};
  if (draw(view, box, imaging::Colour{r, g, b, 255}))
    composite_overlay(canvas, overlay, 0, opacity_level(opacity_percent));
}

bool draw_rectangle(const imaging::ImageView& view, const ShapeBox& box, const imaging::Colour& colour) {
  return imaging::fill_rect(view, imaging::Rect{box.left, box.top, box.right, box.bottom}, colour);
}

bool draw_ellipse(const imaging::ImageView& view, const ShapeBox& box, const imaging::Colour& colour) {
  const int64_t rx = std::max<int64_t>((int64_t{box.right} - box.left) / 2, kMinRadius);
  const int64_t ry = std::max<int64_t>((int64_t{box.bottom} - box.top) / 2, kMinRadius);
  return imaging::fill_smooth_ellipse(view, box.left + rx, box.top + ry, rx, ry, colour);
}

}  // namespace

ShapeBox shape_box(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  ShapeBox box;
  if (x0 < x1) {
    box.left = x0;
    box.right = x1 - 1;
  } else {
    box.left = x1 + 1;
    box.right = x0;
  }
  box.top = std::min(y0, y1);
  box.bottom = std::max(y0, y1);
  return box;
}

void ipl_rectangle(Engine& canvas, uint8_t r, uint8_t g, uint8_t b, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                   int32_t opacity_percent) {
  draw_shape(canvas, r, g, b, shape_box(x0, y0, x1, y1), opacity_percent, draw_rectangle);
}

void ipl_ellipse(Engine& canvas, uint8_t r, uint8_t g, uint8_t b, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                 int32_t opacity_percent) {
  draw_shape(canvas, r, g, b, shape_box(x0, y0, x1, y1), opacity_percent, draw_ellipse);
}

}  // namespace cvl
