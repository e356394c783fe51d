#include "effects/displacement.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/engine.h"
#include "layers/rgba32_loader.h"
#include "imaging/geometry/bump_displace.h"
#include "imaging/geometry/resample.h"
#include "layers/ipl_images.h"
#include "effects/script_tile.h"
#include "layers/filter_prep.h"

namespace cvl {

// The tile is made grey once and its grey rows repeated: the same bytes as greying
// the repeated picture, without a canvas-sized colour copy.
bool grey_relief(const char* path, int32_t w, int32_t h, std::vector<uint8_t>& grey) {
  imaging::Image tile;
  if (w <= 0 || h <= 0 || !render_script_or_image(path, tile) || tile.channels != 4) return false;
  const int32_t tw = tile.width, th = tile.height;
  std::vector<uint8_t> grey_tile(static_cast<size_t>(tw) * static_cast<size_t>(th));
  imaging::to_grey8(tile.view(), imaging::ImageView{grey_tile.data(), tw, th, 1, tw});
  grey.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* from = grey_tile.data() + static_cast<size_t>(y % th) * static_cast<size_t>(tw);
    uint8_t* to = grey.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
    for (int32_t x0 = 0; x0 < w; x0 += tw) std::memcpy(to + x0, from, static_cast<size_t>(std::min(tw, w - x0)));
  }
  return true;
}

FailureCause ipl_displacement_bump(Engine& canvas, const char* path, double depth, uint32_t fill) {
  uint8_t* source = ipl_buffer(canvas, IplBuffer::Src32);
  uint8_t* destination = ipl_buffer(canvas, IplBuffer::Dst32);
  if (!source || !destination) return "the 32-bit image-processing source and destination are not both allocated";
  if (!std::isfinite(depth)) return "the depth " + std::to_string(depth) + " is not a number";
  const Engine& e = canvas;
  const int32_t w = e.canvas_width, h = e.canvas_height;
  std::vector<uint8_t> grey;
  if (!grey_relief(path, w, h, grey))
    return "cannot make a relief of " + std::string(path ? path : "(no path)") +
           " (missing, or neither an image script nor a picture the engine reads)";
  const imaging::Colour fill_colour{static_cast<uint8_t>(fill), static_cast<uint8_t>(fill >> 8),
                                    static_cast<uint8_t>(fill >> 16), 255};
  const imaging::ImageView src{source, w, h, 4, w * 4}, dst{destination, w, h, 4, w * 4};
  if (!imaging::bump_displace(src, dst, grey.data(), w, h, static_cast<float>(depth), fill_colour))
    return "the relief could not be applied";
  adjust_rgba32_post_filter(destination, w, h);
  load_rgba32(canvas, destination, w * 4, true);
  return {};
}

}  // namespace cvl
