#include "mask/tool_source.h"

#include <cstddef>

#include "core/engine.h"
#include "layers/pixel_access.h"
#include "layers/rgba32_loader.h"
#include "draw/region_fill.h"
#include "mask/marker_colour.h"

namespace cvl {

imaging::ImageView ToolSource::view() const {
  const Engine& e = engine_;
  return {data_, e.canvas_width, e.canvas_height, 4, e.canvas_width * 4};
}

imaging::Colour ToolSource::colour_at(int32_t x, int32_t y) const {
  const uint8_t* p = view().row(y) + static_cast<ptrdiff_t>(x) * 4;
  return {p[0], p[1], p[2], 0};
}

imaging::Colour ToolSource::marker() const { return unpack_colour(find_marker_colour(data_, engine_.canvas_pixels())); }

void ToolSource::load_into_layer() const { load_rgba32(engine_, data_, engine_.canvas_width * 4, true); }

bool alpha_region(const Engine& e, int32_t x, int32_t y, int32_t tolerance, std::vector<uint8_t>& map) {
  std::vector<uint8_t> grey(e.canvas_pixels() * 3, 0);
  get_rgb24_from_alpha(e, grey.data(), e.canvas_width * 3);
  map.assign(e.canvas_pixels(), 0);
  const imaging::ImageView view{grey.data(), e.canvas_width, e.canvas_height, 3, e.canvas_width * 3};
  return imaging::colour_match_map(view, {x, y}, tolerance, map.data(), e.canvas_width) >= 0;
}

bool seed_on_canvas(const Engine& e, int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && x < e.canvas_width && y < e.canvas_height;
}

bool current_is_painting_layer(const Engine& e) { return e.current_layer_num > kBackgroundSlot; }
bool current_is_background(const Engine& e) { return e.current_layer_num == kBackgroundSlot; }

}  // namespace cvl
