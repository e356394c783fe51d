#include "ipl/gradient.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/engine.h"
#include "layers/ipl_images.h"
#include "layers/pixel_access.h"
#include "core/pixel_convert.h"
#include "draw/gradient_fill.h"
#include "ipl/overlay_composite.h"

namespace cvl {
namespace {

constexpr int32_t kMaxColours = 4;

// The stops carry transparency in their fourth byte (0 = opaque); the filled
// overlay's alpha is inverted afterwards.
int32_t make_stops(const GradientColours& colours, int32_t count, imaging::GradientStop* stops) {
  auto stop = [&](int32_t colour, uint8_t transparency, int32_t position) {
    const uint8_t* c = colours.rgb[colour];
    return imaging::GradientStop{{c[0], c[1], c[2], transparency}, position};
  };
  if (count <= 0) {  // the first colour fading in from nothing
    stops[0] = stop(0, 255, 0);
    stops[1] = stop(0, 0, 100);
    return 2;
  }
  if (count == 1) {  // the first colour fading out
    stops[0] = stop(0, 0, 0);
    stops[1] = stop(0, 255, 100);
    return 2;
  }
  // Only four colours come in: a larger count must not read stops that were never given.
  count = std::min(count, kMaxColours);
  const int32_t spacing = 100 / (count - 1);
  for (int32_t k = 0; k < count; ++k) stops[k] = stop(k, 0, k * spacing);
  return count;
}

}  // namespace

void ipl_gradient(Engine& canvas, const GradientColours& colours, int32_t count, int32_t x0, int32_t y0, int32_t x1,
                  int32_t y1, const char* type) {
  if (!ipl_source_layer(canvas)) return;
  imaging::GradientStop stops[kMaxColours];
  const int32_t stop_count = make_stops(colours, count, stops);

  const OverlayScope scope(canvas);
  uint8_t* overlay = scope.get();
  if (!overlay) return;
  const Engine& e = canvas;
  const imaging::ImageView view{overlay, e.canvas_width, e.canvas_height, 4, e.canvas_width * 4};
  bool filled;
  if (type && std::strcmp(type, "Linear") == 0) {
    filled = imaging::fill_linear_gradient(view, x0, y0, x1, y1, stops, stop_count);
  } else {
    const double dx = static_cast<double>(x1) - x0, dy = static_cast<double>(y1) - y0;
    const double radius = std::trunc(std::sqrt(dy * dy + dx * dx));
    filled = imaging::fill_radial_gradient(view, radius, x0, y0, stops, stop_count);
  }
  if (filled) {
    invert_alpha_rgba32(overlay, e.canvas_width, e.canvas_height);
    composite_overlay(canvas, overlay, 0, 255);
  }
}

}  // namespace cvl
