#include "ipl/displacement.h"

#include <vector>

#include "core/engine.h"
#include "core/rgba32_loader.h"
#include "imagescript/imagescript.h"
#include "imaging/bump_displace.h"
#include "imaging/overlay.h"
#include "imaging/resample.h"
#include "ipl/ipl_buffers.h"
#include "layers/filter_prep.h"

namespace cvl {
namespace {

// The script's render repeated from (0, 0) over a width x height image, opaque.
bool tiled_script(const char* path, int32_t width, int32_t height, imaging::Image& out) {
  imaging::Image tile;
  if (!path || imagescript::render_script(path, tile) != imagescript::ScriptResult::Ok || tile.width <= 0 ||
      tile.height <= 0)
    return false;
  out.width = width;
  out.height = height;
  out.channels = 4;
  out.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
  for (int32_t y = 0; y < height; y += tile.height)
    for (int32_t x = 0; x < width; x += tile.width)
      imaging::overlay_image(out.pixels.data(), width, height, width * 4, tile.pixels.data(), tile.width,
                             tile.height, tile.width * 4, x, y, 4);
  for (size_t i = 3; i < out.pixels.size(); i += 4) out.pixels[i] = 255;
  return true;
}

}  // namespace

void ipl_displacement_bump(const char* path, double depth, uint32_t fill) {
  uint8_t* source = ipl_buffer(IplBuffer::Src32);
  uint8_t* destination = ipl_buffer(IplBuffer::Dst32);
  if (!source || !destination) return;
  const Engine& e = engine();
  const int32_t w = e.canvas_width, h = e.canvas_height;
  imaging::Image relief;
  if (!tiled_script(path, w, h, relief)) return;
  std::vector<uint8_t> grey(static_cast<size_t>(w) * static_cast<size_t>(h));
  imaging::to_grey8(relief.view(), imaging::ImageView{grey.data(), w, h, 1, w});
  const imaging::Colour fill_colour{static_cast<uint8_t>(fill), static_cast<uint8_t>(fill >> 8),
                                    static_cast<uint8_t>(fill >> 16), 255};
  const imaging::ImageView src{source, w, h, 4, w * 4}, dst{destination, w, h, 4, w * 4};
  if (!imaging::bump_displace(src, dst, grey.data(), w, h, static_cast<float>(depth), fill_colour)) return;
  adjust_rgba32_post_filter(destination, w, h);
  load_rgba32(destination, w * 4, true);
}

}  // namespace cvl
