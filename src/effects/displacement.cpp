#include "effects/displacement.h"

#include <cmath>
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

FailureCause ipl_displacement_bump(Engine& canvas, const char* path, double depth, uint32_t fill) {
  uint8_t* source = ipl_buffer(canvas, IplBuffer::Src32);
  uint8_t* destination = ipl_buffer(canvas, IplBuffer::Dst32);
  if (!source || !destination) return "the 32-bit image-processing source and destination are not both allocated";
  if (!std::isfinite(depth)) return "the depth " + std::to_string(depth) + " is not a number";
  const Engine& e = canvas;
  const int32_t w = e.canvas_width, h = e.canvas_height;
  imaging::Image relief;
  if (!tiled_script(path, w, h, relief))
    return "cannot make a relief of " + std::string(path ? path : "(no path)") +
           " (missing, or neither an image script nor a picture the engine reads)";
  std::vector<uint8_t> grey(static_cast<size_t>(w) * static_cast<size_t>(h));
  imaging::to_grey8(relief.view(), imaging::ImageView{grey.data(), w, h, 1, w});
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
