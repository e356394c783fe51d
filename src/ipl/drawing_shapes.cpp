#include "ipl/drawing_shapes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/engine.h"
#include "core/pixel_access.h"
#include "core/pixel_convert.h"
#include "ipl/overlay_composite.h"

namespace cvl {
namespace {

constexpr int64_t kMinRadius = 2;

struct Overlay {
  uint8_t* data;
  int32_t width, height;
  uint8_t* row(int32_t y) const { return data + static_cast<size_t>(y) * static_cast<size_t>(width) * 4; }
};

// The overlay starts as the shape's colour, fully transparent, so that its
// anti-aliased edge only ever varies in alpha.
Overlay start_overlay(uint8_t* data, uint8_t r, uint8_t g, uint8_t b) {
  const Engine& e = engine();
  clear_rgba32(data, e.canvas_width * 4, e.canvas_width, e.canvas_height, r, g, b, 0);
  return {data, e.canvas_width, e.canvas_height};
}

void fill_rect_alpha(const Overlay& o, const ShapeBox& box) {
  const int32_t left = std::max(box.left, 0), right = std::min(box.right, o.width - 1);
  const int32_t top = std::max(box.top, 0), bottom = std::min(box.bottom, o.height - 1);
  for (int32_t y = top; y <= bottom; ++y) {
    uint8_t* p = o.row(y);
    for (int32_t x = left; x <= right; ++x) p[static_cast<size_t>(x) * 4 + 3] = 255;
  }
}

// Coverage of the pixel centred at (dx, dy) from the ellipse's centre, from
// its signed distance to the edge, approximated by the implicit function over
// its gradient: a one-pixel ramp across the edge.
uint8_t ellipse_coverage(double dx, double dy, double inv_rx2, double inv_ry2) {
  const double f = dx * dx * inv_rx2 + dy * dy * inv_ry2;
  const double gx = dx * inv_rx2, gy = dy * inv_ry2;
  const double gradient = 2.0 * std::sqrt(gx * gx + gy * gy);
  if (gradient == 0.0) return 255;
  const double cover = 0.5 - (f - 1.0) / gradient;
  if (cover <= 0.0) return 0;
  if (cover >= 1.0) return 255;
  return static_cast<uint8_t>(std::lround(cover * 255.0));
}

void fill_ellipse_alpha(const Overlay& o, int64_t cx, int64_t cy, int64_t rx, int64_t ry) {
  const double inv_rx2 = 1.0 / static_cast<double>(rx * rx), inv_ry2 = 1.0 / static_cast<double>(ry * ry);
  const int32_t top = static_cast<int32_t>(std::max<int64_t>(cy - ry - 1, 0));
  const int32_t bottom = static_cast<int32_t>(std::min<int64_t>(cy + ry + 1, o.height - 1));
  const int64_t left = std::max<int64_t>(cx - rx - 1, 0);
  const int64_t right = std::min<int64_t>(cx + rx + 1, o.width - 1);
  for (int32_t y = top; y <= bottom; ++y) {
    uint8_t* p = o.row(y);
    const double dy = static_cast<double>(y - cy);
    for (int64_t x = left; x <= right; ++x) {
      const uint8_t a = ellipse_coverage(static_cast<double>(x - cx), dy, inv_rx2, inv_ry2);
      p[x * 4 + 3] = a;
      // Coverage only depends on dx squared: a full pixel left of the centre
      // means the whole run up to its mirror image is full too.
      if (a == 255 && x < cx) {
        const int64_t mirror = std::min(2 * cx - x, right);
        for (int64_t m = x + 1; m <= mirror; ++m) p[m * 4 + 3] = 255;
        x = mirror;
      }
    }
  }
}

using DrawShape = void (*)(const Overlay&, const ShapeBox&);

void draw_shape(uint8_t r, uint8_t g, uint8_t b, const ShapeBox& box, int32_t opacity_percent, DrawShape draw) {
  if (!current_layer_with_pixels()) return;
  const OverlayScope scope;
  if (!scope.get()) return;
  const Overlay overlay = start_overlay(scope.get(), r, g, b);
  draw(overlay, box);
  composite_overlay(overlay.data, 0, opacity_level(opacity_percent));
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

void ipl_rectangle(uint8_t r, uint8_t g, uint8_t b, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                   int32_t opacity_percent) {
  draw_shape(r, g, b, shape_box(x0, y0, x1, y1), opacity_percent, fill_rect_alpha);
}

void ipl_ellipse(uint8_t r, uint8_t g, uint8_t b, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                 int32_t opacity_percent) {
  draw_shape(r, g, b, shape_box(x0, y0, x1, y1), opacity_percent, [](const Overlay& o, const ShapeBox& box) {
    const int64_t rx = std::max<int64_t>((static_cast<int64_t>(box.right) - box.left) / 2, kMinRadius);
    const int64_t ry = std::max<int64_t>((static_cast<int64_t>(box.bottom) - box.top) / 2, kMinRadius);
    fill_ellipse_alpha(o, box.left + rx, box.top + ry, rx, ry);
  });
}

}  // namespace cvl
