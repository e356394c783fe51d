#include "mask/selection_shapes.h"

#include <algorithm>
#include <vector>

#include "core/engine.h"
#include "draw/shapes.h"
#include "mask/mask_ops.h"
#include "mask/tool_units.h"

namespace cvl {
namespace {

struct Box {
  int32_t left, top, right, bottom;
};

Box normalised(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

// The grey v | v << 8 | v << 16 as channel bytes.
imaging::Colour grey_of(int32_t strength_percent) {
  const uint32_t v = static_cast<uint32_t>(strength_level(strength_percent));
  const uint32_t c = v | v << 8 | v << 16;
  return {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16), 0};
}

// Saves the mask as grey, lets draw() paint into the picture and loads the
// picture back when the drawing succeeded.
template <class Draw>
void through_mask_picture(Engine& e, Draw draw) {
  if (!e.mask) return;
  const int32_t pitch = e.canvas_width * 3;
  std::vector<uint8_t> picture(e.canvas_pixels() * 3);
  save_mask(e, picture.data(), pitch);
  const imaging::ImageView view{picture.data(), e.canvas_width, e.canvas_height, 3, pitch};
  if (draw(view)) load_mask(e, picture.data(), pitch, e.canvas_width, e.canvas_height);
}

}  // namespace

void mask_rectangle(Engine& e, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t strength_percent) {
  const Box b = normalised(x0, y0, x1, y1);
  const imaging::Colour grey = grey_of(strength_percent);
  through_mask_picture(e, [&](const imaging::ImageView& view) {
    return imaging::fill_rect(view, {b.left, b.top, b.right, b.bottom}, grey, 1.0);
  });
}

void mask_ellipse(Engine& e, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t strength_percent) {
  const Box b = normalised(x0, y0, x1, y1);
  const imaging::Colour grey = grey_of(strength_percent);
  // 64-bit spans: corners at the ends of the integer range must not wrap.
  const int32_t rx = static_cast<int32_t>(std::max<int64_t>((int64_t{b.right} - b.left) / 2, 2));
  const int32_t ry = static_cast<int32_t>(std::max<int64_t>((int64_t{b.bottom} - b.top) / 2, 2));
  through_mask_picture(e, [&](const imaging::ImageView& view) {
    return imaging::fill_ellipse(view, static_cast<int32_t>(int64_t{b.left} + rx),
                                 static_cast<int32_t>(int64_t{b.top} + ry), rx, ry, grey, 1.0);
  });
}

}  // namespace cvl
